// The send command: the input area's text as one chat or popup message.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Sends `text` (CP932; it ends at its first NUL) with the two mode flags as
// they are at the moment of the command: personal (to `selected`, the
// addresses of the users selected in the user area in list order, 0 for a
// row that names no user; otherwise to every peer in the table) and popup (a
// popup message instead of a chat message). Asks the confirmations the
// settings require and shows the user's own chat message through the receive
// path (not when only other users were selected). True when the message is
// out: the caller then empties the input area. Every early end gives false,
// and the text stays where it is. Needs the network to be ready.
bool SendChatMessage(const std::string& text, bool personal, bool popup, const std::vector<uint32_t>& selected);
