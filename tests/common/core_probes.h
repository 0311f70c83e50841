// What the tests and fuzzers read and set inside the core beyond what the
// program itself uses; defined beside the state they reach.
#pragma once
#include <cstdint>

#include "net/transport.h"

// The datagrams the pending-ack list keeps (net/pending_acks.cpp).
int PendingCount();
// Sets the datagram counter (net/counters.cpp).
void SetDatagramCount(uint16_t value);

// Reads and handles one datagram; true when it was handled.
inline bool ReceiveDatagram() { return ReceiveNext() == ReceiveOutcome::Handled; }
