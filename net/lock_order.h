// The two locks of the network core, as scoped guards that keep their order:
// the peer-table lock is taken before the pending-ack lock, never the reverse,
// and neither is taken again by the thread that holds it (a binary semaphore
// would wait for itself). Each thread notes which of the two it holds; debug
// builds assert the order every time a lock is taken.
#pragma once
#include "net/semaphore_guard.h"

// Holds the peer-table lock (g_platform.peer_table_lock) for its scope.
class PeerTableLock {
public:
    PeerTableLock();
    ~PeerTableLock();
    // Releases early; the destructor then does nothing.
    void Unlock();
    PeerTableLock(const PeerTableLock&) = delete;
    PeerTableLock& operator=(const PeerTableLock&) = delete;

private:
    SemaphoreGuard guard_;
    bool held_ = true;
};

// Holds the pending-ack lock (g_platform.pending_ack_lock) for its scope.
class PendingAckLock {
public:
    PendingAckLock();
    ~PendingAckLock();
    PendingAckLock(const PendingAckLock&) = delete;
    PendingAckLock& operator=(const PendingAckLock&) = delete;

private:
    SemaphoreGuard guard_;
};

// Whether the calling thread holds the peer-table lock.
bool HoldingPeerTableLock();
