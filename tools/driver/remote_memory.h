// A block of memory inside another process, for messages whose arguments
// point at a structure (a rectangle, an item record, a text buffer): the
// receiving control reads and writes them in its own address space.
#pragma once
#include <windows.h>

#include <cstddef>

class RemoteMemory {
public:
    // Memory of `size` bytes in the process that owns `window`.
    RemoteMemory(HWND window, size_t size);
    ~RemoteMemory();
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    bool Usable() const { return memory_ != nullptr; }
    // The block's address as the other process sees it.
    char* Address() const { return memory_; }
    LPARAM AsParam() const { return reinterpret_cast<LPARAM>(memory_); }

    bool Write(size_t offset, const void* bytes, size_t size);
    bool Read(size_t offset, void* bytes, size_t size) const;

private:
    HANDLE process_ = nullptr;
    char* memory_ = nullptr;
    size_t size_ = 0;
};
