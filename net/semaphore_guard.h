// Holds a binary semaphore for the lifetime of a scope. A null semaphore
// means no locking.
#pragma once
#include "platform/binary_semaphore.h"

class SemaphoreGuard {
public:
    explicit SemaphoreGuard(BinarySemaphore* semaphore) : semaphore_(semaphore) {
        if (semaphore_) semaphore_->Wait();
    }
    ~SemaphoreGuard() { Unlock(); }
    // Releases early; the destructor then does nothing.
    void Unlock() {
        if (semaphore_) semaphore_->Release();
        semaphore_ = nullptr;
    }
    SemaphoreGuard(const SemaphoreGuard&) = delete;
    SemaphoreGuard& operator=(const SemaphoreGuard&) = delete;

private:
    BinarySemaphore* semaphore_;
};
