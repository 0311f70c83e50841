#include "platform/win32/binary_semaphore_win32.h"

BinarySemaphoreWin32::BinarySemaphoreWin32() : handle_(CreateSemaphoreA(nullptr, 1, 1, nullptr)) {}

BinarySemaphoreWin32::~BinarySemaphoreWin32() {
    if (handle_ != nullptr) CloseHandle(handle_);
}

void BinarySemaphoreWin32::Wait() {
    if (handle_ != nullptr) WaitForSingleObject(handle_, INFINITE);
}

void BinarySemaphoreWin32::Release() {
    if (handle_ != nullptr) ReleaseSemaphore(handle_, 1, nullptr);
}
