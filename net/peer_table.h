// The table of known users: entry 0 is the own entry, then the peers in the
// order they were learned; at most 30 in all. Guarded by the peer-table lock
// (PeerTableLock); every change runs on the user-interface thread, which may
// also read the table without the lock. Other threads read it only under the
// lock (LookUpPeer, PeerTableSnapshot).
//
// Each change of the table asks for a change of the user area's rows; the
// table says which, and its caller applies them (user_rows.h) once the lock
// is released.
#pragma once
#include <cstdint>

#include "net/datagram.h"
#include "net/seen_numbers.h"

constexpr int kMaxPeers = 30;
constexpr int kOwnStatusSize = 17;

// A stored entry: the user entry as received, the stored message counter
// (`cnt`) in host order, status bytes 14 and 15 zero.
using PeerEntry = UserEntry;

struct PeerTable {
    PeerEntry entries[kMaxPeers + 1];  // one spare slot; every slot from `count` on is zero
    int count = 0;
};

extern PeerTable g_peer_table;

// The message numbers recently taken from the sender of entry i (0 <= i <
// count). They go with the entry when entries move up, and are forgotten when
// the entry is made or when a merge lowers its stored counter (the sender
// started over, so its numbers begin again). The caller holds the lock.
SeenNumbers* SeenNumbersOf(int i);

// Empties the table (start-up).
void ResetPeerTable();

// The own entry's address; 0 while the table is empty.
uint32_t OwnAddress();

// Index of the first (or last) entry with this address, or -1. The caller
// holds the lock or runs on the user-interface thread.
int FindPeerByAddress(uint32_t address);

// Under the lock, from any thread: a copy of the first entry with this
// address (false when none), or of the whole table.
bool LookUpPeer(uint32_t address, PeerEntry* entry);
PeerTable PeerTableSnapshot();

// The own status text (at most 16 bytes kept).
const char* OwnStatus();
void SetOwnStatus(const char* text);

// The own entry as sent: `address`, Name, Msg_TextColor, the message counter
// and the own status text.
UserEntry BuildOwnEntry(uint32_t address);

// A change of the user area's rows that a merge asks for: a new row for a new
// entry, or the row of an overwritten entry, found by its address or (the own
// entry matched by name) by its name, set from the entry.
struct RowChange {
    enum class Kind { Append, SetByAddress, SetByName } kind = Kind::Append;
    PeerEntry entry;
};
struct RowChanges {
    RowChange changes[kMaxUserEntries];
    int count = 0;
};

// Merges the user entries of a datagram of kind 1, 2 or 100 (only those lying
// wholly within the bytes received) and gives the row changes that follow, in
// order. While the table is full nothing is merged. An entry whose address the
// table holds, or with the own entry's name, overwrites that entry; overwriting
// entry 0 takes the entry's counter over as the message counter. Another entry
// is appended while there is room. An entry with address 0 names no user that
// could be sent to and is skipped, except as the own entry of an empty table.
bool MergeEntries(const uint8_t* datagram, int length, RowChanges* rows);

// Removes the peer with this address (entries 1 onward: never the own entry);
// its row is to go. False when there is none.
bool RemovePeer(uint32_t address);

// Overwrites the entry (the own one included) with incoming's address, keeping
// its stored message counter; `stored` gets the entry as kept, whose row is to
// take its name and status. False when the table has no such entry.
bool UpdatePeer(const UserEntry& incoming, PeerEntry* stored);

// Changes made while holding the lock (PeerTableLock), by the operations that
// send under it:
// Keeps entry 0 only.
void KeepOnlyOwnEntry();
// Overwrites entry 0 (while there is one).
void StoreOwnEntry(const UserEntry& entry);
