#include "tools/driver/process_info.h"

#include <windows.h>
#include <winternl.h>

#include <cstdio>
#include <vector>

#include "tools/driver/window_lookup.h"

namespace {

using QuerySystemInformation = NTSTATUS(WINAPI*)(SYSTEM_INFORMATION_CLASS, PVOID, ULONG, PULONG);

// The process's entries in the system's handle list; -1 when the list
// cannot be read.
long ListedHandles(DWORD process_id) {
    auto query = reinterpret_cast<QuerySystemInformation>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!query) return -1;
    std::vector<char> buffer(1 << 16);
    NTSTATUS status = 0;
    constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004L);
    while ((status = query(SystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), nullptr)) ==
               kInfoLengthMismatch &&
           buffer.size() < (64u << 20)) {
        buffer.resize(buffer.size() * 2);
    }
    if (status < 0) return -1;
    const auto* list = reinterpret_cast<const SYSTEM_HANDLE_INFORMATION*>(buffer.data());
    long count = 0;
    for (ULONG i = 0; i < list->Count; ++i) count += list->Handle[i].OwnerPid == process_id;
    return count;
}

}  // namespace

int RunProcessCounts(const std::vector<std::string>& args) {
    HWND window = WaitForTopLevel(args[0].c_str(), nullptr);
    DWORD process_id = 0;
    if (window) GetWindowThreadProcessId(window, &process_id);
    if (process_id == 0) {
        std::fprintf(stderr, "mwdriver: window not found\n");
        return 1;
    }
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, process_id);
    DWORD handles = 0;
    if (!process || !GetProcessHandleCount(process, &handles)) {
        if (process) CloseHandle(process);
        std::fprintf(stderr, "mwdriver: process not readable\n");
        return 1;
    }
    DWORD gdi = GetGuiResources(process, GR_GDIOBJECTS);
    DWORD user = GetGuiResources(process, GR_USEROBJECTS);
    CloseHandle(process);
    std::printf("%lu %lu %lu %ld\n", static_cast<unsigned long>(handles), static_cast<unsigned long>(gdi),
                static_cast<unsigned long>(user), ListedHandles(process_id));
    return 0;
}
