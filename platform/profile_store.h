// The INI file, read and written only through profile strings with the exact
// semantics of GetPrivateProfileStringA / WritePrivateProfileStringA.
#pragma once
#include <cstddef>

class ProfileStore {
public:
    virtual ~ProfileStore() = default;
    // Copies the key's value, or `fallback` when the file, section or key is
    // absent, into buf, cut to size - 1 bytes and NUL-terminated. Sections and
    // keys match without regard to case. Returns the number of bytes copied.
    virtual size_t GetString(const char* section, const char* key, const char* fallback,
                             char* buf, size_t size, const char* path) = 0;
    // Writes key=value, creating the file, the section and the key as needed and
    // replacing an existing value in place. False when the write fails.
    virtual bool WriteString(const char* section, const char* key, const char* value,
                             const char* path) = 0;
};
