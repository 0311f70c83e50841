// The message numbers most recently taken from one peer. A copy of a chat
// message can be resent for more than a minute after it was first sent, so a
// late copy may arrive after several later messages; the stored counter alone
// (the highest number) would then show it again. Remembering the last few
// hundred numbers lets such a copy be recognised as a repeat.
#pragma once
#include <cstdint>

constexpr int kSeenNumbers = 256;

struct SeenNumbers {
    int16_t numbers[kSeenNumbers] = {};
    int count = 0;  // numbers held, at most kSeenNumbers
    int next = 0;   // where the next one goes once the window is full

    bool Contains(int16_t number) const;
    // Adds a number, forgetting the oldest one when the window is full.
    void Add(int16_t number);
    void Clear() { *this = SeenNumbers{}; }
};
