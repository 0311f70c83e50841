#include "net/peer_table.h"

#include <cstring>

#include "net/counters.h"
#include "net/semaphore_guard.h"
#include "settings/settings.h"
#include "shell/shell_state.h"

PeerTable g_peer_table;

namespace {
char g_own_status[kOwnStatusSize] = {};

// Index of the entry an incoming one belongs to: the first with its address,
// or the own entry when the names are equal. -1 when none.
int FindMergeTarget(const UserEntry& incoming) {
    for (int i = 0; i < g_peer_table.count; ++i) {
        const PeerEntry& e = g_peer_table.entries[i];
        if (e.addr == incoming.addr) return i;
        if (i == 0 && std::strncmp(e.from, incoming.from, kNameFieldSize) == 0) return 0;
    }
    return -1;
}

void MergeOne(const UserEntry& incoming) {
    int i = FindMergeTarget(incoming);
    if (i >= 0) {
        g_peer_table.entries[i] = incoming;
        if (i == 0) SetMessageCounter(incoming.cnt);
    } else if (g_peer_table.count < kMaxPeers) {
        g_peer_table.entries[g_peer_table.count++] = incoming;
    }
}
}  // namespace

void ResetPeerTable() {
    SemaphoreGuard lock(g_platform.peer_table_lock);
    g_peer_table = PeerTable{};
}

void ResetPeerTableToOwnEntry() {
    SemaphoreGuard lock(g_platform.peer_table_lock);
    for (int i = 1; i <= kMaxPeers; ++i) g_peer_table.entries[i] = PeerEntry{};
    if (g_peer_table.count > 1) g_peer_table.count = 1;
}

uint32_t OwnAddress() { return g_peer_table.entries[0].addr; }

int FindPeerByAddress(uint32_t address) {
    for (int i = 0; i < g_peer_table.count; ++i)
        if (g_peer_table.entries[i].addr == address) return i;
    return -1;
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

bool MergeEntries(const uint8_t* datagram, int length) {
    SemaphoreGuard lock(g_platform.peer_table_lock);
    if (g_peer_table.count >= kMaxPeers) return true;
    int count = ReceivedEntryCount(datagram, length);
    for (int i = 0; i < count; ++i) {
        UserEntry incoming;
        if (ReadReceivedEntry(datagram, length, i, &incoming)) MergeOne(incoming);
    }
    return true;
}
