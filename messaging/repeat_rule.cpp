#include "messaging/repeat_rule.h"

#include "net/counters.h"

namespace {

enum class Round { BeforeWrap, Current, Next };

bool NearTheTop(int16_t number) { return number > kLastMessageNumber - kWrapZone && number <= kLastMessageNumber; }

bool NearTheBottom(int16_t number) {
    return number >= kCounterAtNetworkStart && number <= kCounterAtNetworkStart + kWrapZone;
}

// The round a number belongs to, seen from the stored counter. A stored
// 32766 counts as 1000: whatever comes next starts a new round, except one
// of the last numbers, a late copy of the round being ended.
Round RoundOf(int16_t stored, const SeenNumbers& seen, int16_t number) {
    if (stored == kLastMessageNumber) return NearTheTop(number) ? Round::Current : Round::Next;
    if (NearTheTop(stored) && number > kCounterAtNetworkStart && NearTheBottom(number)) return Round::Next;
    if (seen.after_wrap && NearTheBottom(stored) && NearTheTop(number)) return Round::BeforeWrap;
    return Round::Current;
}

}  // namespace

bool TakeMessageNumber(int16_t* stored, SeenNumbers* seen, int16_t number) {
    Round round = RoundOf(*stored, *seen, number);
    if (round == Round::Next) {
        *stored = kCounterAtNetworkStart;
        seen->StartNewRound();
    }
    bool before_wrap = round == Round::BeforeWrap;
    if (number == *stored || seen->Contains(number, before_wrap)) return false;
    if (!before_wrap && number > *stored) *stored = number;
    if (!NearTheBottom(*stored)) seen->after_wrap = false;
    seen->Add(number, before_wrap);
    return true;
}
