#include "settings/win32/program_paths_win32.h"

#include <windows.h>

#include <string>

#include "platform/win32/wide_text.h"
#include "settings/program_paths.h"

namespace {

// The program file's full path, of any length the system gives.
std::wstring ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return std::wstring();
        // A path that fills the buffer was cut (and may lack its NUL).
        if (length < path.size()) return path.substr(0, length);
        if (path.size() >= 32768) return std::wstring();
        path.resize(path.size() * 2);
    }
}

// The path as CP932 when CP932 holds it exactly: converted back it gives the
// same path. A character CP932 lacks would become "?", and one it has only a
// look-alike for ("¥" becomes the byte of '\') would name another file.
bool ExactCp932(const std::wstring& wide, std::string* cp932) {
    *cp932 = Cp932FromWide(wide);
    return !wide.empty() && WideFromCp932(*cp932) == wide;
}

}  // namespace

bool LoadProgramPaths() {
    const std::wstring module = ModulePath();
    std::string path;
    if (!ExactCp932(module, &path)) {
        // The short (8.3) form names the same folder in plain letters where
        // the volume keeps short names.
        wchar_t short_path[MAX_PATH] = {};
        const DWORD length = GetShortPathNameW(module.c_str(), short_path, MAX_PATH);
        if (length == 0 || length >= MAX_PATH || !ExactCp932(std::wstring(short_path, length), &path)) return false;
    }
    return DeriveProgramPaths(path.c_str(), &g_program_paths);
}
