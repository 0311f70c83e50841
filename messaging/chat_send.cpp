#include "messaging/chat_send.h"

#include <string>
#include <vector>

#include "messaging/chat_display.h"
#include "net/counters.h"
#include "net/datagram.h"
#include "net/lock_order.h"
#include "net/peer_table.h"
#include "net/transport.h"
#include "settings/settings.h"
#include "platform/error_report.h"
#include "platform/platform.h"
#include "platform/message_boxes.h"

namespace {

constexpr char kConfirmTitle[] = "Mosswick - 送信確認";

// A built message: the datagram in its zero-filled buffer.
struct Message {
    uint8_t datagram[kMessageBufferSize] = {};
    int length = 0;
    bool chat = true;
};

// A question asked in a box; without boxes the answer is Yes.
bool Ask(const char* question) {
    return g_platform.boxes == nullptr || g_platform.boxes->AskYesNo(question, kConfirmTitle);
}

// The questions the settings ask for, in order; false as soon as one is
// answered No.
bool Confirmed(bool personal, bool popup) {
    if (personal && PersonalSendCheckOn(g_settings) && !Ask("個人送信しますか？")) return false;
    if (!personal && BroadcastSendCheckOn(g_settings) && !Ask("全員に送信しますか？")) return false;
    if (popup && PopupSendCheckOn(g_settings) && !Ask("ポップアップ形式で送信しますか？")) return false;
    return true;
}

// The datagram counter advances for every message built; a chat message
// takes the next message number, a popup carries 0.
void Build(Message* m, const std::string& text, bool popup) {
    size_t n = text.size();
    uint16_t all_count = NextDatagramCount();
    m->chat = !popup;
    if (popup)
        m->length = BuildPopupDatagram(m->datagram, OwnAddress(), all_count, text.c_str(), n);
    else
        m->length = BuildChatDatagram(m->datagram, OwnAddress(), all_count, NextMessageNumber(), text.c_str(), n);
}

bool SendTo(Message* m, uint32_t address) {
    return SendDatagram(m->datagram, m->length, address, g_settings.Port_Number, true);
}

enum class Outcome { Sent, SentWithOwn, Ended };

// Personal mode: one datagram to each selected user in list order; the own
// row gets none but asks for the local echo.
Outcome SendToSelected(Message* m, const std::vector<uint32_t>& selected) {
    if (selected.empty()) {
        if (m->chat) GiveBackMessageNumber();
        if (g_platform.boxes != nullptr)
            g_platform.boxes->ShowMessage("送信先が選択されていません", "Mosswick - メッセージの送信",
                                          BoxIcon::Information);
        return Outcome::Ended;
    }
    bool own = false;
    uint32_t own_address = OwnAddress();
    for (uint32_t address : selected) {
        if (address == own_address && address != 0) {
            own = true;
            continue;
        }
        if (address == 0 || !SendTo(m, address)) {
            ReportInternalError(OP_SEND_MESSAGE, 0x20);
            return Outcome::Ended;
        }
    }
    return own ? Outcome::SentWithOwn : Outcome::Sent;
}

// Everyone: every peer-table entry after the own one, under the lock.
Outcome SendToEveryone(Message* m) {
    PeerTableLock lock;
    for (int i = 1; i < g_peer_table.count; ++i) {
        if (!SendTo(m, g_peer_table.entries[i].addr)) {
            lock.Unlock();
            ReportInternalError(OP_SEND_MESSAGE, 0x10);
            return Outcome::Ended;
        }
    }
    return Outcome::SentWithOwn;
}

}  // namespace

bool SendChatMessage(const std::string& typed, bool personal, bool popup, const std::vector<uint32_t>& selected) {
    if (!g_transport.network_ready) return false;
    const std::string text = typed.substr(0, BoundedLength(typed.c_str(), typed.size()));  // the text ends at a NUL
    if (text.empty()) return false;
    if (!Confirmed(personal, popup)) return false;

    Message m;
    Build(&m, text, popup);
    Outcome outcome = personal ? SendToSelected(&m, selected) : SendToEveryone(&m);
    if (outcome == Outcome::Ended) return false;

    // The own line, numbered and coloured like a received one. The peer-table
    // lock is free again: the display takes it.
    if (outcome == Outcome::SentWithOwn && m.chat && !DisplayChatMessage(m.datagram, m.length)) {
        ReportInternalError(OP_SEND_MESSAGE, 0x30);
        return false;
    }
    return true;
}
