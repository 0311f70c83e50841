// Where the receive path hands a chat message over to the output area.
#pragma once
#include <cstdint>

// The datagram after its sender address was corrected, and the bytes received.
bool ReceiveChatMessage(const uint8_t* datagram, int length);
