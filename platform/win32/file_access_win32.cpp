// The program's files through the wide file functions: every path is the
// program's CP932 text, converted with code page 932 (WideFromCp932), never
// with the system's code page the ANSI functions would use.
#include "platform/file_access.h"

#include <windows.h>

#include <algorithm>

#include "platform/win32/wide_text.h"

namespace {

bool WriteAll(HANDLE file, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
        DWORD put = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &put, nullptr) || put == 0) return false;
        done += put;
    }
    return true;
}

}  // namespace

std::FILE* OpenNamedFile(const char* path, const char* mode) {
    // The mode is ASCII: each letter widens as it is.
    std::wstring wide_mode;
    for (const char* c = mode; *c != '\0'; ++c) wide_mode += static_cast<wchar_t>(static_cast<unsigned char>(*c));
    return _wfopen(WideFromCp932(path).c_str(), wide_mode.c_str());
}

bool RemoveNamedFile(const char* path) { return DeleteFileW(WideFromCp932(path).c_str()) != FALSE; }

WholeFile ReadWholeFile(const char* path, std::string* bytes) {
    bytes->clear();
    HANDLE file = CreateFileW(WideFromCp932(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) ? WholeFile::Absent
                                                                                 : WholeFile::Failed;
    }
    // A device name (NUL, COM1) opens too, but is no settings file.
    WholeFile result = GetFileType(file) == FILE_TYPE_DISK ? WholeFile::Read : WholeFile::Failed;
    char chunk[4096];
    while (result == WholeFile::Read) {
        DWORD got = 0;
        if (!ReadFile(file, chunk, sizeof chunk, &got, nullptr)) result = WholeFile::Failed;
        if (got == 0) break;
        bytes->append(chunk, got);
    }
    CloseHandle(file);
    if (result != WholeFile::Read) bytes->clear();
    return result;
}

// A read-only file is left as it is, as Windows' own profile functions leave
// it; a hidden or system file stays hidden or system.
bool ReplaceWholeFile(const char* path, const std::string& bytes) {
    const std::wstring target = WideFromCp932(path);
    const DWORD old_attributes = GetFileAttributesW(target.c_str());
    if (old_attributes != INVALID_FILE_ATTRIBUTES &&
        (old_attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        return false;
    }

    // The new file goes into the same folder under a name of the system's
    // choosing ("mw" and four hex digits), no longer than the settings file's
    // own, so that a path that fits MAX_PATH still fits with it.
    std::wstring folder = target.substr(0, target.find_last_of(L"\\/") + 1);
    if (folder.empty()) folder = L".";
    wchar_t temp[MAX_PATH] = {};
    if (GetTempFileNameW(folder.c_str(), L"mw", 0, temp) == 0) return false;
    HANDLE file = CreateFileW(temp, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DeleteFileW(temp);
        return false;
    }

    bool ok = WriteAll(file, bytes) && FlushFileBuffers(file);
    if (!CloseHandle(file)) ok = false;
    if (ok && old_attributes != INVALID_FILE_ATTRIBUTES) {
        const DWORD kept = old_attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
        if (kept != 0) ok = SetFileAttributesW(temp, kept) != FALSE;
    }
    if (ok) {
        ok = MoveFileExW(temp, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    }
    if (!ok) DeleteFileW(temp);
    return ok;
}
