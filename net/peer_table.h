// The table of known users: entry 0 is the own entry, then the peers in the
// order they were learned. Guarded by the peer-table lock
// (g_platform.peer_table_lock); the user-interface thread, where every change
// runs, may read it without the lock.
#pragma once
#include <cstdint>

#include "net/datagram.h"

constexpr int kMaxPeers = 30;
constexpr int kOwnStatusSize = 17;

// A stored entry: the user entry as received, the stored message counter
// (`cnt`) in host order, status bytes 14 and 15 zero.
using PeerEntry = UserEntry;

struct PeerTable {
    PeerEntry entries[kMaxPeers + 1];  // one spare slot, always zero
    int count = 0;
};

extern PeerTable g_peer_table;

// Empties the table (start-up).
void ResetPeerTable();
// Keeps entry 0 only.
void ResetPeerTableToOwnEntry();

// The own entry's address; 0 while the table is empty.
uint32_t OwnAddress();

// Index of the first entry with this address, or -1. The caller holds the
// lock or runs on the user-interface thread.
int FindPeerByAddress(uint32_t address);

// The own status text (at most 16 bytes kept).
const char* OwnStatus();
void SetOwnStatus(const char* text);

// The own entry as sent: `address`, Name, Msg_TextColor, the message counter
// and the own status text.
UserEntry BuildOwnEntry(uint32_t address);

// Merges the user entries of a datagram of kind 1, 2 or 100 (only those lying
// wholly within the bytes received). An entry matching an address in the
// table, or the own entry by name, overwrites it; a new one is appended while
// there is room. Overwriting entry 0 takes its counter over as the message
// counter.
bool MergeEntries(const uint8_t* datagram, int length);
