// The table that hands each received kind of datagram to the subsystem that
// handles it. The transport reads, corrects and acknowledges; this layer
// knows who handles what, so a new kind plugs in here alone.
#pragma once
#include <cstdint>

// Runs the handler for the datagram's kind; returns the step code of the
// last failed handler (0x10 … 0x90 by kind), or 0. A popup put off for want
// of room is not acknowledged.
uint16_t DispatchReceived(uint8_t* datagram, int length, int16_t kind, uint32_t sender, bool* acknowledge);
