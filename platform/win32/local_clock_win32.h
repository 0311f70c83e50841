// LocalClock on GetLocalTime.
#pragma once
#include "platform/local_clock.h"

class LocalClockWin32 final : public LocalClock {
public:
    LocalTime Now() override;
};
