#include "messaging/repeat_test.h"

#include "net/counters.h"

bool TakeMessageNumber(int16_t* stored, SeenNumbers* seen, int16_t number) {
    if (*stored == kLastMessageNumber) *stored = kCounterAtNetworkStart;
    if (number == *stored || seen->Contains(number)) return false;
    if (number > *stored) *stored = number;
    seen->Add(number);
    return true;
}
