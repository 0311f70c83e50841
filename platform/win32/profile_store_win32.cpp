#include "platform/win32/profile_store_win32.h"

#include <windows.h>

#include <cstring>

#include "platform/cp932.h"

size_t Win32ProfileStore::GetString(const char* section, const char* key, const char* fallback,
                                    char* buf, size_t size, const char* path) {
    if (buf == nullptr || size == 0) return 0;
    DWORD capacity = size > 0xFFFF ? 0xFFFF : static_cast<DWORD>(size);
    // A value cut inside a double-byte character can leave a stale byte in the
    // buffer (seen under Wine) or half a character: the buffer is cleared
    // first and a dangling lead byte is dropped, so the text is always whole
    // characters and the count is the bytes actually there.
    std::memset(buf, 0, capacity);
    GetPrivateProfileStringA(section, key, fallback, buf, capacity, path);
    buf[capacity - 1] = '\0';
    size_t length = Cp932WholeLength(buf, std::strlen(buf));
    buf[length] = '\0';
    return length;
}

bool Win32ProfileStore::WriteString(const char* section, const char* key, const char* value,
                                    const char* path) {
    // A null key or value would delete a key or a section: never wanted here.
    if (section == nullptr || key == nullptr || value == nullptr || path == nullptr) return false;
    return WritePrivateProfileStringA(section, key, value, path) != FALSE;
}
