// Datagrams kept until their acknowledgement arrives, resent on each tick.
#pragma once
#include <cstdint>

constexpr int kMaxPendingAcks = 100;

bool PendingAdd(uint32_t destination, const uint8_t* datagram, int length);
bool PendingAcknowledge(const uint8_t* resp);
// The IDT_RESEND tick.
bool ResendPass();
void PendingClear();
int PendingCount();
