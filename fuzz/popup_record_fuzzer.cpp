// Feeds arbitrary bytes to the popup record, as a peer's KIND_POPUP datagram
// reaches a popup window: the record copied from it on an exact-size copy of
// the bytes (a read past them is caught), the text the window shows, the
// sender looked up in a peer table of three, the reply colours, and a reply
// sent back through the real send path to a recording socket.
//
// The first input byte chooses the circumstances: bit 0 and bit 1 enforce
// the output and the input area's text colours, bit 2 replies with the text
// shown (else with the datagram's bytes, NULs and all), bit 3 leaves the
// program without an open socket, bit 4 makes sends fail. The rest is the
// datagram.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "messaging/popup_message.h"
#include "net/counters.h"
#include "net/datagram.h"
#include "net/peer_table.h"
#include "net/pending_acks.h"
#include "fuzz/fuzz_socket.h"
#include "platform/platform.h"
#include "settings/settings.h"
#include "tests/common/core_probes.h"

namespace {

class RecordingSocket : public FuzzSocketBase {
public:
    struct Sent {
        std::vector<uint8_t> bytes;
        uint32_t address;
    };
    std::vector<Sent> sent;
    bool failing = false;

    int SendTo(const uint8_t* data, int length, uint32_t address, int) override {
        if (failing) return -1;
        sent.push_back({std::vector<uint8_t>(data, data + length), address});
        return length;
    }
    int ReceiveFrom(uint8_t*, int, uint32_t*) override { return -1; }
};

RecordingSocket g_socket;
const uint32_t kOwn = MakeAddress(10, 0, 0, 7);

void AddPeer(uint32_t address, const char* name, uint8_t red) {
    PeerEntry& e = g_peer_table.entries[g_peer_table.count++];
    e = PeerEntry{};
    e.addr = address;
    std::strncpy(e.from, name, sizeof e.from - 1);
    SetEntryColour(&e, MakeAddress(red, 0x20, 0x30, 0));
}

void SetUpOnce() {
    g_platform.socket = &g_socket;
    std::strcpy(g_settings.Debug, "No");
    std::strcpy(g_settings.Broadcast_LocalNetwork, "Yes");
    g_settings.Port_Number = 55700;
    g_settings.Number = 1;
    g_settings.Address[0].address = MakeAddress(10, 0, 1, 255);
    g_settings.OuArea_TextColor = 0x00010101;
    g_settings.OuArea_BackColor = 0x00EEEEEE;
    g_settings.InArea_TextColor = 0x00020202;
    g_settings.InArea_BackColor = 0x00DDDDDD;
    g_settings.Msg_TextColor = 0x00030303;
    ResetPeerTable();
    AddPeer(kOwn, "user1", 1);
    AddPeer(MakeAddress(10, 0, 0, 2), "user2", 2);
    AddPeer(MakeAddress(10, 0, 0, 3), "a-name-of-19-bytes.", 3);
}

// The record keeps the datagram's `len` bytes, at most those received, and
// one zero; its text lies within them, ends before any NUL and is no longer
// than its sender announced or the 255 bytes a popup holds.
void CheckRecord(const PopupRecord& record, const std::vector<uint8_t>& bytes) {
    const DatagramHeader header = ReadHeader(bytes.data(), static_cast<int>(bytes.size()));
    const size_t kept = std::min<size_t>(header.len, bytes.size());
    if (record.datagram.size() != kept + 1 || record.datagram.back() != 0) std::abort();
    if (!std::equal(bytes.begin(), bytes.begin() + static_cast<long>(kept), record.datagram.begin()))
        std::abort();
    if (record.sender != header.addr) std::abort();

    const std::string text = PopupText(record);
    if (text.size() > static_cast<size_t>(kMaxMessageText) || text.size() > header.num) std::abort();
    if (!text.empty() && kMessageTextOffset + text.size() > kept) std::abort();
    if (text.find('\0') != std::string::npos) std::abort();
    if (!text.empty() &&
        std::memcmp(text.data(), record.datagram.data() + kMessageTextOffset, text.size()) != 0)
        std::abort();
}

void CheckLookUp(PopupRecord* record) {
    const bool found = LookUpPopupSender(record);
    const int index = FindPeerByAddress(record->sender);
    if (found != (index >= 0) || record->sender_known != found) std::abort();
    if (std::memchr(record->name, 0, sizeof record->name) == nullptr) std::abort();
    if (found) {
        if (std::strcmp(record->name, g_peer_table.entries[index].from) != 0) std::abort();
        if (record->back_colour != g_settings.OuArea_BackColor) std::abort();
    } else if (record->name[0] != 0) {
        std::abort();
    }
}

// A reply is one popup, built as the send command builds one, to the popup's
// sender, with a copy kept for resending.
void CheckReply(const PopupRecord& record, const std::string& reply, uint8_t flags) {
    g_socket.sent.clear();
    g_socket.open = !(flags & 0x08);
    g_socket.failing = (flags & 0x10) != 0;
    const int pending_before = PendingCount();
    const bool result = SendPopupReply(record, reply);

    const size_t n = std::min(BoundedLength(reply.c_str(), reply.size()), size_t{kMaxMessageText});
    if (n == 0) {
        if (result || !g_socket.sent.empty()) std::abort();
        return;
    }
    // A popup without a sender address is answered to no one.
    if (record.sender == 0) {
        if (result || !g_socket.sent.empty()) std::abort();
        return;
    }
    if (!g_socket.open) {
        if (!result || !g_socket.sent.empty()) std::abort();
        return;
    }
    if (g_socket.failing) {
        if (result || PendingCount() != pending_before) std::abort();
        return;
    }
    if (!result || g_socket.sent.size() != 1) std::abort();
    const RecordingSocket::Sent& sent = g_socket.sent[0];
    if (sent.address != record.sender) std::abort();
    const uint8_t* d = sent.bytes.data();
    const int length = static_cast<int>(sent.bytes.size());
    const DatagramHeader h = ReadHeader(d, length);
    if (length != static_cast<int>(n) + kMessageTextOffset + 1 || h.len != length ||
        h.kind != KIND_POPUP || h.addr != kOwn || h.num != n || ReadU32BE(d + kHeaderSize) != 0)
        std::abort();
    if (MessageText(d, length) != std::string_view(reply.data(), n)) std::abort();
    if (PendingCount() != std::min(pending_before + 1, kMaxPendingAcks)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = (SetUpOnce(), true);
    (void)ready;
    if (size == 0 || size > 4096) return 0;
    const uint8_t flags = data[0];
    const std::vector<uint8_t> bytes(data + 1, data + size);
    PendingClear();

    std::strcpy(g_settings.OuArea_TextColor_Force, (flags & 0x01) ? "Yes" : "No");
    std::strcpy(g_settings.InArea_TextColor_Force, (flags & 0x02) ? "Yes" : "No");

    auto record = MakePopupRecord(bytes.data(), static_cast<int>(bytes.size()));
    CheckRecord(*record, bytes);
    CheckLookUp(record.get());
    SetReplyColours(record.get());
    if (record->back_colour != g_settings.InArea_BackColor) std::abort();

    const std::string reply = (flags & 0x04) ? PopupText(*record)
                                             : std::string(bytes.begin(), bytes.end());
    CheckReply(*record, reply, flags);
    return 0;
}
