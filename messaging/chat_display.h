// Showing a chat message, received or the user's own (local echo).
#pragma once
#include <cstdint>

// Takes a chat datagram whose addr names its sender and the bytes received.
// Looks the sender up in the peer table, drops a repeat (repeat_rule.h),
// starts the arrival notification the settings choose and appends the
// display line in the sender's colour to the output area and the log. A
// message from an address the table does not hold is dropped: nothing is
// shown, announced or logged. Dropped messages count as handled (true).
bool DisplayChatMessage(const uint8_t* datagram, int length);
