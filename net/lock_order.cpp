#include "net/lock_order.h"

#include <cassert>

#include "platform/platform.h"

namespace {
thread_local bool t_peer_table_held = false;
thread_local bool t_pending_ack_held = false;

// Checked before the semaphore is waited for, so that a wrong order stops a
// debug build at once instead of deadlocking it some day.
BinarySemaphore* PeerTableSemaphore() {
    assert(!t_pending_ack_held && "peer-table lock taken while holding the pending-ack lock");
    assert(!t_peer_table_held && "peer-table lock taken twice by one thread");
    return g_platform.peer_table_lock;
}

BinarySemaphore* PendingAckSemaphore() {
    assert(!t_pending_ack_held && "pending-ack lock taken twice by one thread");
    return g_platform.pending_ack_lock;
}
}  // namespace

PeerTableLock::PeerTableLock() : guard_(PeerTableSemaphore()) { t_peer_table_held = true; }

PeerTableLock::~PeerTableLock() { Unlock(); }

void PeerTableLock::Unlock() {
    if (!held_) return;
    held_ = false;
    t_peer_table_held = false;
    guard_.Unlock();
}

PendingAckLock::PendingAckLock() : guard_(PendingAckSemaphore()) { t_pending_ack_held = true; }

PendingAckLock::~PendingAckLock() { t_pending_ack_held = false; }

bool HoldingPeerTableLock() { return t_peer_table_held; }
