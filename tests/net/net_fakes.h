// Recording fakes of the platform parts the network core uses, and a fixture
// that puts the core's process-wide state back to a fresh start around each test.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "messaging/log_file.h"
#include "net/counters.h"
#include "net/datagram.h"
#include "platform/inet_address.h"
#include "net/peer_table.h"
#include "net/pending_acks.h"
#include "net/presence.h"
#include "net/transport.h"
#include "platform/binary_semaphore.h"
#include "platform/datagram_socket.h"
#include "platform/host_identity.h"
#include "platform/local_clock.h"
#include "settings/settings.h"
#include "platform/error_report.h"
#include "platform/platform.h"
#include "platform/views.h"
#include "settings/window_modes.h"
#include "shell/core_wiring.h"
#include "tests/common/core_probes.h"

using Bytes = std::vector<uint8_t>;

inline uint32_t Ip(uint8_t a, uint8_t b, uint8_t c, uint8_t d) { return MakeAddress(a, b, c, d); }

class FakeSocket : public DatagramSocket {
public:
    struct Sent {
        Bytes bytes;
        uint32_t address;
        int port;
    };
    struct Incoming {
        Bytes bytes;
        uint32_t from;
        bool peer_gone = false;  // the system's word of an unreachable port, not a datagram
    };

    bool open_ok = true, broadcast_ok = true, notify_ok = true, bind_ok = true;
    bool open = false;
    int bound_port = -1;
    int writable_queued = 0;  // QueueWritableEvent calls
    int max_per_send = 0;  // 0: whole datagram per call
    std::set<uint32_t> failing;
    std::vector<Sent> sent;
    std::deque<Incoming> incoming;
    mutable std::mutex sending;  // a popup window's thread sends too

    bool Open() override { return open = open_ok; }
    bool EnableBroadcast() override { return broadcast_ok; }
    bool RequestNotifications() override { return notify_ok; }
    bool Bind(int port) override {
        bound_port = port;
        return bind_ok;
    }
    void QueueWritableEvent() override { ++writable_queued; }
    void Close() override { open = false; }
    bool IsOpen() const override { return open; }
    int SendTo(const uint8_t* data, int length, uint32_t address, int port) override {
        std::lock_guard<std::mutex> hold(sending);
        if (failing.count(address)) return -1;
        int n = max_per_send > 0 && length > max_per_send ? max_per_send : length;
        sent.push_back({Bytes(data, data + n), address, port});
        return n;
    }
    int ReceiveFrom(uint8_t* buf, int capacity, uint32_t* from) override {
        if (incoming.empty()) return kNothingWaiting;
        Incoming in = incoming.front();
        incoming.pop_front();
        if (in.peer_gone) return kPeerGone;
        if (static_cast<int>(in.bytes.size()) > capacity) return -1;  // discarded, as recvfrom does
        if (!in.bytes.empty()) std::memcpy(buf, in.bytes.data(), in.bytes.size());
        *from = in.from;
        return static_cast<int>(in.bytes.size());
    }

    void Deliver(const Bytes& bytes, uint32_t from) { incoming.push_back({bytes, from}); }
    void DeliverPeerGone() { incoming.push_back({Bytes{}, 0, true}); }

    // The datagrams sent to `address`.
    std::vector<Bytes> SentTo(uint32_t address) const {
        std::lock_guard<std::mutex> hold(sending);
        std::vector<Bytes> out;
        for (const Sent& s : sent)
            if (s.address == address) out.push_back(s.bytes);
        return out;
    }
};

class FakeHost : public HostIdentity {
public:
    std::string host_name = "pc1";
    int last_error = 0;
    bool computer_ok = true;
    std::string computer_name = "PC1";
    std::map<std::string, std::vector<uint32_t>> addresses;
    std::map<uint32_t, uint32_t> sources;  // destination: the local address the way there leaves from

    std::string HostName() override { return host_name; }
    int LastSocketError() override { return last_error; }
    bool ComputerName(std::string* name) override {
        if (computer_ok) *name = computer_name;
        return computer_ok;
    }
    bool Resolve(const std::string& name, std::vector<uint32_t>* found) override {
        auto it = addresses.find(name);
        if (it == addresses.end()) return false;
        *found = it->second;
        return true;
    }
    bool SourceAddressToward(uint32_t destination, uint32_t* local) override {
        return sources.count(destination) != 0 && (*local = sources.at(destination), true);
    }
    std::string LoginName(size_t) override { return "user"; }
};

class FakeClock : public LocalClock {
public:
    LocalTime now{2024, 3, 14, 9, 5, 0};
    LocalTime Now() override { return now; }
};

class FakeViews : public MessageBoxes,
                  public BarsView,
                  public UserAreaView,
                  public PopupView,
                  public BoardView {
public:
    struct Box {
        std::string text, title;
        BoxIcon icon;
    };
    std::vector<Box> boxes;
    std::vector<Bytes> popups;
    std::vector<Bytes> boards;
    PopupStart popup_start = PopupStart::Opened;

    // The user area as rows of {name, status, dotted address}.
    struct Row {
        std::string name, status, address;
        bool operator==(const Row&) const = default;
    };
    std::vector<Row> rows;
    int fits = 0;           // FitUserColumns calls
    int address_fits = 0;   // ... that fitted column 2 too
    std::vector<StartEndState> start_end;
    std::string host_ip_box;  // what the toolbar's host IP box holds

    int FindUserRow(int column, const char* text) override {
        for (int i = static_cast<int>(rows.size()) - 1; i >= 0; --i) {
            const Row& r = rows[static_cast<size_t>(i)];
            const std::string& cell = column == 0 ? r.name : column == 1 ? r.status : r.address;
            if (cell == text) return i;
        }
        return -1;
    }
    void AddUserRow(const char* name, const char* status, const char* address) override {
        rows.push_back({name, status, address});
    }
    void SetUserRow(int row, const char* name, const char* status, const char* address) override {
        Row& r = rows.at(static_cast<size_t>(row));
        r.name = name;
        r.status = status;
        if (address != nullptr) r.address = address;
    }
    void DeleteUserRow(int row) override { rows.erase(rows.begin() + row); }
    void DeleteAllUserRows() override { rows.clear(); }
    void FitUserColumns(bool address_too) override {
        ++fits;
        if (address_too) ++address_fits;
    }
    void ShowStartEndState(StartEndState state) override { start_end.push_back(state); }
    std::string HostIpBoxText() override { return host_ip_box; }

    void ShowMessage(const char* text, const char* title, BoxIcon icon) override {
        boxes.push_back({text, title, icon});
    }
    bool AskYesNo(const char*, const char*) override { return true; }
    void SetStatusPart(int, const char*) override {}
    void DeliverBoardData(const uint8_t* datagram, int length) override {
        boards.emplace_back(datagram, datagram + length);
    }
    PopupStart StartPopupWindow(const uint8_t* datagram, int length) override {
        popups.emplace_back(datagram, datagram + length);
        return popup_start;
    }

    // The internal-error reports shown, as "oooo:ssss".
    std::vector<std::string> Reports() const {
        std::vector<std::string> out;
        for (const Box& b : boxes) {
            unsigned op = 0, zero = 0, step = 0;
            const char* at = std::strstr(b.text.c_str(), "= ");
            if (at && std::sscanf(at, "= %x : %x : %x", &op, &zero, &step) == 3) {
                char code[16];
                std::snprintf(code, sizeof code, "%04x:%04x", op, step);
                out.push_back(code);
            }
        }
        return out;
    }
};

// Fresh process-wide state for each test: settings, flags, platform parts,
// transport, peer table, counters and the log.
class NetFixture : public ::testing::Test {
protected:
    FakeSocket socket;
    FakeHost host;
    FakeClock clock;
    FakeViews views;

    static constexpr int kPort = 55700;

    void SetUp() override {
        g_settings = Settings{};
        g_settings.Port_Number = kPort;
        std::strcpy(g_settings.Name, "user1");
        std::strcpy(g_settings.Debug, "No");
        std::strcpy(g_settings.Broadcast_LocalNetwork, "No");
        std::strcpy(g_settings.Start_Send, "No");
        ResetWindowModes();
        g_platform = Platform{};
        g_platform.socket = &socket;
        g_platform.host = &host;
        g_platform.clock = &clock;
        InstallViews(&views);
        ConnectSubsystems();
        g_platform.debug = g_settings.Debug;
        g_transport = TransportState{};
        ResetPeerTable();
        PendingClear();
        SetOwnStatus("");
        SetDatagramCount(0);
        SetMessageCounter(0);
        SwitchLogging(false, nullptr);
    }

    void TearDown() override {
        SwitchLogging(false, nullptr);
        PendingClear();
        g_platform = Platform{};
        ResetWindowModes();
    }

    // An open socket and the own entry at `own` (the network started).
    void StartWithOwnAddress(uint32_t own) {
        socket.open = true;
        g_transport.host_address = own;
        ResetCountersForNetworkStart();
        SetOwnStatus("受信可");
        g_transport.network_ready = true;
        UserEntry entry = BuildOwnEntry(own);
        uint8_t dg[kOwnEntryDatagramSize];
        int len = BuildEntryDatagram(dg, sizeof dg, KIND_START, own, 0, &entry, 1);
        TakeEntries(dg, len);
    }

    void AddHostAddress(uint32_t address) { g_settings.Address[g_settings.Number++].address = address; }
};

// A binary semaphore that notes each wait and release in a shared journal,
// as "<name>+" and "<name>-".
class JournalSemaphore : public BinarySemaphore {
public:
    JournalSemaphore(const char* name, std::vector<std::string>* journal) : name_(name), journal_(journal) {}
    void Wait() override { journal_->push_back(name_ + "+"); }
    void Release() override { journal_->push_back(name_ + "-"); }

private:
    std::string name_;
    std::vector<std::string>* journal_;
};

// A datagram of `length` bytes with a header of the given kind.
inline Bytes HeaderOnly(int16_t kind, uint32_t addr, uint16_t num, uint16_t allCount, int length = 16) {
    Bytes b(static_cast<size_t>(length), 0);
    WriteHeader(b.data(), static_cast<uint16_t>(length), kind, addr, num, allCount);
    return b;
}

inline UserEntry Entry(uint32_t addr, const char* name, const char* status = "受信可", int16_t cnt = 1000) {
    UserEntry e;
    e.addr = addr;
    std::strncpy(e.from, name, sizeof e.from);
    std::strncpy(e.cond, status, sizeof e.cond);
    e.cnt = cnt;
    return e;
}

inline FakeViews::Row RowOf(const char* name, const char* status, uint32_t address) {
    return {name, status, FormatDottedAddress(address)};
}

// The acknowledgement a peer at `from` sends for `datagram`.
inline Bytes RespFor(const Bytes& datagram, uint32_t from) {
    Bytes resp = datagram;
    resp.resize(std::max<size_t>(resp.size(), kRespSize));
    MakeResp(resp.data(), from);
    resp.resize(kRespSize);
    return resp;
}

inline Bytes EntryDatagram(int16_t kind, uint32_t addr, const std::vector<UserEntry>& entries,
                           uint16_t allCount = 2000) {
    Bytes b(kMaxDatagramSize, 0);
    int len = BuildEntryDatagram(b.data(), static_cast<int>(b.size()), kind, addr, allCount,
                                 entries.data(), static_cast<int>(entries.size()));
    b.resize(static_cast<size_t>(len));
    return b;
}
