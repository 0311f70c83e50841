// A library a test plants in the program's folder under the name of a system
// library. Loading it leaves the file "planted-library-loaded" beside it, so
// that the test sees whether the program took it instead of the system's.
#include <windows.h>

#include <string>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
    std::wstring marker(path, length < MAX_PATH ? length : 0);
    marker = marker.substr(0, marker.find_last_of(L"\\/") + 1) + L"planted-library-loaded";
    HANDLE file = CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return TRUE;
}
