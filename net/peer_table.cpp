#include "net/peer_table.h"

#include <algorithm>
#include <cassert>
#include <cstring>

#include "net/counters.h"
#include "net/lock_order.h"
#include "settings/settings.h"

PeerTable g_peer_table;

namespace {
SeenNumbers g_seen_numbers[kMaxPeers + 1];
char g_own_status[kOwnStatusSize] = {};

// Only 14 status bytes are kept.
void CutStatus(PeerEntry* entry) {
    entry->cond[kStatusUsedBytes] = 0;
    entry->cond[kStatusUsedBytes + 1] = 0;
}

// Merges one entry; returns false when it changed nothing (the table is full).
bool MergeOne(const UserEntry& incoming, RowChange* row) {
    for (int i = 0; i < g_peer_table.count; ++i) {
        PeerEntry& e = g_peer_table.entries[i];
        bool by_address = e.addr == incoming.addr;
        bool by_name = i == 0 && std::strncmp(e.from, incoming.from, kNameFieldSize) == 0;
        if (!by_address && !by_name) continue;
        if (incoming.cnt < e.cnt) g_seen_numbers[i].Clear();
        e = incoming;
        // The peers' view of this user carries the number of its last chat
        // message: the next one continues from it.
        if (i == 0) SetMessageCounter(incoming.cnt);
        *row = {by_address ? RowChange::Kind::SetByAddress : RowChange::Kind::SetByName, incoming};
        return true;
    }
    if (g_peer_table.count >= kMaxPeers) return false;
    g_seen_numbers[g_peer_table.count].Clear();
    g_peer_table.entries[g_peer_table.count++] = incoming;
    *row = {RowChange::Kind::Append, incoming};
    return true;
}

// Removes entry i; the following entries move up one place.
void RemoveAt(int i) {
    for (int j = i; j < g_peer_table.count - 1; ++j) {
        g_peer_table.entries[j] = g_peer_table.entries[j + 1];
        g_seen_numbers[j] = g_seen_numbers[j + 1];
    }
    --g_peer_table.count;
    g_seen_numbers[g_peer_table.count].Clear();
    g_peer_table.entries[g_peer_table.count] = PeerEntry{};
}

}  // namespace

void ResetPeerTable() {
    PeerTableLock lock;
    g_peer_table = PeerTable{};
    for (SeenNumbers& seen : g_seen_numbers) seen.Clear();
}

SeenNumbers* SeenNumbersOf(int i) {
    assert(i >= 0 && i <= kMaxPeers);
    return &g_seen_numbers[i];
}

uint32_t OwnAddress() { return g_peer_table.entries[0].addr; }

int FindPeerByAddress(uint32_t address) {
    for (int i = 0; i < g_peer_table.count; ++i)
        if (g_peer_table.entries[i].addr == address) return i;
    return -1;
}

bool LookUpPeer(uint32_t address, PeerEntry* entry) {
    PeerTableLock lock;
    int i = FindPeerByAddress(address);
    if (i < 0) return false;
    *entry = g_peer_table.entries[i];
    return true;
}

PeerTable PeerTableSnapshot() {
    PeerTableLock lock;
    return g_peer_table;
}

const char* OwnStatus() { return g_own_status; }

void SetOwnStatus(const char* text) {
    CopyBoundedText(g_own_status, sizeof g_own_status, text, sizeof g_own_status);
}

UserEntry BuildOwnEntry(uint32_t address) {
    UserEntry entry;
    entry.addr = address;
    CopyBoundedText(entry.from, sizeof entry.from, g_settings.Name, sizeof g_settings.Name);
    SetEntryColour(&entry, g_settings.Msg_TextColor);
    entry.cnt = MessageCounter();
    CopyBoundedText(entry.cond, sizeof entry.cond, g_own_status, sizeof g_own_status);
    return entry;
}

bool MergeEntries(const uint8_t* datagram, int length, RowChanges* rows) {
    rows->count = 0;
    PeerTableLock lock;
    if (g_peer_table.count >= kMaxPeers) return true;
    int count = std::min(ReceivedEntryCount(datagram, length), kMaxUserEntries);
    for (int i = 0; i < count; ++i) {
        UserEntry incoming;
        if (!ReadReceivedEntry(datagram, length, i, &incoming)) continue;
        // A peer at address 0 would make every send to it fan out to the
        // host address list; only the own entry (the first one) is taken
        // whatever its address.
        if (incoming.addr == 0 && g_peer_table.count > 0) continue;
        if (MergeOne(incoming, &rows->changes[rows->count])) ++rows->count;
    }
    return true;
}

bool RemovePeer(uint32_t address) {
    PeerTableLock lock;
    int i = 1;  // the own entry is never removed
    while (i < g_peer_table.count && g_peer_table.entries[i].addr != address) ++i;
    if (i >= g_peer_table.count) return false;
    RemoveAt(i);
    return true;
}

bool UpdatePeer(const UserEntry& incoming, PeerEntry* stored) {
    PeerTableLock lock;
    int i = FindPeerByAddress(incoming.addr);
    if (i < 0) return false;
    PeerEntry& e = g_peer_table.entries[i];
    int16_t counter = e.cnt;
    e = incoming;
    e.cnt = counter;
    CutStatus(&e);
    *stored = e;
    return true;
}

void KeepOnlyOwnEntry() {
    assert(HoldingPeerTableLock());
    for (int i = 1; i <= kMaxPeers; ++i) {
        g_peer_table.entries[i] = PeerEntry{};
        g_seen_numbers[i].Clear();
    }
    if (g_peer_table.count > 1) g_peer_table.count = 1;
}

void StoreOwnEntry(const UserEntry& entry) {
    assert(HoldingPeerTableLock());
    if (g_peer_table.count == 0) return;
    g_peer_table.entries[0] = entry;
    CutStatus(&g_peer_table.entries[0]);
}
