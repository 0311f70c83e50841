// A binary semaphore for the console peer. The standard library's
// std::binary_semaphore wakes waiters through a system call at every release
// even when nobody waits, which the console peer pays on every datagram it
// sends; a mutex and a condition variable make no system call unless another
// thread is actually waiting.
#pragma once
#include <condition_variable>
#include <mutex>

#include "platform/binary_semaphore.h"

class BinarySemaphorePosix : public BinarySemaphore {
public:
    void Wait() override {
        std::unique_lock<std::mutex> lock(mutex_);
        released_.wait(lock, [this] { return !taken_; });
        taken_ = true;
    }
    void Release() override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            taken_ = false;
        }
        released_.notify_one();
    }

private:
    std::mutex mutex_;
    std::condition_variable released_;
    bool taken_ = false;
};
