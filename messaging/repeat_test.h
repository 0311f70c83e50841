// The repeat test of received chat messages: each peer-table entry remembers
// the highest message number taken from its sender (`cnt`) and the numbers it
// took most recently. A resent copy carries a number already taken and is
// dropped, even when later messages got through before it; a smaller number
// not seen lately (the sender started over) is shown.
#pragma once
#include <cstdint>

#include "net/seen_numbers.h"

// Decides for a message carrying `number` (the low 16 bits of its counter,
// signed) against the stored counter and the recent numbers, and updates
// both: a stored 32766 (the sender's last number before it wraps to 1001)
// becomes 1000 first; a greater number is stored; a smaller one leaves it as
// it is. True when the message is to be shown, false for a repeat.
bool TakeMessageNumber(int16_t* stored, SeenNumbers* seen, int16_t number);
