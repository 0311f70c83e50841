// The repeat test of received chat messages: each peer-table entry remembers
// the highest message number taken from its sender (`cnt`) and the numbers it
// took most recently. A resent copy carries a number already taken and is
// dropped, even when later messages got through before it; a smaller number
// not seen lately (the sender started over) is shown.
//
// Near the sender's wrap (its counter goes from 32766 back to 1001) numbers
// are placed in a round by the stored counter: while it is among the last
// numbers of the range, one of the first numbers is the sender gone round,
// a new message that starts a new round; while it is among the first numbers
// just after a wrap, one of the last numbers is a late copy from before the
// wrap, shown only if it was not taken then, and never stored.
#pragma once
#include <cstdint>

#include "net/seen_numbers.h"

// How many numbers at either end of the range count as near the wrap. A
// late copy arrives at most six sends, 75 seconds, after its first; far fewer
// messages than this are sent in that time.
constexpr int kWrapZone = kSeenNumbers;

// Decides for a message carrying `number` (the low 16 bits of its counter,
// signed) against the stored counter and the recent numbers, and updates
// both. True when the message is to be shown, false for a repeat.
bool TakeMessageNumber(int16_t* stored, SeenNumbers* seen, int16_t number);
