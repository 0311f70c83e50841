#include "shell/receive_dispatch.h"

#include "messaging/chat_receive.h"
#include "net/datagram.h"
#include "net/peer_table.h"
#include "net/pending_acks.h"
#include "net/presence.h"
#include "platform/board_view.h"
#include "platform/platform.h"
#include "platform/popup_view.h"

uint16_t DispatchReceived(uint8_t* datagram, int length, int16_t kind, uint32_t sender, bool* acknowledge) {
    uint16_t failed = 0;
    switch (kind) {
        case KIND_START:
            WriteAddress(datagram + kHeaderSize + kEntryOffsetAddr, sender);
            if (sender != OwnAddress()) {
                if (!TakeEntries(datagram, length)) failed = 0x10;
                if (!SendWholeTable(datagram, length)) failed = 0x10;
            }
            break;
        case KIND_USERLIST:
            if (!TakeEntries(datagram, length)) failed = 0x20;
            break;
        case KIND_END:
            if (!RemoveSender(datagram, length)) failed = 0x40;
            break;
        case KIND_CHAT:
            if (!ReceiveChatMessage(datagram, length)) failed = 0x50;
            break;
        case KIND_STATUS:
            WriteAddress(datagram + kHeaderSize + kEntryOffsetAddr, sender);
            if (!UpdateSender(datagram, length)) failed = 0x30;
            break;
        case KIND_POPUP:
            if (g_platform.popups != nullptr) {
                PopupStart start = g_platform.popups->StartPopupWindow(datagram, length);
                if (start == PopupStart::Failed) failed = 0x60;
                if (start == PopupStart::PutOff) *acknowledge = false;
            }
            break;
        case KIND_RESP:
            if (!PendingAcknowledge(datagram, length)) failed = 0x70;
            break;
        case KIND_BOARD:
            if (g_platform.board != nullptr) g_platform.board->DeliverBoardData(datagram, length);
            break;
        case KIND_CHECK:
            WriteAddress(datagram + kHeaderSize + kEntryOffsetAddr, sender);
            if (sender != OwnAddress()) {
                if (!TakeEntries(datagram, length)) failed = 0x80;
                if (!ReplyWithOwnEntry(datagram, length)) failed = 0x90;
            }
            break;
        default:
            break;
    }
    return failed;
}
