#include <gtest/gtest.h>

#include "net/socket_send.h"
#include "platform/chat_areas_view.h"
#include "tests/net/net_fakes.h"

namespace {

const uint32_t kOwn = Ip(192, 168, 1, 7);
const uint32_t kPeer = Ip(192, 168, 1, 5);

int16_t KindOf(const FakeSocket::Sent& s) { return ReadKind(s.bytes.data(), static_cast<int>(s.bytes.size())); }

// --- Host identity and socket set-up ---------------------------------------

class SetUpTest : public NetFixture {};

TEST_F(SetUpTest, ResolvedHostNameGivesTheHostAddress) {
    host.addresses["pc1"] = {kOwn};
    std::strcpy(g_settings.Start_Send, "Yes");
    AddHostAddress(kPeer);
    ASSERT_TRUE(SocketSetUp());
    EXPECT_EQ(kOwn, g_transport.host_address);
    EXPECT_TRUE(socket.IsOpen());
    EXPECT_EQ(kPort, socket.bound_port);
    EXPECT_TRUE(views.boxes.empty());
    // The queued writable event starts the network, the system's own no more.
    ASSERT_EQ(1, socket.writable_queued);
    SocketEvent(2);
    SocketEvent(2);
    EXPECT_EQ(1u, socket.SentTo(kPeer).size());
}

TEST_F(SetUpTest, MissingHostNameFallsBackToComputerName) {
    host.host_name = "";
    host.last_error = 10014;
    host.addresses["PC1"] = {kOwn};
    ASSERT_TRUE(LookUpHostIdentity());
    ASSERT_EQ(1u, views.boxes.size());
    EXPECT_EQ("ホスト名の取得に失敗しました。(WSAEFAULT)", views.boxes[0].text);
    EXPECT_EQ("Mosswick - ホスト名の取得", views.boxes[0].title);
    EXPECT_EQ(BoxIcon::Warning, views.boxes[0].icon);
    EXPECT_EQ(kOwn, g_transport.host_address);

    views.boxes.clear();
    host.last_error = 10093;
    ASSERT_TRUE(LookUpHostIdentity());
    EXPECT_EQ("ホスト名の取得に失敗しました。(その他)", views.boxes.at(0).text);
}

TEST_F(SetUpTest, NoNameAtAllFailsSetUpAtStep10) {
    std::strcpy(g_settings.Debug, "Yes");
    host.host_name = "";
    host.computer_ok = false;
    EXPECT_FALSE(SocketSetUp());
    ASSERT_EQ(3u, views.boxes.size());
    EXPECT_EQ("ホスト名の取得に失敗しました。(GetComputerName)", views.boxes[1].text);
    EXPECT_EQ(BoxIcon::Error, views.boxes[1].icon);
    EXPECT_EQ(std::vector<std::string>{"0002:0010"}, views.Reports());
    EXPECT_FALSE(socket.IsOpen());
}

TEST_F(SetUpTest, UnresolvedNameUsesLoopback) {
    ASSERT_TRUE(LookUpHostIdentity());
    ASSERT_EQ(1u, views.boxes.size());
    EXPECT_EQ("ＩＰアドレスの取得に失敗しました。\nインターネット・ＬＡＮ等に接続されていない可能性があります。",
              views.boxes[0].text);
    EXPECT_EQ("Mosswick - ＩＰアドレス", views.boxes[0].title);
    EXPECT_EQ(BoxIcon::Warning, views.boxes[0].icon);
    EXPECT_EQ(Ip(127, 0, 0, 1), g_transport.host_address);
}

// Of several addresses, the one of the way to the first host-list address
// sent to, or with no host list of the default route; else the first.
TEST_F(SetUpTest, OfSeveralAddressesTheOneOfTheWayToThePeersIsTheOwn) {
    const uint32_t vpn = Ip(10, 77, 0, 1), wsl = Ip(172, 20, 0, 1), outside = Ip(192, 0, 2, 1);
    AddHostAddress(Ip(10, 0, 255, 1));  // not sent to
    AddHostAddress(kPeer);
    const std::vector<uint32_t> three = {vpn, kOwn, wsl};
    struct { int hosts; std::vector<uint32_t> resolved; std::map<uint32_t, uint32_t> ways; uint32_t own; } cases[] = {
        {2, three, {{kPeer, kOwn}, {outside, wsl}, {Ip(10, 0, 255, 1), vpn}}, kOwn},
        {2, three, {{kPeer, Ip(192, 168, 9, 9)}, {outside, wsl}}, vpn},  // none of the name's: the first
        {0, three, {{kPeer, kOwn}, {outside, wsl}}, wsl},
        {2, {vpn}, {{kPeer, kOwn}}, vpn},
    };
    for (const auto& c : cases) {
        g_settings.Number = c.hosts;
        host.addresses["pc1"] = c.resolved;
        host.sources = c.ways;
        ASSERT_TRUE(LookUpHostIdentity());
        EXPECT_EQ(c.own, g_transport.host_address);
        EXPECT_EQ(c.resolved, g_transport.own_addresses);
    }
}

TEST_F(SetUpTest, FailedStepsReportTheirCodes) {
    std::strcpy(g_settings.Debug, "Yes");
    host.addresses["pc1"] = {kOwn};
    socket.open_ok = false;
    EXPECT_FALSE(SocketSetUp());
    socket.open_ok = true;
    socket.broadcast_ok = false;
    EXPECT_FALSE(SocketSetUp());
    EXPECT_TRUE(socket.IsOpen());  // stays open, but hears nothing
    socket.broadcast_ok = true;
    socket.notify_ok = false;
    EXPECT_FALSE(SocketSetUp());
    EXPECT_EQ((std::vector<std::string>{"0002:0020", "0002:0030", "0002:0060"}), views.Reports());
}

TEST_F(SetUpTest, BindFailureShowsItsMessageAndLeavesNoSocket) {
    host.addresses["pc1"] = {kOwn};
    socket.bind_ok = false;
    EXPECT_TRUE(SocketSetUp());
    ASSERT_EQ(1u, views.boxes.size());
    EXPECT_EQ("初期化処理でエラーが発生しました。\n指定したポート番号は既に使用されている可能性があります。",
              views.boxes[0].text);
    EXPECT_EQ("Mosswick - 初期化処理エラー", views.boxes[0].title);
    EXPECT_EQ(BoxIcon::Error, views.boxes[0].icon);
    EXPECT_FALSE(socket.IsOpen());

    // No socket: sends succeed without sending, events do nothing.
    uint8_t end[16];
    BuildEndDatagram(end, kOwn, 1);
    EXPECT_TRUE(SendDatagram(end, 16, kPeer, kPort, false));
    SocketEvent(2);
    EXPECT_FALSE(g_transport.network_ready);
    socket.Deliver(HeaderOnly(KIND_CHAT, kPeer, 1, 1, 24), kPeer);
    SocketEvent(1);
    EXPECT_EQ(1u, socket.incoming.size());
    EXPECT_TRUE(socket.sent.empty());
}

// --- Network start and the start sequence ----------------------------------

class NetworkStartTest : public NetFixture {
protected:
    void SetUp() override {
        NetFixture::SetUp();
        socket.open = true;
        g_transport.host_address = kOwn;
    }
};

TEST_F(NetworkStartTest, FirstWritableEventStartsTheNetworkOnce) {
    SetDatagramCount(5);
    SocketEvent(2);
    EXPECT_TRUE(g_transport.network_ready);
    EXPECT_EQ(1000, CurrentDatagramCount());
    EXPECT_EQ(1000, MessageCounter());
    EXPECT_STREQ("受信可", OwnStatus());
    ASSERT_EQ(1, g_peer_table.count);
    EXPECT_EQ(kOwn, OwnAddress());
    EXPECT_STREQ("user1", g_peer_table.entries[0].from);
    EXPECT_FALSE(g_transport.started);  // Start_Send "No": nothing sent
    EXPECT_TRUE(socket.sent.empty());

    NextDatagramCount();
    NextMessageNumber();
    SetOwnStatus("会議中");
    SocketEvent(2);
    SocketEvent(32);
    EXPECT_EQ(1001, CurrentDatagramCount());
    EXPECT_EQ(1001, MessageCounter());
    EXPECT_STREQ("会議中", OwnStatus());
    EXPECT_EQ(1, g_peer_table.count);
}

TEST_F(NetworkStartTest, StartAnnouncementGoesToBroadcastAsCheckAndToTheHostList) {
    std::strcpy(g_settings.Start_Send, "Yes");
    std::strcpy(g_settings.Broadcast_LocalNetwork, "Yes");
    AddHostAddress(Ip(10, 0, 0, 2));
    AddHostAddress(Ip(10, 0, 255, 1));      // skipped
    AddHostAddress(Ip(255, 255, 255, 255)); // an entry that was not an address: skipped
    AddHostAddress(Ip(10, 0, 1, 255));      // a directed broadcast: sent to
    views.host_ip_box = "192.168.2.9";

    SocketEvent(2);
    EXPECT_TRUE(g_transport.started);
    ASSERT_EQ(4u, socket.sent.size());
    EXPECT_EQ(Ip(192, 168, 1, 255), socket.sent[0].address);
    EXPECT_EQ(KIND_CHECK, KindOf(socket.sent[0]));
    EXPECT_EQ(Ip(10, 0, 0, 2), socket.sent[1].address);
    EXPECT_EQ(Ip(10, 0, 1, 255), socket.sent[2].address);
    EXPECT_EQ(Ip(192, 168, 2, 9), socket.sent[3].address);
    for (size_t i = 1; i < 4; ++i) EXPECT_EQ(KIND_START, KindOf(socket.sent[i]));
    for (const auto& s : socket.sent) {
        EXPECT_EQ(kPort, s.port);
        ASSERT_EQ(68u, s.bytes.size());
        DatagramHeader h = ReadHeader(s.bytes.data(), 68);
        EXPECT_EQ(1000, h.allCount);  // the counter's current value, not advanced
        EXPECT_EQ(kOwn, h.addr);
        EXPECT_EQ(kOwn, ReadAddress(s.bytes.data() + 16));
    }
    EXPECT_EQ(1000, CurrentDatagramCount());
}

TEST_F(NetworkStartTest, StartCarriesTheAllCountOfTheDatagramBuiltJustBefore) {
    std::strcpy(g_settings.Start_Send, "Yes");
    AddHostAddress(Ip(10, 0, 0, 2));
    SocketEvent(2);
    uint16_t previous = NextDatagramCount();
    ASSERT_TRUE(StartSequence(StartMode::Command));
    ASSERT_EQ(2u, socket.sent.size());
    EXPECT_EQ(previous, ReadHeader(socket.sent[1].bytes.data(), 68).allCount);
}

TEST_F(NetworkStartTest, HostIpBoxAddressesThatAreNotSentTo) {
    std::strcpy(g_settings.Start_Send, "Yes");
    for (const char* text : {"", "127.0.0.1", "10.0.0.255", "0.0.0.0", "pc2", "255.255.255.255"}) {
        views.host_ip_box = text;
        EXPECT_TRUE(StartSequence(StartMode::Command)) << text;
    }
    EXPECT_TRUE(socket.sent.empty());
    views.host_ip_box = "10.0.0.31234567.8";  // only 15 characters are read: "10.0.0.31234567"
    EXPECT_TRUE(StartSequence(StartMode::Command));
    EXPECT_TRUE(socket.sent.empty());
    views.host_ip_box = "10.0.0.3";
    EXPECT_TRUE(StartSequence(StartMode::Command));
    ASSERT_EQ(1u, socket.sent.size());
    EXPECT_EQ(Ip(10, 0, 0, 3), socket.sent[0].address);
}

TEST_F(NetworkStartTest, NothingToSendToStillCountsAsSuccess) {
    std::strcpy(g_settings.Start_Send, "Yes");
    std::strcpy(g_settings.Debug, "Yes");
    SocketEvent(2);
    EXPECT_TRUE(g_transport.started);
    EXPECT_TRUE(socket.sent.empty());
    EXPECT_TRUE(views.boxes.empty());
}

TEST_F(NetworkStartTest, FailedAnnouncementsReportTheirSteps) {
    std::strcpy(g_settings.Start_Send, "Yes");
    std::strcpy(g_settings.Debug, "Yes");
    AddHostAddress(Ip(10, 0, 0, 2));
    socket.failing.insert(Ip(10, 0, 0, 2));
    SocketEvent(2);
    EXPECT_TRUE(g_transport.started);
    socket.failing = {Ip(10, 0, 0, 3)};
    views.host_ip_box = "10.0.0.3";
    EXPECT_FALSE(StartSequence(StartMode::Command));
    EXPECT_EQ((std::vector<std::string>{"0029:0030", "0029:0020"}), views.Reports());
}

// --- SendDatagram and SendRaw ----------------------------------------------

class SendTest : public NetFixture {
protected:
    uint8_t start[kOwnEntryDatagramSize];
    void SetUp() override {
        NetFixture::SetUp();
        StartWithOwnAddress(kOwn);
        UserEntry own = BuildOwnEntry(kOwn);
        BuildEntryDatagram(start, sizeof start, KIND_START, kOwn, 1000, &own, 1);
    }
};

TEST_F(SendTest, HostListResultIsThatOfTheLastSendAndFailuresDoNotStopIt) {
    AddHostAddress(Ip(10, 0, 0, 2));
    AddHostAddress(Ip(10, 0, 0, 3));
    AddHostAddress(Ip(10, 0, 0, 4));
    socket.failing = {Ip(10, 0, 0, 3)};
    EXPECT_TRUE(SendDatagram(start, 68, 0, kPort, false));
    ASSERT_EQ(2u, socket.sent.size());
    EXPECT_EQ(Ip(10, 0, 0, 4), socket.sent[1].address);

    socket.failing = {Ip(10, 0, 0, 4)};
    EXPECT_FALSE(SendDatagram(start, 68, 0, kPort, false));
    EXPECT_EQ(4u, socket.sent.size());
}

TEST_F(SendTest, BroadcastResultIsNotUsedAndKindIsRestored) {
    std::strcpy(g_settings.Broadcast_LocalNetwork, "Yes");
    socket.failing = {Ip(192, 168, 1, 255)};
    EXPECT_TRUE(SendDatagram(start, 68, 0, kPort, false));
    EXPECT_EQ(KIND_START, ReadKind(start, 68));
    socket.failing.clear();
    EXPECT_TRUE(SendDatagram(start, 68, 0, kPort, false));
    ASSERT_EQ(1u, socket.sent.size());
    EXPECT_EQ(KIND_CHECK, KindOf(socket.sent[0]));
    EXPECT_EQ(KIND_START, ReadKind(start, 68));
}

TEST_F(SendTest, UnicastFailureFailsAndNumberOfHostsIsClamped) {
    socket.failing = {kPeer};
    EXPECT_FALSE(SendDatagram(start, 68, kPeer, kPort, true));
    socket.failing.clear();
    g_settings.Number = 31;  // more than the list holds
    for (auto& a : g_settings.Address) a.address = Ip(10, 0, 0, 2);
    EXPECT_TRUE(SendDatagram(start, 68, 0, kPort, false));
    EXPECT_EQ(30u, socket.sent.size());
    g_settings.Number = -3;
    socket.sent.clear();
    EXPECT_TRUE(SendDatagram(start, 68, 0, kPort, false));
    EXPECT_TRUE(socket.sent.empty());
}

TEST_F(SendTest, ShortSendsAreRepeatedWithTheRest) {
    socket.max_per_send = 30;
    ASSERT_TRUE(SendRaw(start, 68, kPeer, kPort));
    ASSERT_EQ(3u, socket.sent.size());
    Bytes joined;
    for (const auto& s : socket.sent) joined.insert(joined.end(), s.bytes.begin(), s.bytes.end());
    EXPECT_EQ(Bytes(start, start + 68), joined);
}

// --- ReceiveDatagram ------------------------------------------------------

class ReceiveTest : public NetFixture {
protected:
    void SetUp() override {
        NetFixture::SetUp();
        StartWithOwnAddress(kOwn);
    }
    Bytes LastSent() { return socket.sent.empty() ? Bytes{} : socket.sent.back().bytes; }
};

TEST_F(ReceiveTest, AcknowledgementLayout) {
    uint8_t buf[kMessageBufferSize];
    int len = BuildChatDatagram(buf, kPeer, 0x1234, 1001, "hello", 5);
    socket.Deliver(Bytes(buf, buf + len), kPeer);
    ASSERT_TRUE(ReceiveDatagram());
    ASSERT_EQ(1u, socket.sent.size());
    EXPECT_EQ(kPeer, socket.sent[0].address);
    EXPECT_EQ(kPort, socket.sent[0].port);
    const Bytes expected = {'K', '0', '0', '1', 0, 25, 0,   7,   192, 168, 1,  7,  0,
                            5,   0x12, 0x34, 0, 0, 0x03, 0xE9, 'R', 'e', 's', 'p', 0};
    EXPECT_EQ(expected, socket.sent[0].bytes);
}

// The own announcement come back, from loopback or another own address.
TEST_F(ReceiveTest, StartFromLoopbackIsAcknowledgedButChangesNothing) {
    g_transport.own_addresses = {Ip(10, 77, 0, 1), kOwn};
    Bytes b = EntryDatagram(KIND_START, Ip(10, 9, 9, 9), {Entry(Ip(10, 9, 9, 9), "other")});
    for (uint32_t source : {Ip(127, 0, 0, 1), Ip(255, 0, 0, 3), Ip(10, 77, 0, 1)}) {
        socket.Deliver(b, source);
        ASSERT_TRUE(ReceiveDatagram());
        EXPECT_EQ(kOwn, socket.sent.back().address);
        EXPECT_EQ(KIND_RESP, KindOf(socket.sent.back()));
        // Bytes 16 to 19 carry the corrected address written into the entry.
        EXPECT_EQ(kOwn, ReadAddress(socket.sent.back().bytes.data() + 16));
    }
    EXPECT_EQ(1, g_peer_table.count);
    EXPECT_STREQ("user1", g_peer_table.entries[0].from);
}

TEST_F(ReceiveTest, SenderAddressCorrections) {
    struct Case {
        uint32_t source, addr_field, expected;
    } cases[] = {
        {Ip(10, 0, 0, 255), Ip(10, 0, 0, 8), Ip(10, 0, 0, 8)},     // .255 source: the addr field
        {Ip(127, 1, 0, 1), Ip(10, 0, 0, 8), Ip(127, 1, 0, 1)},     // not 127.0.0.x: kept
        {Ip(127, 0, 0, 1), Ip(10, 0, 0, 8), kOwn},                 // loopback: the own address
        {Ip(255, 0, 0, 255), Ip(10, 0, 0, 8), kOwn},
        {kPeer, Ip(10, 0, 0, 8), kPeer},                           // the source, not the field
    };
    for (const Case& c : cases) {
        socket.Deliver(HeaderOnly(9, c.addr_field, 0, 1), c.source);
        ASSERT_TRUE(ReceiveDatagram());
        EXPECT_EQ(c.expected, socket.sent.back().address);
    }
}

TEST_F(ReceiveTest, StartFromAPeerIsMergedWithTheCorrectedAddress) {
    Bytes b = EntryDatagram(KIND_START, Ip(1, 2, 3, 4), {Entry(Ip(1, 2, 3, 4), "user2")});
    socket.Deliver(b, kPeer);
    ASSERT_TRUE(ReceiveDatagram());
    ASSERT_EQ(2, g_peer_table.count);
    EXPECT_EQ(kPeer, g_peer_table.entries[1].addr);
    EXPECT_STREQ("user2", g_peer_table.entries[1].from);
}

// Counts the bursts the output area was told of.
struct BurstSpy : ChatAreasView {
    int holds = 0, draws = 0;
    bool AppendOutput(const char*, uint32_t) override { return true; }
    void HoldDrawing() override { ++holds; }
    void DrawHeld() override { ++draws; }
};

TEST_F(ReceiveTest, OneReadableEventReadsAWholeBurst) {
    BurstSpy spy;
    g_platform.chat_areas = &spy;
    for (int i = 0; i < 300; ++i) socket.Deliver(HeaderOnly(9, kPeer, 0, static_cast<uint16_t>(i)), kPeer);
    SocketEvent(1);
    EXPECT_EQ(256u, socket.sent.size());  // at most 256 per event, each acknowledged
    EXPECT_EQ(1, spy.holds);
    EXPECT_EQ(1, spy.draws);
    SocketEvent(1);
    EXPECT_EQ(300u, socket.sent.size());
    // An event that finds the socket empty is no failure.
    SocketEvent(1);
    EXPECT_EQ(300u, socket.sent.size());
    // A datagram too long for the buffer is refused and ends the burst; the
    // next event reads on.
    socket.Deliver(HeaderOnly(9, kPeer, 0, 301), kPeer);
    socket.Deliver(Bytes(kReceiveBufferSize + 1, 0), kPeer);
    socket.Deliver(HeaderOnly(9, kPeer, 0, 302), kPeer);
    std::strcpy(g_settings.Debug, "Yes");
    SocketEvent(1);
    EXPECT_EQ(301u, socket.sent.size());
    EXPECT_EQ(std::vector<std::string>{"001e:0010"}, views.Reports());
    SocketEvent(1);
    EXPECT_EQ(302u, socket.sent.size());
    socket.DeliverPeerGone();  // a peer that has gone: skipped unreported, the burst reads on
    socket.Deliver(HeaderOnly(9, kPeer, 0, 303), kPeer);
    SocketEvent(1);
    EXPECT_EQ(303u, socket.sent.size());
    EXPECT_EQ(std::vector<std::string>{"001e:0010"}, views.Reports());
    EXPECT_EQ(6, spy.holds);
    EXPECT_EQ(spy.holds, spy.draws);
}

// A datagram cut inside its addr field is still its real sender's: a check
// cut to 10 bytes is answered to the peer, and a departure cut so removes it.
TEST_F(ReceiveTest, ADatagramCutInsideItsAddressIsFromItsRealSender) {
    Bytes check = EntryDatagram(KIND_CHECK, kPeer, {Entry(kPeer, "user2")});
    check.resize(10);
    socket.Deliver(check, kPeer);
    ASSERT_TRUE(ReceiveDatagram());
    std::vector<uint32_t> to;
    for (const auto& sent : socket.sent) to.push_back(sent.address);
    EXPECT_EQ((std::vector<uint32_t>{kPeer, kPeer}), to);  // the reply and the acknowledgement
    EXPECT_EQ(KIND_USERLIST, KindOf(socket.sent[0]));

    socket.Deliver(EntryDatagram(KIND_START, kPeer, {Entry(kPeer, "user2")}), kPeer);
    ASSERT_TRUE(ReceiveDatagram());
    ASSERT_EQ(2, g_peer_table.count);
    Bytes end = HeaderOnly(KIND_END, kPeer, 0, 7);
    end.resize(10);
    socket.Deliver(end, kPeer);
    ASSERT_TRUE(ReceiveDatagram());
    EXPECT_EQ(1, g_peer_table.count);
}

TEST_F(ReceiveTest, UnknownKindsAreAcknowledgedAndRespIsNever) {
    for (int16_t kind : {int16_t{9}, int16_t{0}, int16_t{101}, int16_t{-1}}) {
        socket.sent.clear();
        socket.Deliver(HeaderOnly(kind, kPeer, 0, 77), kPeer);
        ASSERT_TRUE(ReceiveDatagram());
        ASSERT_EQ(1u, socket.sent.size()) << kind;
        EXPECT_EQ(KIND_RESP, KindOf(socket.sent[0]));
    }
    socket.sent.clear();
    Bytes resp = HeaderOnly(KIND_RESP, kPeer, 5, 77, 25);
    socket.Deliver(resp, kPeer);
    ASSERT_TRUE(ReceiveDatagram());
    EXPECT_TRUE(socket.sent.empty());
}

TEST_F(ReceiveTest, LargestTableIsAcceptedOneByteMoreIsRefused) {
    std::strcpy(g_settings.Debug, "Yes");
    std::vector<UserEntry> many;
    for (int i = 0; i < 30; ++i) many.push_back(Entry(Ip(10, 0, 1, static_cast<uint8_t>(i + 1)), "u"));
    Bytes b = EntryDatagram(KIND_USERLIST, kPeer, many);
    ASSERT_EQ(1576u, b.size());
    socket.Deliver(b, kPeer);
    ASSERT_TRUE(ReceiveDatagram());
    EXPECT_EQ(1u, socket.sent.size());
    EXPECT_EQ(30, g_peer_table.count);  // own entry and 29 of the 30 listed

    b.push_back(0);
    socket.Deliver(b, kPeer);
    EXPECT_FALSE(ReceiveDatagram());
    EXPECT_EQ(1u, socket.sent.size());  // no answer
    socket.Deliver(Bytes{}, kPeer);
    EXPECT_FALSE(ReceiveDatagram());
    EXPECT_EQ((std::vector<std::string>{"001e:0010", "001e:0010"}), views.Reports());
}

TEST_F(ReceiveTest, ListPromisingMoreEntriesThanReceivedReadsOnlyThoseReceived) {
    Bytes b = EntryDatagram(KIND_USERLIST, kPeer,
                            {Entry(Ip(10, 0, 0, 2), "a"), Entry(Ip(10, 0, 0, 3), "b")});
    WriteU16BE(b.data() + kOffsetNum, 30);
    b.resize(b.size() + 30);  // and part of a third
    socket.Deliver(b, kPeer);
    ASSERT_TRUE(ReceiveDatagram());
    EXPECT_EQ(3, g_peer_table.count);

    Bytes truncated = EntryDatagram(KIND_START, kPeer, {Entry(kPeer, "c")});
    truncated.resize(60);  // the entry does not lie wholly within
    socket.Deliver(truncated, Ip(10, 0, 0, 9));
    ASSERT_TRUE(ReceiveDatagram());
    EXPECT_EQ(3, g_peer_table.count);
    EXPECT_EQ(KIND_RESP, KindOf(socket.sent.back()));
}

TEST_F(ReceiveTest, PopupAndBoardGoToTheirWindowsWithTheBytesReceived) {
    uint8_t buf[kMessageBufferSize];
    int len = BuildPopupDatagram(buf, Ip(9, 9, 9, 9), 1, "yo", 2);
    socket.Deliver(Bytes(buf, buf + len), kPeer);
    ASSERT_TRUE(ReceiveDatagram());
    ASSERT_EQ(1u, views.popups.size());
    ASSERT_EQ(23u, views.popups[0].size());
    EXPECT_EQ(kPeer, ReadAddress(views.popups[0].data() + 8));  // already corrected

    uint8_t board[kBoardSize];
    BuildBoardDatagram(board, kPeer, 2, BoardStroke{});
    socket.Deliver(Bytes(board, board + 100), kPeer);
    ASSERT_TRUE(ReceiveDatagram());
    ASSERT_EQ(1u, views.boards.size());
    EXPECT_EQ(100u, views.boards[0].size());
    EXPECT_EQ(2u, socket.sent.size());
}

TEST_F(ReceiveTest, HandlerFailureIsReportedAndStillAcknowledged) {
    std::strcpy(g_settings.Debug, "Yes");
    views.popup_start = PopupStart::Failed;
    uint8_t buf[kMessageBufferSize];
    int len = BuildPopupDatagram(buf, kPeer, 1, "yo", 2);
    socket.Deliver(Bytes(buf, buf + len), kPeer);
    EXPECT_FALSE(ReceiveDatagram());
    EXPECT_EQ(1u, socket.sent.size());
    EXPECT_EQ(std::vector<std::string>{"001e:0060"}, views.Reports());
}

TEST_F(ReceiveTest, APopupPutOffIsNotAcknowledgedSoItComesAgain) {
    std::strcpy(g_settings.Debug, "Yes");
    views.popup_start = PopupStart::PutOff;
    uint8_t buf[kMessageBufferSize];
    int len = BuildPopupDatagram(buf, kPeer, 1, "yo", 2);
    socket.Deliver(Bytes(buf, buf + len), kPeer);
    EXPECT_TRUE(ReceiveDatagram());
    EXPECT_TRUE(socket.sent.empty());
    EXPECT_TRUE(views.Reports().empty());
    views.popup_start = PopupStart::Opened;
    socket.Deliver(Bytes(buf, buf + len), kPeer);
    EXPECT_TRUE(ReceiveDatagram());
    EXPECT_EQ(1u, socket.sent.size());
    EXPECT_EQ(2u, views.popups.size());
}

TEST_F(ReceiveTest, FailedAcknowledgementReportsTwice) {
    std::strcpy(g_settings.Debug, "Yes");
    socket.failing = {kPeer};
    socket.Deliver(HeaderOnly(KIND_CHAT, kPeer, 1, 3, 22), kPeer);
    EXPECT_FALSE(ReceiveDatagram());
    EXPECT_EQ((std::vector<std::string>{"0025:0010", "001e:00a0"}), views.Reports());
}

// An acknowledgement with no sender address would otherwise go to the whole
// host address list and the broadcast address.
TEST_F(ReceiveTest, AcknowledgementWithoutSenderAddressIsNotSent) {
    std::strcpy(g_settings.Broadcast_LocalNetwork, "Yes");
    AddHostAddress(Ip(10, 0, 0, 2));
    socket.Deliver(HeaderOnly(9, 0, 0, 3), Ip(10, 0, 0, 255));
    EXPECT_FALSE(ReceiveDatagram());
    EXPECT_TRUE(socket.sent.empty());
}

TEST_F(ReceiveTest, ShutdownAnnouncesOnceAndIsSafeTwice) {
    ShutdownNetwork();
    EXPECT_FALSE(socket.IsOpen());
    ShutdownNetwork();
    uint8_t end[16];
    BuildEndDatagram(end, kOwn, 1);
    EXPECT_TRUE(SendDatagram(end, 16, kPeer, kPort, false));
    EXPECT_TRUE(socket.sent.empty());
}

}  // namespace
