// Feeds arbitrary bytes through the receive path: the datagram as a peer
// might send it, from one of a few source addresses chosen by the first
// input byte. Debug is on and the log is open, so the dump of every received
// and sent datagram runs too. The readers of the datagram format also run on
// an exact-size copy of the bytes, so that a read past them is caught.
//
// A first byte with its top bit set starts a sequence instead: up to eight
// datagrams, each as one byte (source index; bit 0x40 runs a resend pass
// first, bit 0x20 a user check, bit 0x10 makes sends to the peer 10.0.0.3
// fail), a big-endian 16-bit length and the bytes.
// Sequences reach the states that only several datagrams build up: departures
// and returns, a check and its answers, kept datagrams and their
// acknowledgements.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "messaging/log_file.h"
#include "messaging/popup_message.h"
#include "net/counters.h"
#include "net/datagram.h"
#include "net/dump.h"
#include "net/peer_table.h"
#include "net/pending_acks.h"
#include "net/presence.h"
#include "net/transport.h"
#include "fuzz/fuzz_socket.h"
#include "platform/local_clock.h"
#include "settings/settings.h"
#include "platform/platform.h"
#include "platform/views.h"
#include "shell/core_wiring.h"
#include "tests/common/core_probes.h"

namespace {

constexpr size_t kMaxInput = 4096;

// Touches every byte it is given, so that the sanitizer sees each read.
volatile unsigned g_sink = 0;
void Touch(const uint8_t* data, int length) {
    unsigned sum = 0;
    for (int i = 0; i < length; ++i) sum += data[i];
    g_sink = g_sink + sum;
}

class FuzzSocket : public FuzzSocketBase {
public:
    std::vector<uint8_t> pending;
    bool has_pending = false;
    uint32_t from = 0;
    uint32_t failing = 0;  // sends to this address fail

    int SendTo(const uint8_t* data, int length, uint32_t address, int) override {
        Touch(data, length);
        return address == failing ? -1 : length;
    }
    int ReceiveFrom(uint8_t* buf, int capacity, uint32_t* source) override {
        if (!has_pending) return -1;
        has_pending = false;
        if (pending.size() > static_cast<size_t>(capacity)) return -1;
        if (!pending.empty()) std::memcpy(buf, pending.data(), pending.size());
        *source = from;
        return static_cast<int>(pending.size());
    }
};

class FuzzViews : public MessageBoxes, public UserAreaView, public PopupView, public BoardView {
public:
    // The user area: {name, status, address} per row. A row index the core
    // passes must be one that FindUserRow gave.
    struct Row {
        std::string cells[3];
    };
    std::vector<Row> rows;

    int FindUserRow(int column, const char* text) override {
        if (column < 0 || column > 2) std::abort();
        for (int i = static_cast<int>(rows.size()) - 1; i >= 0; --i)
            if (rows[static_cast<size_t>(i)].cells[column] == text) return i;
        return -1;
    }
    void AddUserRow(const char* name, const char* status, const char* address) override {
        rows.push_back({{name, status, address}});
    }
    void SetUserRow(int row, const char* name, const char* status, const char* address) override {
        if (row < 0 || row >= static_cast<int>(rows.size())) std::abort();
        Row& r = rows[static_cast<size_t>(row)];
        r.cells[0] = name;
        r.cells[1] = status;
        if (address != nullptr) r.cells[2] = address;
    }
    void DeleteUserRow(int row) override {
        if (row < 0 || row >= static_cast<int>(rows.size())) std::abort();
        rows.erase(rows.begin() + row);
    }
    void DeleteAllUserRows() override { rows.clear(); }

    void ShowMessage(const char* text, const char* title, BoxIcon) override {
        g_sink = g_sink + static_cast<unsigned>(std::strlen(text) + std::strlen(title));
    }
    bool AskYesNo(const char*, const char*) override { return true; }
    void DeliverBoardData(const uint8_t* datagram, int length) override {
        Touch(datagram, length);
        BoardStroke stroke = ReadBoardDatagram(datagram, length);
        g_sink = g_sink + stroke.count;
    }
    PopupStart StartPopupWindow(const uint8_t* datagram, int length) override {
        Touch(datagram, length);
        // What a popup window keeps and shows, bounded as the window bounds it.
        auto record = MakePopupRecord(datagram, length);
        LookUpPopupSender(record.get());
        return static_cast<PopupStart>(PopupText(*record).size() % 3);
    }
};

class FixedClock : public LocalClock {
public:
    LocalTime Now() override { return LocalTime{2024, 3, 14, 9, 5, 0}; }
};

FuzzSocket g_socket;
FuzzViews g_views;
FixedClock g_clock;
std::string g_log_path;
PeerTable g_table_at_start;
std::vector<FuzzViews::Row> g_rows_at_start;
long g_runs = 0;

uint32_t Ip(uint8_t a, uint8_t b, uint8_t c, uint8_t d) { return MakeAddress(a, b, c, d); }

void OpenLog() {
    std::remove(g_log_path.c_str());
    SwitchLogging(true, g_log_path.c_str());
}

// One-time state: Debug on, log open, network started with the own entry and
// two peers in the table.
void SetUpOnce() {
    char dir[] = "/tmp/mosswick-fuzz-XXXXXX";
    if (mkdtemp(dir) == nullptr) std::abort();
    g_log_path = std::string(dir) + "/Mosslog.txt";

    std::strcpy(g_settings.Name, "user1");
    std::strcpy(g_settings.Debug, "Yes");
    std::strcpy(g_settings.Broadcast_LocalNetwork, "Yes");
    std::strcpy(g_settings.Start_Send, "Yes");
    g_settings.Port_Number = 55700;
    g_settings.Number = 2;
    g_settings.Address[0].address = Ip(10, 0, 0, 2);
    g_settings.Address[1].address = Ip(10, 0, 1, 255);
    g_platform.socket = &g_socket;
    InstallViews(&g_views);
    ConnectSubsystems();
    g_platform.debug = g_settings.Debug;
    g_platform.clock = &g_clock;
    g_transport.host_address = Ip(10, 0, 0, 7);
    OpenLog();
    SocketEvent(2);  // network start: the own entry goes in

    UserEntry peers[2];
    peers[0].addr = Ip(10, 0, 0, 2);
    std::strcpy(peers[0].from, "user2");
    peers[0].cnt = 1001;
    peers[1].addr = Ip(10, 0, 0, 3);
    std::strcpy(peers[1].from, "user3");
    uint8_t list[kHeaderSize + 2 * kUserEntrySize];
    int len = BuildEntryDatagram(list, sizeof list, KIND_USERLIST, peers[0].addr, 1, peers, 2);
    TakeEntries(list, len);
    g_table_at_start = g_peer_table;
    g_rows_at_start = g_views.rows;
}

const uint32_t kSources[] = {
    MakeAddress(127, 0, 0, 1), MakeAddress(255, 0, 0, 3), MakeAddress(10, 0, 0, 255),
    MakeAddress(10, 0, 0, 2),  MakeAddress(10, 0, 0, 7),  MakeAddress(0, 0, 0, 0),
    MakeAddress(127, 1, 0, 1), MakeAddress(192, 168, 9, 9),
};

// The format's readers on exactly the bytes given.
void ReadEverything(const std::vector<uint8_t>& bytes) {
    const uint8_t* d = bytes.data();
    int n = static_cast<int>(bytes.size());
    DatagramHeader h = ReadHeader(d, n);
    g_sink = g_sink + h.len + h.num + static_cast<unsigned>(MessageText(d, n).size()) +
             static_cast<unsigned>(ChatMessageNumber(d, n)) + ReadBoardDatagram(d, n).count;
    for (int i = 0; i < ReceivedEntryCount(d, n); ++i) {
        UserEntry e;
        if (ReadReceivedEntry(d, n, i, &e))
            g_sink = g_sink + static_cast<unsigned>(std::strlen(e.from) + std::strlen(e.cond));
    }
    DumpContext context;
    for (DumpDirection direction : {DumpDirection::Received, DumpDirection::Sent})
        for (const std::string& text : DumpTexts(direction, d, n, 0x0100000A, context))
            g_sink = g_sink + static_cast<unsigned>(text.size());
}

// One datagram from source `selector`, exactly as many bytes as given: a
// read past them is caught.
void Receive(uint8_t selector, const std::vector<uint8_t>& bytes) {
    ReadEverything(bytes);
    PeerEntry own_before = g_peer_table.entries[0];
    int count_before = g_peer_table.count;
    g_socket.from = kSources[selector % (sizeof kSources / sizeof kSources[0])];
    g_socket.pending = bytes;
    g_socket.has_pending = true;
    SocketEvent(1);
    // Only a departure shrinks the table, and it never takes the own entry:
    // the entry after it must not have moved up into its place.
    if (g_peer_table.count < count_before &&
        std::memcmp(&g_peer_table.entries[0], &own_before, sizeof own_before) != 0)
        std::abort();
}

void RunSequence(const uint8_t* data, size_t size) {
    constexpr int kMaxSteps = 8;
    size_t at = 0;
    for (int step = 0; step < kMaxSteps && at + 3 <= size; ++step) {
        uint8_t selector = data[at];
        size_t length = std::min<size_t>(ReadU16BE(data + at + 1), size - at - 3);
        at += 3;
        g_socket.failing = (selector & 0x10) ? Ip(10, 0, 0, 3) : 0;
        if (selector & 0x40) ResendPass();
        if (selector & 0x20) UserCheck();
        Receive(selector, std::vector<uint8_t>(data + at, data + at + length));
        at += length;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = (SetUpOnce(), true);
    (void)ready;
    if (size == 0 || size > kMaxInput) return 0;

    // A fresh table, rows, pending-ack list and counters each run, and a log
    // that does not grow without end.
    g_peer_table = g_table_at_start;
    g_views.rows = g_rows_at_start;
    PendingClear();
    ResetCountersForNetworkStart();
    if (++g_runs % 2000 == 0) {
        SwitchLogging(false, g_log_path.c_str());
        OpenLog();
    }

    g_socket.failing = 0;
    if (data[0] & 0x80)
        RunSequence(data + 1, size - 1);
    else
        Receive(data[0], std::vector<uint8_t>(data + 1, data + size));

    // The table keeps its invariants whatever arrived: at most 30 entries, the
    // own entry still first, no entry without an address, texts ended within
    // their fields, and every slot from the count on all zero.
    if (g_peer_table.count < 1 || g_peer_table.count > kMaxPeers) std::abort();
    if (OwnAddress() == 0) std::abort();
    static const PeerEntry kZero{};
    for (int i = 0; i <= kMaxPeers; ++i) {
        const PeerEntry& e = g_peer_table.entries[i];
        if (std::memchr(e.from, 0, sizeof e.from) == nullptr) std::abort();
        if (std::memchr(e.cond, 0, sizeof e.cond) == nullptr) std::abort();
        if (i < g_peer_table.count && e.addr == 0) std::abort();
        if (i >= g_peer_table.count && std::memcmp(&e, &kZero, sizeof e) != 0) std::abort();
    }
    if (PendingCount() < 0 || PendingCount() > kMaxPendingAcks) std::abort();
    return 0;
}
