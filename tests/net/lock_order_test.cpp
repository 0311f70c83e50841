// The peer-table lock is taken before the pending-ack lock, never the reverse,
// and neither twice by one thread: checked by assertion in debug builds, by a
// journal of every wait and release, and under real threads.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <thread>

#include "net/lock_order.h"
#include "platform/posix/binary_semaphore_posix.h"
#include "tests/net/net_fakes.h"

namespace {

const uint32_t kOwn = Ip(192, 168, 1, 7);
const uint32_t kPeer = Ip(192, 168, 1, 5);
const uint32_t kPeer2 = Ip(192, 168, 1, 6);

TEST(LockOrderDeathTest, PeerTableLockAfterPendingAckLockStopsADebugBuild) {
#ifdef NDEBUG
    GTEST_SKIP() << "assertions are compiled out";
#else
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            PendingAckLock pending;
            PeerTableLock table;
        },
        "peer-table lock taken while holding the pending-ack lock");
    EXPECT_DEATH(
        {
            PeerTableLock table;
            PeerTableLock again;
        },
        "peer-table lock taken twice");
    EXPECT_DEATH(
        {
            PeerTableLock table;
            PendingAckLock pending;
            PendingAckLock again;
        },
        "pending-ack lock taken twice");
#endif
}

// Every operation of the core, with both locks journalled.
class LockJournalTest : public NetFixture {
protected:
    std::vector<std::string> journal;
    JournalSemaphore table_lock{"P", &journal};
    JournalSemaphore pending_lock{"A", &journal};

    void SetUp() override {
        NetFixture::SetUp();
        g_platform.peer_table_lock = &table_lock;
        g_platform.pending_ack_lock = &pending_lock;
        StartWithOwnAddress(kOwn);
    }

    void Receive(const Bytes& datagram, uint32_t from) {
        socket.Deliver(datagram, from);
        ReceiveDatagram();
    }
};

TEST_F(LockJournalTest, EveryOperationTakesThePeerTableLockFirst) {
    Receive(EntryDatagram(KIND_USERLIST, kPeer, {Entry(kPeer, "user2"), Entry(kPeer2, "user3")}), kPeer);
    Receive(EntryDatagram(KIND_START, kPeer, {Entry(kPeer, "user2")}), kPeer);
    Receive(EntryDatagram(KIND_CHECK, kPeer, {Entry(kPeer, "user2")}), kPeer);
    Receive(EntryDatagram(KIND_STATUS, kPeer, {Entry(kPeer, "user2", "外出中")}), kPeer);
    SetOwnStatus("会議中");
    AnnounceOwnChange();
    Receive(RespFor(socket.SentTo(kPeer).back(), kPeer), kPeer);
    ResendPass();
    PeerEntry entry;
    LookUpPeer(kPeer, &entry);
    PeerTableSnapshot();
    UserCheck();
    Receive(EntryDatagram(KIND_USERLIST, kPeer, {Entry(kPeer, "user2")}), kPeer);
    Receive(HeaderOnly(KIND_END, kPeer, 1, 5), kPeer);
    StartSequence(StartMode::Command);
    EndAnnouncement();

    bool table = false, pending = false, nested = false;
    for (const std::string& step : journal) {
        if (step == "P+") {
            ASSERT_FALSE(pending) << "peer-table lock taken while holding the pending-ack lock";
            ASSERT_FALSE(table) << "peer-table lock taken twice";
            table = true;
        } else if (step == "A+") {
            ASSERT_FALSE(pending) << "pending-ack lock taken twice";
            pending = true;
            nested = nested || table;
        } else if (step == "P-") {
            ASSERT_TRUE(table);
            table = false;
        } else if (step == "A-") {
            ASSERT_TRUE(pending);
            pending = false;
        }
    }
    EXPECT_FALSE(table);
    EXPECT_FALSE(pending);
    EXPECT_TRUE(nested);  // kept sends under the peer-table lock were among them
}

// A popup window's thread replies (reading the table under its lock, then a
// kept send) while the user-interface thread announces, takes acknowledgements
// and runs resend passes, with real semaphores. Nothing deadlocks and no kept
// datagram is lost: each unanswered reply is sent exactly six times.
class ThreadedLockTest : public NetFixture {
protected:
    BinarySemaphorePosix table_lock, pending_lock;

    void SetUp() override {
        NetFixture::SetUp();
        g_platform.peer_table_lock = &table_lock;
        g_platform.pending_ack_lock = &pending_lock;
        StartWithOwnAddress(kOwn);
    }
};

TEST_F(ThreadedLockTest, PopupRepliesWhileResendPassesRun) {
    Bytes list = EntryDatagram(KIND_USERLIST, kPeer, {Entry(kPeer, "user2")});
    TakeEntries(list.data(), static_cast<int>(list.size()));
    const uint32_t kPopupSender = Ip(192, 168, 1, 9);
    constexpr int kReplies = 60;

    std::atomic<bool> replying{true};
    std::thread popup([&] {
        for (int i = 0; i < kReplies; ++i) {
            PeerEntry sender;
            LookUpPeer(kPopupSender, &sender);
            uint8_t reply[kMessageBufferSize];
            int len = BuildPopupDatagram(reply, OwnAddress(), NextDatagramCount(), "re", 2);
            EXPECT_TRUE(SendDatagram(reply, len, kPopupSender, kPort, true));
            std::this_thread::yield();
        }
        replying = false;
    });

    int announcements = 0;
    while (replying || announcements < 10) {
        ASSERT_TRUE(AnnounceOwnChange());
        ++announcements;
        socket.Deliver(RespFor(socket.SentTo(kPeer).back(), kPeer), kPeer);
        ASSERT_TRUE(ReceiveDatagram());
        ResendPass();
    }
    popup.join();
    for (int i = 0; i < kMaxResends + 1 && PendingCount() > 0; ++i) ResendPass();
    EXPECT_EQ(0, PendingCount());

    EXPECT_EQ(static_cast<size_t>(announcements), socket.SentTo(kPeer).size());  // each acknowledged at once
    std::map<uint16_t, int> sends_per_reply;
    for (const Bytes& b : socket.SentTo(kPopupSender)) ++sends_per_reply[ReadHeader(b.data(), 16).allCount];
    EXPECT_EQ(static_cast<size_t>(kReplies), sends_per_reply.size());
    for (const auto& [count, sends] : sends_per_reply) EXPECT_EQ(1 + kMaxResends, sends) << count;
}

}  // namespace
