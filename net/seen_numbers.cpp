#include "net/seen_numbers.h"

bool SeenNumbers::Contains(int16_t number, bool before_wrap) const {
    for (int i = 0; i < count; ++i)
        if (numbers[i].number == number && numbers[i].before_wrap == before_wrap) return true;
    return false;
}

void SeenNumbers::Add(int16_t number, bool before_wrap) {
    numbers[next] = {number, before_wrap};
    next = (next + 1) % kSeenNumbers;
    if (count < kSeenNumbers) ++count;
}

void SeenNumbers::StartNewRound() {
    SeenNumbers kept;
    // Oldest first, so the window keeps its order.
    int oldest = count < kSeenNumbers ? 0 : next;
    for (int i = 0; i < count; ++i) {
        const Seen& seen = numbers[(oldest + i) % kSeenNumbers];
        if (!seen.before_wrap) kept.Add(seen.number, true);
    }
    kept.after_wrap = true;
    *this = kept;
}
