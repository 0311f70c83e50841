#include <gtest/gtest.h>

#include "tests/net/net_fakes.h"

namespace {

const uint32_t kOwn = Ip(192, 168, 1, 7);
const uint32_t kPeer = Ip(192, 168, 1, 5);
const uint32_t kPeer2 = Ip(192, 168, 1, 6);

int16_t KindOf(const Bytes& b) { return ReadKind(b.data(), static_cast<int>(b.size())); }

std::vector<FakeViews::Row> OwnRowOnly() { return {RowOf("user1", "受信可", kOwn)}; }

// Before network start: an open socket and the host address only.
class PresenceStartTest : public NetFixture {
protected:
    void SetUp() override {
        NetFixture::SetUp();
        socket.open = true;
        g_transport.host_address = kOwn;
    }

    void Receive(const Bytes& datagram, uint32_t from) {
        socket.Deliver(datagram, from);
        ReceiveDatagram();
    }

    void Merge(const std::vector<UserEntry>& entries) {
        Bytes list = EntryDatagram(KIND_USERLIST, kPeer, entries);
        ASSERT_TRUE(TakeEntries(list.data(), static_cast<int>(list.size())));
    }

    // The own entry and peers 10.0.0.1 .. 10.0.0.n.
    void FillWithPeers(int n) {
        std::vector<UserEntry> peers;
        for (int i = 1; i <= n; ++i)
            peers.push_back(Entry(Ip(10, 0, 0, static_cast<uint8_t>(i)), ("u" + std::to_string(i)).c_str()));
        Merge(peers);
    }

    void ExpectTableAddresses(const std::vector<uint32_t>& addresses) {
        ASSERT_EQ(static_cast<int>(addresses.size()), g_peer_table.count);
        for (size_t i = 0; i < addresses.size(); ++i) EXPECT_EQ(addresses[i], g_peer_table.entries[i].addr) << i;
        for (int i = g_peer_table.count; i <= kMaxPeers; ++i) EXPECT_EQ(0u, g_peer_table.entries[i].addr) << i;
    }
};

// The network started: the own entry and its row.
class PresenceTest : public PresenceStartTest {
protected:
    void SetUp() override {
        PresenceStartTest::SetUp();
        StartWithOwnAddress(kOwn);
    }
};

// --- Start sequence ---------------------------------------------------------

TEST_F(PresenceStartTest, NetworkStartShowsTheOwnRowAndTheStartEndState) {
    SocketEvent(2);  // Start_Send "No"
    EXPECT_EQ(OwnRowOnly(), views.rows);
    EXPECT_EQ(std::vector<StartEndState>{StartEndState::Ended}, views.start_end);
    EXPECT_FALSE(g_transport.started);
    EXPECT_TRUE(socket.sent.empty());

    // The Start command announces only; the buttons are the command's.
    ASSERT_TRUE(StartSequence(StartMode::Command));
    EXPECT_EQ(1u, views.start_end.size());
    EXPECT_EQ(1u, views.rows.size());
    EXPECT_EQ(1, g_peer_table.count);
}

TEST_F(PresenceStartTest, NetworkStartWithStartSendShowsStarted) {
    std::strcpy(g_settings.Start_Send, "Yes");
    SocketEvent(2);
    EXPECT_EQ(std::vector<StartEndState>{StartEndState::Started}, views.start_end);
    EXPECT_TRUE(g_transport.started);
    EXPECT_EQ(OwnRowOnly(), views.rows);
}

TEST_F(PresenceStartTest, DatagramsBeforeNetworkStartAreDroppedUnanswered) {
    socket.Deliver(EntryDatagram(KIND_START, kPeer, {Entry(kPeer, "user2")}), kPeer);
    socket.Deliver(EntryDatagram(KIND_USERLIST, kPeer, {Entry(kPeer2, "user3")}), kPeer);
    SocketEvent(1);
    SocketEvent(1);
    EXPECT_TRUE(socket.incoming.empty());  // read all the same
    EXPECT_TRUE(socket.sent.empty());
    EXPECT_EQ(0, g_peer_table.count);
    EXPECT_TRUE(views.rows.empty());

    SocketEvent(2);
    Receive(EntryDatagram(KIND_USERLIST, kPeer, {Entry(kPeer2, "user3")}), kPeer);
    ExpectTableAddresses({kOwn, kPeer2});
}

// A user check chosen before network start must not leave a row behind for
// the own entry that is not there yet: network start adds the own row.
TEST_F(PresenceStartTest, UserCheckBeforeNetworkStartLeavesTheUserAreaEmpty) {
    EXPECT_TRUE(UserCheck());
    EXPECT_TRUE(views.rows.empty());
    EXPECT_EQ(0, g_peer_table.count);
    SocketEvent(2);
    EXPECT_EQ(OwnRowOnly(), views.rows);
}

// --- Merging ----------------------------------------------------------------

TEST_F(PresenceTest, ListNamingThisUserElsewhereReplacesTheOwnEntry) {
    const uint32_t kSecondInterface = Ip(10, 1, 1, 7);
    Merge({Entry(kPeer, "user2")});
    Receive(EntryDatagram(KIND_USERLIST, kPeer, {Entry(kPeer, "user2"), Entry(kSecondInterface, "user1", "会議中", 1234)}),
            kPeer);
    ExpectTableAddresses({kSecondInterface, kPeer});
    EXPECT_EQ(kSecondInterface, OwnAddress());
    EXPECT_EQ(1234, MessageCounter());
    EXPECT_EQ(1235, NextMessageNumber());  // the next chat message continues from it
    EXPECT_EQ((std::vector<FakeViews::Row>{RowOf("user1", "会議中", kSecondInterface), RowOf("user2", "受信可", kPeer)}),
              views.rows);
}

TEST_F(PresenceTest, StartFromAKnownUserUpdatesInPlaceAndGetsTheWholeTable) {
    Merge({Entry(kPeer, "user2"), Entry(kPeer2, "user3")});
    socket.sent.clear();
    Receive(EntryDatagram(KIND_START, kPeer, {Entry(kPeer, "user2b", "外出中", 1500)}), kPeer);
    ExpectTableAddresses({kOwn, kPeer, kPeer2});
    EXPECT_EQ(1500, g_peer_table.entries[1].cnt);
    EXPECT_EQ((std::vector<FakeViews::Row>{RowOf("user1", "受信可", kOwn), RowOf("user2b", "外出中", kPeer),
                                           RowOf("user3", "受信可", kPeer2)}),
              views.rows);

    // The whole table to each peer, then the acknowledgement.
    ASSERT_EQ(3u, socket.sent.size());
    EXPECT_EQ(kPeer, socket.sent[0].address);
    EXPECT_EQ(kPeer2, socket.sent[1].address);
    const Bytes& table = socket.sent[0].bytes;
    ASSERT_EQ(16u + 3 * 52, table.size());
    EXPECT_EQ(KIND_USERLIST, KindOf(table));
    EXPECT_EQ(3, ReadHeader(table.data(), 16).num);
    EXPECT_EQ(kOwn, ReadAddress(table.data() + 16));
    EXPECT_EQ(1500, ReadU16BE(table.data() + 16 + 52 + kEntryOffsetCnt));  // network order again
    EXPECT_EQ(table, socket.sent[1].bytes);
    EXPECT_EQ(KIND_RESP, KindOf(socket.sent[2].bytes));
    EXPECT_EQ(0, PendingCount());  // not kept
}

TEST_F(PresenceTest, NearlyFullTableTakesOneOfThreeNewUsers) {
    FillWithPeers(28);
    ASSERT_EQ(29, g_peer_table.count);
    Receive(EntryDatagram(KIND_USERLIST, kPeer, {Entry(Ip(10, 0, 1, 1), "new1"), Entry(Ip(10, 0, 1, 2), "new2"),
                                                 Entry(Ip(10, 0, 0, 3), "u3x"), Entry(Ip(10, 0, 1, 3), "new3")}),
            kPeer);
    EXPECT_EQ(30, g_peer_table.count);
    EXPECT_EQ(Ip(10, 0, 1, 1), g_peer_table.entries[29].addr);
    EXPECT_EQ(30u, views.rows.size());
    EXPECT_EQ(RowOf("new1", "受信可", Ip(10, 0, 1, 1)), views.rows.back());
    EXPECT_STREQ("u3x", g_peer_table.entries[3].from);  // a known user is still updated
    EXPECT_EQ(0u, g_peer_table.entries[kMaxPeers].addr);
}

TEST_F(PresenceTest, FullTableMergesNothingButStillAnswersWithTheWholeTable) {
    FillWithPeers(29);
    ASSERT_EQ(30, g_peer_table.count);
    socket.sent.clear();
    const uint32_t kNew = Ip(10, 0, 2, 1);
    Receive(EntryDatagram(KIND_START, kNew, {Entry(kNew, "late")}, 4321), kNew);
    EXPECT_EQ(30, g_peer_table.count);
    EXPECT_EQ(30u, views.rows.size());
    EXPECT_EQ(-1, FindPeerByAddress(kNew));

    ASSERT_EQ(30u, socket.sent.size());  // 29 peers, then the acknowledgement
    for (int i = 0; i < 29; ++i) {
        EXPECT_EQ(Ip(10, 0, 0, static_cast<uint8_t>(i + 1)), socket.sent[static_cast<size_t>(i)].address);
        EXPECT_EQ(size_t{kMaxDatagramSize}, socket.sent[static_cast<size_t>(i)].bytes.size());
    }
    EXPECT_EQ(kNew, socket.sent.back().address);
    EXPECT_EQ(KIND_RESP, KindOf(socket.sent.back().bytes));
    EXPECT_EQ(4321, ReadHeader(socket.sent.back().bytes.data(), 25).allCount);
}

// An entry with address 0 would make every later send "to each peer" fan out
// to the host address list and the broadcast address.
TEST_F(PresenceTest, EntryWithoutAddressIsNotMerged) {
    AddHostAddress(Ip(10, 9, 9, 9));
    Merge({Entry(0, "ghost"), Entry(kPeer, "user2")});
    ExpectTableAddresses({kOwn, kPeer});
    socket.sent.clear();
    EndAnnouncement();
    ASSERT_EQ(1u, socket.sent.size());
    EXPECT_EQ(kPeer, socket.sent[0].address);
}

// --- Departures and status changes -------------------------------------------

TEST_F(PresenceTest, EndRemovesTheSenderAndItsRowButNeverTheOwnEntry) {
    Merge({Entry(kPeer, "user2"), Entry(kPeer2, "user3")});
    Receive(HeaderOnly(KIND_END, kOwn, 1, 9), Ip(127, 0, 0, 1));
    Receive(HeaderOnly(KIND_END, kOwn, 1, 9), kOwn);
    ExpectTableAddresses({kOwn, kPeer, kPeer2});
    EXPECT_EQ(3u, views.rows.size());

    Receive(HeaderOnly(KIND_END, kPeer, 1, 10), kPeer);
    ExpectTableAddresses({kOwn, kPeer2});
    EXPECT_EQ((std::vector<FakeViews::Row>{RowOf("user1", "受信可", kOwn), RowOf("user3", "受信可", kPeer2)}),
              views.rows);
    EXPECT_EQ(KIND_RESP, KindOf(socket.sent.back().bytes));

    Receive(HeaderOnly(KIND_END, kPeer, 1, 11), kPeer);  // not known any more: nothing
    EXPECT_EQ(2, g_peer_table.count);
}

TEST_F(PresenceTest, StatusUpdatesKnownUsersOnlyAndKeepsTheirCounter) {
    Merge({Entry(kPeer, "user2", "受信可", 1200)});
    Receive(EntryDatagram(KIND_STATUS, kPeer2, {Entry(kPeer2, "user3", "外出中")}), kPeer2);
    ExpectTableAddresses({kOwn, kPeer});
    EXPECT_EQ(2u, views.rows.size());

    int fits = views.fits, address_fits = views.address_fits;
    UserEntry changed = Entry(Ip(1, 2, 3, 4), "user2x", "会議中かもしれないよ", 9999);  // 20 status bytes, no NUL
    Receive(EntryDatagram(KIND_STATUS, kPeer, {changed}), kPeer);
    const PeerEntry& e = g_peer_table.entries[1];
    EXPECT_EQ(kPeer, e.addr);  // the carried address is the sender's
    EXPECT_STREQ("user2x", e.from);
    EXPECT_EQ(1200, e.cnt);
    EXPECT_EQ(std::string("会議中かもしれ"), e.cond);  // 14 bytes survive
    EXPECT_EQ(0, e.cond[15]);
    EXPECT_EQ(RowOf("user2x", "会議中かもしれ", kPeer), views.rows[1]);
    EXPECT_EQ(fits + 1, views.fits);
    EXPECT_EQ(address_fits, views.address_fits);  // only the status column

    Bytes cut = EntryDatagram(KIND_STATUS, kPeer, {Entry(kPeer, "cut", "x")});
    cut.resize(60);  // the entry does not lie wholly within the bytes received
    Receive(cut, kPeer);
    EXPECT_STREQ("user2x", g_peer_table.entries[1].from);
}

// --- End, user check and own changes ------------------------------------------

TEST_F(PresenceTest, EndAnnouncesLeavesTheOwnRowAndStopsResending) {
    Merge({Entry(kPeer, "user2"), Entry(kPeer2, "user3")});
    uint8_t chat[kMessageBufferSize];
    int len = BuildChatDatagram(chat, kOwn, NextDatagramCount(), NextMessageNumber(), "hi", 2);
    SendDatagram(chat, len, kPeer, kPort, true);
    socket.sent.clear();

    ASSERT_TRUE(EndAnnouncement());
    ASSERT_EQ(2u, socket.sent.size());
    for (const auto& s : socket.sent) {
        EXPECT_EQ(Bytes(16, 0).size(), s.bytes.size());
        EXPECT_EQ(KIND_END, KindOf(s.bytes));
        EXPECT_EQ(kOwn, ReadHeader(s.bytes.data(), 16).addr);
    }
    ExpectTableAddresses({kOwn});
    EXPECT_EQ(OwnRowOnly(), views.rows);
    EXPECT_EQ(0, PendingCount());
    socket.sent.clear();
    ResendPass();
    EXPECT_TRUE(socket.sent.empty());

    // Still listening: a later list fills the user area again.
    Receive(EntryDatagram(KIND_USERLIST, kPeer, {Entry(kPeer, "user2"), Entry(kPeer2, "user3")}), kPeer);
    EXPECT_EQ(3u, views.rows.size());
    ExpectTableAddresses({kOwn, kPeer, kPeer2});
}

TEST_F(PresenceTest, FailedEndAnnouncementStopsButResetsAnyway) {
    std::strcpy(g_settings.Debug, "Yes");
    const uint32_t kPeer3 = Ip(192, 168, 1, 8);
    Merge({Entry(kPeer, "user2"), Entry(kPeer2, "user3"), Entry(kPeer3, "user4")});
    socket.failing = {kPeer2};
    EXPECT_FALSE(EndAnnouncement());
    EXPECT_EQ(1u, socket.SentTo(kPeer).size());
    EXPECT_TRUE(socket.SentTo(kPeer3).empty());
    ExpectTableAddresses({kOwn});
    EXPECT_EQ(OwnRowOnly(), views.rows);
    EXPECT_EQ(std::vector<std::string>{"0023:0010"}, views.Reports());
}

TEST_F(PresenceTest, UserCheckWithNoPeersSendsNothingAndRebuildsTheOwnRow) {
    views.rows.push_back({"stale", "", "1.2.3.4"});
    ASSERT_TRUE(UserCheck());
    EXPECT_TRUE(socket.sent.empty());
    EXPECT_EQ(OwnRowOnly(), views.rows);
    ExpectTableAddresses({kOwn});
}

TEST_F(PresenceTest, UserCheckEmptiesTheTableAndTheRepliesFillItAgain) {
    Merge({Entry(kPeer, "user2"), Entry(kPeer2, "user3")});
    socket.sent.clear();
    ASSERT_TRUE(UserCheck());
    ASSERT_EQ(2u, socket.sent.size());
    const Bytes& check = socket.sent[0].bytes;
    EXPECT_EQ(KIND_CHECK, KindOf(check));
    EXPECT_EQ(68u, check.size());
    EXPECT_EQ(kOwn, ReadAddress(check.data() + 16));
    EXPECT_EQ(2, PendingCount());
    ExpectTableAddresses({kOwn});
    EXPECT_EQ(OwnRowOnly(), views.rows);

    // kPeer answers (and acknowledges); kPeer2 stays silent.
    Receive(RespFor(check, kPeer), kPeer);
    Receive(EntryDatagram(KIND_USERLIST, kPeer, {Entry(kPeer, "user2")}), kPeer);
    ExpectTableAddresses({kOwn, kPeer});
    EXPECT_EQ(2u, views.rows.size());
    EXPECT_EQ(1, PendingCount());
    ResendPass();
    EXPECT_EQ(2u, socket.SentTo(kPeer2).size());  // the check to the silent peer is resent
}

TEST_F(PresenceTest, FailedUserCheckLeavesTheTableAndRows) {
    std::strcpy(g_settings.Debug, "Yes");
    Merge({Entry(kPeer, "user2"), Entry(kPeer2, "user3")});
    auto rows = views.rows;
    socket.failing = {kPeer2};
    EXPECT_FALSE(UserCheck());
    ExpectTableAddresses({kOwn, kPeer, kPeer2});
    EXPECT_EQ(rows, views.rows);
    EXPECT_EQ(std::vector<std::string>{"0021:0010"}, views.Reports());
    EXPECT_EQ(1, PendingCount());  // the check that went out is kept
}

TEST_F(PresenceTest, OwnChangeIsAnnouncedThenTaken) {
    std::strcpy(g_settings.Debug, "Yes");
    Merge({Entry(kPeer, "user2"), Entry(kPeer2, "user3")});
    socket.sent.clear();
    SetOwnStatus("会議中");
    std::strcpy(g_settings.Name, "user1b");

    socket.failing = {kPeer2};
    EXPECT_FALSE(AnnounceOwnChange());
    EXPECT_STREQ("user1", g_peer_table.entries[0].from);
    EXPECT_EQ(RowOf("user1", "受信可", kOwn), views.rows[0]);
    EXPECT_EQ(std::vector<std::string>{"0027:0010"}, views.Reports());

    socket.failing.clear();
    socket.sent.clear();
    int address_fits = views.address_fits;
    ASSERT_TRUE(AnnounceOwnChange());
    ASSERT_EQ(2u, socket.sent.size());
    EXPECT_EQ(KIND_STATUS, KindOf(socket.sent[0].bytes));
    UserEntry sent = ReadUserEntry(socket.sent[0].bytes.data() + 16);
    EXPECT_STREQ("user1b", sent.from);
    EXPECT_STREQ("会議中", sent.cond);
    EXPECT_STREQ("user1b", g_peer_table.entries[0].from);
    EXPECT_STREQ("会議中", g_peer_table.entries[0].cond);
    EXPECT_EQ(RowOf("user1b", "会議中", kOwn), views.rows[0]);
    EXPECT_EQ(address_fits, views.address_fits);
    EXPECT_EQ(3, PendingCount());  // one from the failed attempt, two now
}

// --- Answers to a check and to a start -----------------------------------------

TEST_F(PresenceTest, CheckIsMergedAndAnsweredWithTheOwnEntryKept) {
    Receive(EntryDatagram(KIND_CHECK, kPeer, {Entry(Ip(1, 1, 1, 1), "user2")}), kPeer);
    ExpectTableAddresses({kOwn, kPeer});
    ASSERT_EQ(2u, socket.sent.size());
    const Bytes& reply = socket.sent[0].bytes;
    EXPECT_EQ(kPeer, socket.sent[0].address);
    EXPECT_EQ(KIND_USERLIST, KindOf(reply));
    EXPECT_EQ(68u, reply.size());
    EXPECT_EQ(1, ReadHeader(reply.data(), 16).num);
    EXPECT_STREQ("user1", ReadUserEntry(reply.data() + 16).from);
    EXPECT_EQ(KIND_RESP, KindOf(socket.sent[1].bytes));
    EXPECT_EQ(1, PendingCount());
}

TEST_F(PresenceTest, FailedAnswersAreReported) {
    std::strcpy(g_settings.Debug, "Yes");
    Merge({Entry(kPeer, "user2"), Entry(kPeer2, "user3")});
    const uint32_t kNew = Ip(10, 0, 2, 1);
    socket.failing = {kPeer};
    Receive(EntryDatagram(KIND_START, kNew, {Entry(kNew, "late")}), kNew);
    EXPECT_TRUE(socket.SentTo(kPeer2).empty());  // stopped at the first failure
    ASSERT_EQ(1u, socket.SentTo(kNew).size());   // the acknowledgement only
    EXPECT_EQ(KIND_RESP, KindOf(socket.SentTo(kNew)[0]));
    socket.failing = {kNew};
    Receive(EntryDatagram(KIND_CHECK, kNew, {Entry(kNew, "late")}), kNew);
    EXPECT_EQ((std::vector<std::string>{"0028:0010", "001e:0010", "0026:0010", "0025:0010", "001e:00a0"}),
              views.Reports());
}

}  // namespace
