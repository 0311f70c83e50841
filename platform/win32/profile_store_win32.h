// The settings file on Windows: GetPrivateProfileStringA and
// WritePrivateProfileStringA. Paths must be full paths: Windows takes a bare
// file name as relative to the Windows directory.
#pragma once
#include "platform/profile_store.h"

class Win32ProfileStore : public ProfileStore {
public:
    size_t GetString(const char* section, const char* key, const char* fallback,
                     char* buf, size_t size, const char* path) override;
    bool WriteString(const char* section, const char* key, const char* value,
                     const char* path) override;
};
