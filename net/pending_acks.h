// Datagrams kept until their acknowledgement arrives, resent on each tick.
//
// A kept datagram is sent once by its sender and resent by each of the next
// five resend passes until it is acknowledged; right after its fifth resend it
// is dropped without a word. The list holds at most 100 datagrams; a datagram
// that finds it full is sent once and never resent. Guarded by the pending-ack
// lock, which a caller holding the peer-table lock may take, never the reverse.
#pragma once
#include <cstdint>

constexpr int kMaxPendingAcks = 100;
constexpr int kMaxResends = 5;

// Keeps a copy of a datagram just sent to `destination` (never 0). False,
// keeping nothing, when the list is full, the destination is 0 or the
// datagram is empty or longer than the largest the format defines.
bool PendingAdd(uint32_t destination, const uint8_t* datagram, int length);

// A received KIND_RESP (`length` bytes, its addr already corrected): removes
// the first kept datagram sent to that addr whose allCount it carries. An
// acknowledgement that matches nothing is ignored. Always succeeds.
bool PendingAcknowledge(const uint8_t* resp, int length);

// The IDT_RESEND tick: resends every kept datagram, in the order kept, and
// drops each right after its fifth resend. A failed send stops the pass; that
// datagram and those after it wait for the next pass, their counts unchanged.
bool ResendPass();

// A chat line or popup whose last resend went unacknowledged for a whole
// tick too: the pass after that hands its copy to the handler (the program
// tells its user). Nothing of this changes what is sent.
using UndeliveredHandler = void (*)(uint32_t destination, const uint8_t* datagram, int length);
void SetUndeliveredHandler(UndeliveredHandler handler);

// Forgets every kept datagram (End), and those waiting for a last
// acknowledgement.
void PendingClear();
