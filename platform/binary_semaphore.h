// A semaphore with count 1 and maximum 1, waited for without time limit.
#pragma once

class BinarySemaphore {
public:
    virtual ~BinarySemaphore() = default;
    virtual void Wait() = 0;
    virtual void Release() = 0;
};
