// The message numbers most recently taken from one peer. A copy of a chat
// message can be resent for more than a minute after it was first sent, so a
// late copy may arrive after several later messages; the stored counter alone
// (the highest number) would then show it again. Remembering the last few
// hundred numbers lets such a copy be recognised as a repeat.
//
// Each number is remembered with the round of the sender's numbering it was
// taken in: the current one, or the one before the sender's counter last went
// round from 32766 to 1001. The numbers of the two rounds never stand for each
// other, so a number taken before the wrap does not make the same number
// after it a repeat.
#pragma once
#include <cstdint>

constexpr int kSeenNumbers = 256;

struct SeenNumbers {
    struct Seen {
        int16_t number = 0;
        bool before_wrap = false;
    };
    Seen numbers[kSeenNumbers] = {};
    int count = 0;  // numbers held, at most kSeenNumbers
    int next = 0;   // where the next one goes once the window is full
    // The stored counter went round and is still among the first numbers of
    // the new round: late copies from the end of the round before may come.
    bool after_wrap = false;

    bool Contains(int16_t number, bool before_wrap) const;
    // Adds a number, forgetting the oldest one when the window is full.
    void Add(int16_t number, bool before_wrap);
    // The sender's counter went round: the numbers of the round before the
    // last are forgotten, those of the current round become the round before.
    void StartNewRound();
    void Clear() { *this = SeenNumbers{}; }
};
