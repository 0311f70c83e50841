// The text colour of a user-area row, from the peer table: the colour the
// user announced for the address in the row's IP column.
#pragma once
#include <cstdint>
#include <optional>

#include "net/peer_table.h"

// Nothing when the IP text is empty or no dotted address (the row keeps the
// default colours). Otherwise black, or the colour of the last table entry
// with that address.
std::optional<uint32_t> UserRowColour(const char* ip_text, const PeerTable& table);
