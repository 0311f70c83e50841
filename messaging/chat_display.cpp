#include "messaging/chat_display.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

#include "messaging/arrival_choice.h"
#include "messaging/display_line.h"
#include "messaging/output_line.h"
#include "messaging/repeat_rule.h"
#include "net/datagram.h"
#include "net/lock_order.h"
#include "net/peer_table.h"
#include "platform/local_clock.h"
#include "settings/settings.h"
#include "platform/platform.h"
#include "platform/arrival_view.h"
#include "settings/window_modes.h"

namespace {

// What the display needs of the sender's entry, copied under the lock.
struct Sender {
    std::string name;
    uint32_t colour = 0;
    bool is_own = false;  // the own entry's address: the user's own message
};

// Finds the sender and applies the repeat test to its stored counter, all
// under the peer-table lock. Nothing when the message is not to be shown.
std::optional<Sender> TakeFromPeerTable(uint32_t address, int16_t number) {
    PeerTableLock lock;
    int i = FindPeerByAddress(address);
    if (i < 0) return std::nullopt;
    PeerEntry& entry = g_peer_table.entries[i];
    if (!TakeMessageNumber(&entry.cnt, SeenNumbersOf(i), number)) return std::nullopt;
    Sender sender;
    sender.name.assign(entry.from, BoundedLength(entry.from, sizeof entry.from));
    sender.colour = EntryColour(entry);
    sender.is_own = address == OwnAddress();
    return sender;
}

LocalTime Now() { return g_platform.clock != nullptr ? g_platform.clock->Now() : LocalTime{}; }

}  // namespace

bool DisplayChatMessage(const uint8_t* datagram, int length) {
    DatagramHeader header = ReadHeader(datagram, length);
    std::optional<Sender> sender = TakeFromPeerTable(header.addr, ChatMessageNumber(datagram, length));
    if (!sender) return true;

    std::optional<ArrivalNotice> notice = ChooseArrivalNotice(g_modes.window_shown, sender->is_own, g_settings);
    if (notice && g_platform.arrivals != nullptr) g_platform.arrivals->Notify(*notice, sender->name.c_str());

    // The text ends at its NUL, 255 bytes, the bytes received and the length
    // its sender announced, whichever comes first.
    std::string_view text = MessageText(datagram, length);
    text = text.substr(0, std::min<size_t>(text.size(), header.num));

    DisplayLineFields fields;
    fields.show_date = DateViewOn(g_settings);
    fields.show_time = TimeViewOn(g_settings);
    if (fields.show_date || fields.show_time) fields.when = Now();
    fields.number = ChatMessageNumber(datagram, length);
    fields.name = sender->name;
    fields.text = text;
    AppendOutputLine(FormatDisplayLine(fields).c_str(), sender->colour);
    return true;
}
