#include "shell/user_row_colour.h"

#include "platform/inet_address.h"

std::optional<uint32_t> UserRowColour(const char* ip_text, const PeerTable& table) {
    if (ip_text == nullptr || ip_text[0] == 0) return std::nullopt;
    uint32_t address = ParseInetAddress(ip_text);
    if (address == kInetAddressNone) return std::nullopt;
    uint32_t colour = 0;  // black
    for (int i = 0; i < table.count && i < kMaxPeers; ++i)
        if (table.entries[i].addr == address) colour = EntryColour(table.entries[i]);
    return colour;
}
