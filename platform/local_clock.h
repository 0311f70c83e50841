// Local wall-clock time, for time stamps in the dump and in displayed lines.
#pragma once

struct LocalTime {
    int year = 0, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

class LocalClock {
public:
    virtual ~LocalClock() = default;
    virtual LocalTime Now() = 0;
};
