// The settings file read and written as CP932 bytes with the semantics of
// Windows' GetPrivateProfileStringA / WritePrivateProfileStringA on a
// Japanese Windows, whatever the system's code page: the same store serves
// the program on Windows and the console peer. Every call reads the file
// afresh; every write replaces the whole file in one step (file_access.h).
#pragma once
#include <string>

#include "platform/profile_store.h"

class ProfileFileStore : public ProfileStore {
public:
    size_t GetString(const char* section, const char* key, const char* fallback,
                     char* buf, size_t size, const char* path) override;
    bool WriteString(const char* section, const char* key, const char* value,
                     const char* path) override;

protected:
    // The file's text as values are read from it: as it is, unless a
    // platform's own functions read it otherwise.
    virtual void PrepareForReading(std::string* text) { (void)text; }
};
