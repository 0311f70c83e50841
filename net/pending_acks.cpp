#include "net/pending_acks.h"

#include <cstring>

#include "net/datagram.h"
#include "net/lock_order.h"
#include "net/transport.h"
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

// Removes entry i; the following entries move up one place.
void RemoveAt(int i) {
    for (int j = i; j < g_pending.count - 1; ++j) g_pending.entries[j] = g_pending.entries[j + 1];
    --g_pending.count;
    g_pending.entries[g_pending.count] = PendingEntry{};
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
    for (int i = 0; i < g_pending.count; ++i) {
        const PendingEntry& entry = g_pending.entries[i];
        if (entry.destination == header.addr &&
            ReadHeader(entry.datagram, entry.length).allCount == header.allCount) {
            RemoveAt(i);
            break;
        }
    }
    return true;
}

bool ResendPass() {
    PendingAckLock lock;
    int i = 0;
    while (i < g_pending.count) {
        PendingEntry& entry = g_pending.entries[i];
        // The copy is sent as it was kept; its own len field equals the length
        // kept for every datagram this program builds, and the length kept is
        // the one that cannot point past the copy.
        if (!SendDatagram(entry.datagram, entry.length, entry.destination, g_settings.Port_Number,
                          false))
            return false;
        if (++entry.resends >= kMaxResends)
            RemoveAt(i);  // the next entry moved into place i
        else
            ++i;
    }
    return true;
}

void PendingClear() {
    PendingAckLock lock;
    for (PendingEntry& entry : g_pending.entries) entry = PendingEntry{};
    g_pending.count = 0;
}

int PendingCount() {
    PendingAckLock lock;
    return g_pending.count;
}
