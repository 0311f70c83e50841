// The settings file on Windows. Windows' own GetPrivateProfileStringA and
// WritePrivateProfileStringA convert the file's bytes with the system's code
// page, which mangles CP932 on any but a Japanese Windows; the program uses
// the byte-exact store of platform/profile_file.h instead, which keeps their
// semantics and opens files through platform/win32/file_access_win32.cpp.
// Paths must be full paths.
#pragma once
#include "platform/profile_file.h"

class Win32ProfileStore : public ProfileFileStore {
protected:
    // Values are read as a Japanese Windows reads them: the file goes through
    // code page 932 to UTF-16 and back, so that a byte sequence CP932 does not
    // define reads as the character Windows puts in its place ("・" for a
    // lead byte without its second byte), whatever the system's code page.
    void PrepareForReading(std::string* text) override;
};
