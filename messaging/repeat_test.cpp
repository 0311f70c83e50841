#include "messaging/repeat_test.h"

#include "net/counters.h"

bool TakeMessageNumber(int16_t* stored, int16_t number) {
    if (*stored == kLastMessageNumber) *stored = kCounterAtNetworkStart;
    if (number == *stored) return false;
    if (number > *stored) *stored = number;
    return true;
}
