#include "net/pending_acks.h"

#include <cstring>

#include "net/datagram.h"
#include "net/lock_order.h"
#include "net/socket_send.h"
#include "settings/settings.h"

namespace {

// One kept datagram: where it went, how often it was resent, and the copy,
// exactly as first sent.
struct PendingEntry {
    uint32_t destination = 0;
    uint16_t resends = 0;
    int length = 0;
    uint8_t datagram[kMaxDatagramSize] = {};
};

// In the order kept. The spare slot stays zero, as does every slot at or
// beyond the count.
struct PendingList {
    PendingEntry entries[kMaxPendingAcks + 1];
    int count = 0;
};

PendingList g_pending;

// Chat lines and popups dropped after their last resend, each given one more
// tick for the acknowledgement of that last copy; those still here at the
// next pass never arrived, and are handed to the handler.
PendingList g_last_chance;
UndeliveredHandler g_undelivered = nullptr;

bool TellsTheSender(const PendingEntry& entry) {
    int16_t kind = ReadKind(entry.datagram, entry.length);
    return kind == KIND_CHAT || kind == KIND_POPUP;
}

void KeepForALastChance(const PendingEntry& entry) {
    if (g_last_chance.count < kMaxPendingAcks) g_last_chance.entries[g_last_chance.count++] = entry;
}

// Removes the first entry of `list` sent to `destination` with that
// allCount; false when there is none.
bool RemoveMatching(PendingList& list, uint32_t destination, uint16_t all_count);

// Removes entry i; the following entries move up one place.
void RemoveAt(PendingList& list, int i) {
    for (int j = i; j < list.count - 1; ++j) list.entries[j] = list.entries[j + 1];
    --list.count;
    list.entries[list.count] = PendingEntry{};
}

void RemoveAt(int i) { RemoveAt(g_pending, i); }

bool RemoveMatching(PendingList& list, uint32_t destination, uint16_t all_count) {
    for (int i = 0; i < list.count; ++i) {
        const PendingEntry& entry = list.entries[i];
        if (entry.destination == destination && ReadHeader(entry.datagram, entry.length).allCount == all_count) {
            RemoveAt(list, i);
            return true;
        }
    }
    return false;
}

// The pass proper, under the lock: `undelivered` gets what had its last chance.
bool ResendUnderLock(PendingList* undelivered) {
    PendingAckLock lock;
    *undelivered = g_last_chance;
    g_last_chance.count = 0;
    for (PendingEntry& entry : g_last_chance.entries) entry = PendingEntry{};
    int i = 0;
    while (i < g_pending.count) {
        PendingEntry& entry = g_pending.entries[i];
        // The copy is sent as it was kept; its own len field equals the length
        // kept for every datagram this program builds, and the length kept is
        // the one that cannot point past the copy.
        if (!SendToAddress(entry.datagram, entry.length, entry.destination, g_settings.Port_Number))
            return false;
        if (++entry.resends >= kMaxResends) {
            if (TellsTheSender(entry)) KeepForALastChance(entry);
            RemoveAt(i);  // the next entry moved into place i
        } else {
            ++i;
        }
    }
    return true;
}

}  // namespace

bool PendingAdd(uint32_t destination, const uint8_t* datagram, int length) {
    if (destination == 0 || datagram == nullptr || length <= 0 || length > kMaxDatagramSize)
        return false;
    PendingAckLock lock;
    if (g_pending.count >= kMaxPendingAcks) return false;
    PendingEntry& entry = g_pending.entries[g_pending.count++];
    entry.destination = destination;
    entry.resends = 0;
    entry.length = length;
    std::memcpy(entry.datagram, datagram, static_cast<size_t>(length));
    return true;
}

bool PendingAcknowledge(const uint8_t* resp, int length) {
    DatagramHeader header = ReadHeader(resp, length);
    PendingAckLock lock;
    if (!RemoveMatching(g_pending, header.addr, header.allCount))
        RemoveMatching(g_last_chance, header.addr, header.allCount);
    return true;
}

bool ResendPass() {
    // The handler runs without the lock: it may take the peer-table lock,
    // which is never taken while the pending-ack lock is held.
    static PendingList undelivered;
    bool sent = ResendUnderLock(&undelivered);
    for (int i = 0; i < undelivered.count; ++i) {
        const PendingEntry& entry = undelivered.entries[i];
        if (g_undelivered != nullptr) g_undelivered(entry.destination, entry.datagram, entry.length);
    }
    return sent;
}

void SetUndeliveredHandler(UndeliveredHandler handler) { g_undelivered = handler; }

void PendingClear() {
    PendingAckLock lock;
    for (PendingEntry& entry : g_pending.entries) entry = PendingEntry{};
    g_pending.count = 0;
    for (PendingEntry& entry : g_last_chance.entries) entry = PendingEntry{};
    g_last_chance.count = 0;
}

// Read by the tests and fuzzers (tests/common/core_probes.h).
int PendingCount() {
    PendingAckLock lock;
    return g_pending.count;
}
