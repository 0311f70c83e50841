// The two per-program counters: the datagram counter numbers datagrams
// (allCount), the message counter numbers chat messages (1001 to 32766).
// Both are 1000 at network start. The datagram counter is shared with the
// popup window threads, so it is advanced and read in one atomic step.
#pragma once
#include <cstdint>

constexpr int16_t kCounterAtNetworkStart = 1000;
constexpr int16_t kFirstMessageNumber = 1001;
constexpr int16_t kLastMessageNumber = 32766;

// Both counters to 1000.
void ResetCountersForNetworkStart();

// Increments the datagram counter (wrapping at 65536) and returns the new value.
uint16_t NextDatagramCount();
// The current value, unchanged (a KIND_START carries it).
uint16_t CurrentDatagramCount();

// Increments the message counter for a chat message and returns the new
// value; after 32766 comes 1001.
int16_t NextMessageNumber();
// Gives the last increment back (a chat message that found no destination).
void GiveBackMessageNumber();
int16_t MessageCounter();
// Takes over a value (the peers' view of the own entry).
void SetMessageCounter(int16_t value);
