#include "net/transport.h"

#include <algorithm>

#include "net/counters.h"
#include "net/datagram.h"
#include "net/dump.h"
#include "net/own_address.h"
#include "net/peer_table.h"
#include "net/pending_acks.h"
#include "net/socket_send.h"
#include "platform/datagram_socket.h"
#include "platform/host_identity.h"
#include "settings/settings.h"
#include "platform/error_report.h"
#include "platform/platform.h"
#include "platform/message_boxes.h"
#include "platform/chat_areas_view.h"

static_assert(kReceiveBufferSize == kMaxDatagramSize);

TransportState g_transport;

namespace {

ReceiveDispatch g_dispatch = nullptr;
NetworkHooks g_network_hooks;

constexpr int kWsaEfault = 10014;
// What one readable event reads at most before the program goes back to its
// messages (timers, painting, the user); what is left waits for the next.
constexpr int kMaxBurst = 256;
// Room in the system for a burst from a whole office while the program is
// busy: 1,000 lines of a few hundred bytes each, with the system's own
// overhead per datagram. The system may give less.
constexpr int kReceiveBufferBytes = 4 << 20;
constexpr int kSendBufferBytes = 1 << 20;
constexpr int kEventReadable = 1;
constexpr int kEventWritable = 2;

void ShowBox(const char* text, const char* title, BoxIcon icon) {
    if (g_platform.boxes != nullptr) g_platform.boxes->ShowMessage(text, title, icon);
}

bool DebugOn() { return DebugOn(g_settings); }

bool BroadcastOn() { return BroadcastLocalNetworkOn(g_settings); }

// An address of the host list is skipped when any of its first three octets
// is 255 (this includes an entry that did not parse as an address).
bool SkippedInHostList(uint32_t address) {
    return AddressOctet(address, 0) == 255 || AddressOctet(address, 1) == 255 ||
           AddressOctet(address, 2) == 255;
}

int HostListCount() { return std::min<int>(std::max<int>(g_settings.Number, 0), kMaxHostAddresses); }

// The first address of the host list that is sent to, or 0 when none is.
uint32_t FirstHostListAddress() {
    for (int i = 0; i < HostListCount(); ++i) {
        uint32_t address = g_settings.Address[i].address;
        if (address != 0 && !SkippedInHostList(address)) return address;
    }
    return 0;
}

bool IsOwnAddress(uint32_t address) {
    const std::vector<uint32_t>& own = g_transport.own_addresses;
    return std::find(own.begin(), own.end(), address) != own.end();
}

// The first writable event: counters to 1000, status "受信可", network ready,
// then what the program runs at network start.
void StartNetwork() {
    ResetCountersForNetworkStart();
    SetOwnStatus("受信可");
    g_transport.network_ready = true;
    if (g_network_hooks.started != nullptr) g_network_hooks.started();
}

// The datagram's real sender: the source address, except that a loopback or
// broadcast-like source (127.0.0.x / 255.0.0.x) stands for the own entry's
// address, as does another of this host's addresses (the program's own
// datagram, come back on an interface other than the one it is known by),
// and a source ending in .255 gives way to the datagram's own addr.
uint32_t CorrectedSender(uint32_t source, const uint8_t* datagram) {
    uint32_t sender = source;
    uint8_t first = AddressOctet(sender, 0);
    if ((first == 127 || first == 255) && AddressOctet(sender, 1) == 0 &&
        AddressOctet(sender, 2) == 0)
        sender = OwnAddress();
    if (source != g_transport.host_address && IsOwnAddress(source)) sender = OwnAddress();
    if (AddressOctet(sender, 3) == 255) sender = ReadAddress(datagram + kOffsetAddr);
    return sender;
}

}  // namespace

void SetReceiveDispatch(ReceiveDispatch dispatch) { g_dispatch = dispatch; }

void SetNetworkHooks(const NetworkHooks& hooks) { g_network_hooks = hooks; }

bool LookUpHostIdentity() {
    g_transport.host_address = 0;
    g_transport.own_addresses.clear();
    HostIdentity* host = g_platform.host;
    if (host == nullptr) return false;

    std::string name = host->HostName();
    if (name.empty()) {
        ShowBox(host->LastSocketError() == kWsaEfault ? "ホスト名の取得に失敗しました。(WSAEFAULT)"
                                                      : "ホスト名の取得に失敗しました。(その他)",
                "Mosswick - ホスト名の取得", BoxIcon::Warning);
        if (!host->ComputerName(&name)) {
            ShowBox("ホスト名の取得に失敗しました。(GetComputerName)", "Mosswick - ホスト名の取得",
                    BoxIcon::Error);
            return false;
        }
    }

    std::vector<uint32_t> resolved;
    if (host->Resolve(name, &resolved)) {
        g_transport.host_address = ChooseOwnAddress(resolved, FirstHostListAddress(), host);
        g_transport.own_addresses = resolved;
    } else {
        ShowBox("ＩＰアドレスの取得に失敗しました。\nインターネット・ＬＡＮ等に接続されていない可能性があります。",
                "Mosswick - ＩＰアドレス", BoxIcon::Warning);
        g_transport.host_address = MakeAddress(127, 0, 0, 1);
    }
    return true;
}

bool SocketSetUp() {
    DatagramSocket* socket = g_platform.socket;
    if (socket != nullptr && socket->IsOpen()) socket->Close();
    g_transport.host_address = 0;

    if (!LookUpHostIdentity()) {
        ReportInternalError(OP_SOCKET_SETUP, 0x10);
        return false;
    }
    if (socket == nullptr || !socket->Open()) {
        ReportInternalError(OP_SOCKET_SETUP, 0x20);
        return false;
    }
    if (!socket->EnableBroadcast()) {
        ReportInternalError(OP_SOCKET_SETUP, 0x30);
        return false;
    }
    if (!socket->RequestNotifications()) {
        ReportInternalError(OP_SOCKET_SETUP, 0x60);
        return false;
    }
    socket->SetReceiveBuffer(kReceiveBufferBytes);  // a smaller buffer only drops more of a burst
    // Datagrams to peers that have gone wait in the system until their
    // address is given up on; a small send buffer would then refuse the
    // acknowledgements to the peers still there.
    socket->SetSendBuffer(kSendBufferBytes);
    if (!socket->Bind(g_settings.Port_Number)) {
        socket->Close();
        ShowBox("初期化処理でエラーが発生しました。\n指定したポート番号は既に使用されている可能性があります。",
                "Mosswick - 初期化処理エラー", BoxIcon::Error);
        return true;
    }
    // The network starts on the first writable event, which the system need
    // not send for a datagram socket: one is queued here, and whichever
    // comes first starts the network (SocketEvent takes the other as seen).
    socket->QueueWritableEvent();
    return true;
}

void SocketEvent(int event) {
    switch (event) {
        case kEventReadable:
            if (SocketExists()) ReceiveBurst();
            break;
        case kEventWritable:
            if (SocketExists() && !g_transport.network_ready) StartNetwork();
            break;
        default:  // closed, and anything else
            break;
    }
}

bool SendDatagram(uint8_t* datagram, int length, uint32_t destination, int port, bool keep) {
    if (!SocketExists()) return true;

    if (destination == 0 && BroadcastOn() && length >= kOffsetKind + 2) {
        // The local broadcast address hears the datagram as a KIND_CHECK.
        uint8_t kind[2] = {datagram[kOffsetKind], datagram[kOffsetKind + 1]};
        WriteU16BE(datagram + kOffsetKind, static_cast<uint16_t>(KIND_CHECK));
        SendRaw(datagram, length, WithFourthOctet(g_transport.host_address, 255), port);
        datagram[kOffsetKind] = kind[0];
        datagram[kOffsetKind + 1] = kind[1];
    }

    if (destination != 0) {
        if (!SendToAddress(datagram, length, destination, port)) return false;
        // A full pending-ack list keeps no copy; the datagram was still sent.
        if (keep) PendingAdd(destination, datagram, length);
        return true;
    }

    bool result = true;
    for (int i = 0; i < HostListCount(); ++i) {
        uint32_t address = g_settings.Address[i].address;
        if (SkippedInHostList(address)) continue;
        result = SendRaw(datagram, length, address, port);
    }
    return result;
}

ReceiveOutcome ReceiveNext() {
    // A buffer of its own per call: a report's message box may dispatch the
    // next socket event before this datagram is done with.
    uint8_t datagram[kReceiveBufferSize] = {};
    uint32_t source = 0;
    int length = SocketExists() ? g_platform.socket->ReceiveFrom(datagram, kReceiveBufferSize, &source)
                                : -1;
    // Nothing waiting is no failure: a burst read at once leaves readable
    // events behind that find the socket empty.
    if (length == DatagramSocket::kNothingWaiting) return ReceiveOutcome::NothingWaiting;
    // The word that an earlier datagram found nobody listening (a peer that
    // has gone) is no failure of this program: nothing was read, and what
    // waits behind it is read as usual.
    if (length == DatagramSocket::kPeerGone) return ReceiveOutcome::Skipped;
    if (length <= 0 || length > kReceiveBufferSize) {
        ReportInternalError(OP_RECEIVE, 0x10);
        return ReceiveOutcome::Failed;
    }
    // Until the network starts the table has no own entry to keep first, and
    // nothing may be sent: what arrives before is read and dropped unanswered.
    if (!g_transport.network_ready) return ReceiveOutcome::Handled;
    if (DebugOn()) DumpDatagram(DumpDirection::Received, datagram, length, 0);

    uint32_t sender = CorrectedSender(source, datagram);
    WriteAddress(datagram + kOffsetAddr, sender);

    int16_t kind = ReadKind(datagram, length);
    bool acknowledge = kind != KIND_RESP;
    // The corrected sender is part of what the handlers read, even from a
    // datagram cut before the end of its addr field (the bytes after it stay
    // zero, as the readers take missing bytes).
    const int handled = std::max(length, kOffsetAddr + 4);
    uint16_t failed = g_dispatch != nullptr ? g_dispatch(datagram, handled, kind, sender, &acknowledge) : 0;
    if (acknowledge && !SendResp(datagram)) failed = 0xA0;
    if (failed != 0) {
        ReportInternalError(OP_RECEIVE, failed);
        return ReceiveOutcome::Failed;
    }
    return ReceiveOutcome::Handled;
}

int ReceiveBurst() {
    ChatAreasView* areas = g_platform.chat_areas;
    if (areas != nullptr) areas->HoldDrawing();
    int handled = 0;
    for (int read = 0; read < kMaxBurst && SocketExists(); ++read) {
        ReceiveOutcome outcome = ReceiveNext();
        if (outcome == ReceiveOutcome::Skipped) continue;
        if (outcome != ReceiveOutcome::Handled) break;
        ++handled;
    }
    if (areas != nullptr) areas->DrawHeld();
    return handled;
}

bool SendResp(uint8_t* datagram) {
    uint32_t destination = ReadAddress(datagram + kOffsetAddr);
    MakeResp(datagram, OwnAddress());
    // An acknowledgement goes to one sender only; with no sender address it
    // would fan out to the host address list.
    if (destination == 0 || !SendDatagram(datagram, kRespSize, destination, g_settings.Port_Number, false)) {
        ReportInternalError(OP_ACKNOWLEDGE, 0x10);
        return false;
    }
    return true;
}

void ShutdownNetwork() {
    if (!SocketExists()) return;
    if (g_transport.network_ready && g_network_hooks.ending != nullptr) g_network_hooks.ending();
    g_platform.socket->Close();
}
