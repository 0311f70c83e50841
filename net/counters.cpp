#include "net/counters.h"

#include <atomic>

namespace {
std::atomic<uint16_t> g_datagram_counter{0};
std::atomic<int16_t> g_message_counter{0};

// The value after `value`: one more, but always within 1001..32766 so that no
// chat message carries 32767 or a number below 1001, even after the counter
// was taken over from a peer that sent something out of range.
int16_t Advance(int16_t value) {
    int next = value + 1;
    if (next > kLastMessageNumber || next < kFirstMessageNumber) next = kFirstMessageNumber;
    return static_cast<int16_t>(next);
}
}  // namespace

void ResetCountersForNetworkStart() {
    g_datagram_counter.store(static_cast<uint16_t>(kCounterAtNetworkStart));
    g_message_counter.store(kCounterAtNetworkStart);
}

uint16_t NextDatagramCount() { return static_cast<uint16_t>(g_datagram_counter.fetch_add(1) + 1); }

uint16_t CurrentDatagramCount() { return g_datagram_counter.load(); }

// Set by the tests and fuzzers (tests/common/core_probes.h).
void SetDatagramCount(uint16_t value) { g_datagram_counter.store(value); }

int16_t NextMessageNumber() {
    int16_t old = g_message_counter.load();
    while (!g_message_counter.compare_exchange_weak(old, Advance(old))) {
    }
    return Advance(old);
}

void GiveBackMessageNumber() { g_message_counter.fetch_sub(1); }

int16_t MessageCounter() { return g_message_counter.load(); }

void SetMessageCounter(int16_t value) { g_message_counter.store(value); }
