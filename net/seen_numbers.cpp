#include "net/seen_numbers.h"

bool SeenNumbers::Contains(int16_t number) const {
    for (int i = 0; i < count; ++i)
        if (numbers[i] == number) return true;
    return false;
}

void SeenNumbers::Add(int16_t number) {
    numbers[next] = number;
    next = (next + 1) % kSeenNumbers;
    if (count < kSeenNumbers) ++count;
}
