// BinarySemaphore on a Windows semaphore object (count 1, maximum 1).
#pragma once
#include <windows.h>

#include "platform/binary_semaphore.h"

class BinarySemaphoreWin32 final : public BinarySemaphore {
public:
    // An unnamed semaphore with initial count 1 and maximum count 1.
    BinarySemaphoreWin32();
    // Closes the handle.
    ~BinarySemaphoreWin32() override;
    BinarySemaphoreWin32(const BinarySemaphoreWin32&) = delete;
    BinarySemaphoreWin32& operator=(const BinarySemaphoreWin32&) = delete;

    // False when the semaphore could not be created.
    bool IsValid() const { return handle_ != nullptr; }
    void Wait() override;
    void Release() override;

private:
    HANDLE handle_;
};
