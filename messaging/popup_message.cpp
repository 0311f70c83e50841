#include "messaging/popup_message.h"

#include <algorithm>
#include <cstring>

#include "net/counters.h"
#include "net/datagram.h"
#include "net/lock_order.h"
#include "net/peer_table.h"
#include "net/transport.h"
#include "settings/settings.h"

std::unique_ptr<PopupRecord> MakePopupRecord(const uint8_t* datagram, int length) {
    auto record = std::make_unique<PopupRecord>();
    int bytes = std::clamp<int>(ReadHeader(datagram, length).len, 0, std::max(length, 0));
    record->datagram.assign(datagram, datagram + bytes);
    record->datagram.push_back(0);
    record->sender = ReadHeader(datagram, length).addr;
    return record;
}

std::string PopupText(const PopupRecord& record) {
    const int copied = static_cast<int>(record.datagram.size()) - 1;
    std::string_view text = MessageText(record.datagram.data(), copied);
    size_t announced = ReadHeader(record.datagram.data(), copied).num;
    return std::string(text.substr(0, std::min(text.size(), announced)));
}

bool LookUpPopupSender(PopupRecord* record) {
    PeerTableLock lock;
    int i = FindPeerByAddress(record->sender);
    if (i < 0) return false;
    const PeerEntry& entry = g_peer_table.entries[i];
    std::memcpy(record->name, entry.from, sizeof record->name);
    record->name[sizeof record->name - 1] = 0;
    record->text_colour = OuAreaTextColorForceOn(g_settings) ? g_settings.OuArea_TextColor : EntryColour(entry);
    record->back_colour = g_settings.OuArea_BackColor;
    record->sender_known = true;
    return true;
}

void SetReplyColours(PopupRecord* record) {
    record->text_colour = InAreaTextColorForceOn(g_settings) ? g_settings.InArea_TextColor : g_settings.Msg_TextColor;
    record->back_colour = g_settings.InArea_BackColor;
}

bool SendPopupReply(const PopupRecord& record, const std::string& text) {
    size_t n = std::min(BoundedLength(text.c_str(), text.size()), size_t{256});
    if (n == 0) return false;
    // A popup whose sender could not be told (address 0) has no one to
    // answer: sent to address 0 the reply would go to the whole host list.
    if (record.sender == 0) return false;
    uint32_t own = 0;
    {
        // The popup's own thread: the table may change on the main thread.
        PeerTableLock lock;
        own = OwnAddress();
    }
    uint8_t datagram[kMessageBufferSize];
    int length = BuildPopupDatagram(datagram, own, NextDatagramCount(), text.c_str(), n);
    return SendDatagram(datagram, length, record.sender, g_settings.Port_Number, true);
}
