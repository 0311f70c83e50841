// A popup message as its window keeps it: a copy of the datagram, and the
// sender's name and colours found when the window opens. The window runs on
// a thread of its own; the record goes with it and is freed when it ends.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct PopupRecord {
    // The datagram's `len` bytes, at most the bytes received, and one zero.
    std::vector<uint8_t> datagram;
    uint32_t sender = 0;     // the datagram's addr, corrected on receipt
    char name[20] = {};      // empty when the sender is not in the peer table
    bool sender_known = false;
    uint32_t text_colour = 0, back_colour = 0;  // 0x00BBGGRR; only once known
};

std::unique_ptr<PopupRecord> MakePopupRecord(const uint8_t* datagram, int length);

// The text the window shows: up to its NUL, the length its sender announced,
// 255 bytes and the bytes copied, whichever comes first.
std::string PopupText(const PopupRecord& record);

// Looks the sender up under the peer-table lock: its name, its colour (or the
// output area's text colour while that is enforced) on the output area's
// background. False when the sender is not in the table: nothing is set.
bool LookUpPopupSender(PopupRecord* record);

// The colours of reply mode: the input area's.
void SetReplyColours(PopupRecord* record);

// Sends the typed reply to the popup's sender, as the send command builds a
// popup, with a copy kept for resending. False for an empty text or a popup
// without a sender address (nothing is sent) or a failed send; true also
// when there is no socket to send on.
bool SendPopupReply(const PopupRecord& record, const std::string& text);
