#include "tools/driver/remote_memory.h"

RemoteMemory::RemoteMemory(HWND window, size_t size) : size_(size) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (process_) {
        memory_ = static_cast<char*>(
            VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    }
}

RemoteMemory::~RemoteMemory() {
    if (memory_) VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
}

bool RemoteMemory::Write(size_t offset, const void* bytes, size_t size) {
    if (!memory_ || offset + size > size_) return false;
    return WriteProcessMemory(process_, memory_ + offset, bytes, size, nullptr) != 0;
}

bool RemoteMemory::Read(size_t offset, void* bytes, size_t size) const {
    if (!memory_ || offset + size > size_) return false;
    return ReadProcessMemory(process_, memory_ + offset, bytes, size, nullptr) != 0;
}
