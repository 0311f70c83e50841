#include "messaging/undelivered_notice.h"

#include "net/datagram.h"
#include "net/peer_table.h"
#include "platform/chat_areas_view.h"
#include "platform/platform.h"
#include "platform/inet_address.h"
#include "settings/settings.h"

std::string UndeliveredLine(const std::string& receiver, uint32_t destination, const uint8_t* datagram,
                            int length) {
    const int16_t kind = ReadKind(datagram, length);
    if (kind != KIND_CHAT && kind != KIND_POPUP) return {};
    std::string who = receiver.empty() ? FormatDottedAddress(destination)
                                       : receiver + " (" + FormatDottedAddress(destination) + ")";
    const char* what = kind == KIND_POPUP ? "ポップアップ" : "メッセージ";
    std::string text(MessageText(datagram, length));
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    return std::string("[未達] ") + who + " への" + what + "は届きませんでした： " + text + "\r\n";
}

void ShowUndelivered(uint32_t destination, const uint8_t* datagram, int length) {
    if (!UndeliveredNoticeOn(g_settings) || g_platform.chat_areas == nullptr) return;
    PeerEntry entry;
    std::string receiver;
    if (LookUpPeer(destination, &entry)) receiver.assign(entry.from, BoundedLength(entry.from, sizeof entry.from));
    std::string line = UndeliveredLine(receiver, destination, datagram, length);
    if (!line.empty()) g_platform.chat_areas->AppendOutput(line.c_str(), kUndeliveredColour);
}
