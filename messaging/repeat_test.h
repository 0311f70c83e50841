// The repeat test of received chat messages: each peer-table entry remembers
// the last message number taken from its sender (`cnt`). A retransmitted copy
// carries the number just remembered and is dropped; only the last number is
// remembered, so an older copy arriving after a later message shows again.
#pragma once
#include <cstdint>

// Decides for a message carrying `number` (the low 16 bits of its counter,
// signed) against the stored counter, and updates the stored counter: a stored
// 32766 (the sender's last number before it wraps to 1001) becomes 1000 first;
// a greater number is stored; a smaller one leaves it as it is. True when the
// message is to be shown, false for a repeat.
bool TakeMessageNumber(int16_t* stored, int16_t number);
