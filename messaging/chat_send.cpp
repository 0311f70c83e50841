#include "messaging/chat_send.h"

#include <string>
#include <vector>

#include "messaging/chat_display.h"
#include "net/counters.h"
#include "net/datagram.h"
#include "net/lock_order.h"
#include "net/peer_table.h"
#include "net/transport.h"
#include "platform/inet_address.h"
#include "settings/settings.h"
#include "platform/error_report.h"
#include "platform/platform.h"
#include "platform/chat_areas_view.h"
#include "platform/message_boxes.h"
#include "platform/user_area_view.h"

namespace {

constexpr char kConfirmTitle[] = "Mosswick - 送信確認";
constexpr size_t kRowAddressChars = 19;  // what the user area's address column gives

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

// The address a selected row shows; 0 when the text is no address. Neither 0
// nor 255.255.255.255 names one user: sending there would reach the host
// list or the whole network.
uint32_t RowAddress(const std::string& text) {
    std::string cut = text.substr(0, kRowAddressChars);
    uint32_t address = ParseInetAddress(cut.c_str());
    return address == kInetAddressNone ? 0 : address;
}

enum class Outcome { Sent, SentWithOwn, Ended };

// Personal mode: one datagram to each selected user in list order; the own
// row gets none but asks for the local echo.
Outcome SendToSelected(Message* m) {
    std::vector<std::string> rows;
    if (g_platform.user_area != nullptr) rows = g_platform.user_area->SelectedUserAddresses();
    if (rows.empty()) {
        if (m->chat) GiveBackMessageNumber();
        if (g_platform.boxes != nullptr)
            g_platform.boxes->ShowMessage("送信先が選択されていません", "Mosswick - メッセージの送信",
                                          BoxIcon::Information);
        return Outcome::Ended;
    }
    bool own = false;
    uint32_t own_address = OwnAddress();
    for (const std::string& row : rows) {
        uint32_t address = RowAddress(row);
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

void SendChatMessage(bool personal, bool popup) {
    ChatAreasView* areas = g_platform.chat_areas;
    if (!g_transport.network_ready || areas == nullptr) return;
    std::string text = areas->InputText();
    text.resize(BoundedLength(text.c_str(), text.size()));  // the text ends at a NUL
    if (text.empty()) return;
    if (!Confirmed(personal, popup)) return;

    Message m;
    Build(&m, text, popup);
    Outcome outcome = personal ? SendToSelected(&m) : SendToEveryone(&m);
    if (outcome == Outcome::Ended) return;

    // The own line, numbered and coloured like a received one. The peer-table
    // lock is free again: the display takes it.
    if (outcome == Outcome::SentWithOwn && m.chat && !DisplayChatMessage(m.datagram, m.length)) {
        ReportInternalError(OP_SEND_MESSAGE, 0x30);
        return;
    }
    areas->ClearInput();
}
