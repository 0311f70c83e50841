#include "platform/win32/system_library.h"

#include <string>

// The search restricted with SetDefaultDllDirectories and the loads with
// LOAD_LIBRARY_SEARCH_SYSTEM32, as Microsoft advises against DLL preloading:
// https://learn.microsoft.com/windows/win32/api/libloaderapi/nf-libloaderapi-setdefaultdlldirectories
// https://learn.microsoft.com/windows/win32/dlls/dynamic-link-library-security
// A bare name still goes through the side-by-side redirection of the
// program's manifest first (the common controls), as the search order says:
// https://learn.microsoft.com/windows/win32/dlls/dynamic-link-library-search-order

namespace {

using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);

// Where the function is missing (a Windows 7 without its update), the loads
// below still name the system folder.
SetDefaultDllDirectoriesFunction FindSetDefaultDllDirectories() {
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    if (kernel == nullptr) return nullptr;
    return reinterpret_cast<SetDefaultDllDirectoriesFunction>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
}

HMODULE LoadFromSystemFolderPath(const wchar_t* name) {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    std::wstring path(folder, length);
    path += L'\\';
    path += name;
    return LoadLibraryW(path.c_str());
}

}  // namespace

void RestrictLibrarySearchToSystemFolder() {
    if (SetDefaultDllDirectoriesFunction restrict = FindSetDefaultDllDirectories()) {
        restrict(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
    HMODULE library = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    // A system that does not know the flag refuses it as a bad parameter.
    if (library == nullptr && GetLastError() == ERROR_INVALID_PARAMETER) library = LoadFromSystemFolderPath(name);
    return library;
}
