// The settings file on POSIX systems: profile strings read and written with the
// semantics of Windows' GetPrivateProfileStringA / WritePrivateProfileStringA on
// a CP932 INI file. Every call reads the file afresh; every write replaces the
// file through a temporary file and a rename, so a crash mid-write leaves
// either the old or the new file, never a truncated one.
#pragma once
#include "platform/profile_store.h"

class PosixProfileStore : public ProfileStore {
public:
    size_t GetString(const char* section, const char* key, const char* fallback,
                     char* buf, size_t size, const char* path) override;
    bool WriteString(const char* section, const char* key, const char* value,
                     const char* path) override;
};
