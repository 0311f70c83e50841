// Local wall-clock time from the C library.
#pragma once
#include "platform/local_clock.h"

class LocalClockPosix : public LocalClock {
public:
    LocalTime Now() override;
};
