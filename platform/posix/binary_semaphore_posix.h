// A binary semaphore from the standard library, for the console peer.
#pragma once
#include <semaphore>

#include "platform/binary_semaphore.h"

class BinarySemaphorePosix : public BinarySemaphore {
public:
    void Wait() override { semaphore_.acquire(); }
    void Release() override { semaphore_.release(); }

private:
    std::binary_semaphore semaphore_{1};
};
