#include <gtest/gtest.h>

#include "tests/net/net_fakes.h"

namespace {

const uint32_t kOwn = Ip(192, 168, 1, 7);
const uint32_t kPeer = Ip(192, 168, 1, 5);
const uint32_t kOther = Ip(192, 168, 1, 6);

class PendingAckTest : public NetFixture {
protected:
    void SetUp() override {
        NetFixture::SetUp();
        StartWithOwnAddress(kOwn);
    }

    // A chat message sent with the keep flag, as the send command sends it.
    Bytes SendKeptChat(uint32_t to, const char* text = "hi") {
        uint8_t buf[kMessageBufferSize];
        int len = BuildChatDatagram(buf, kOwn, NextDatagramCount(), NextMessageNumber(), text,
                                    std::strlen(text));
        EXPECT_TRUE(SendDatagram(buf, len, to, kPort, true));
        return Bytes(buf, buf + len);
    }

    // The acknowledgement arrives through the receive path.
    void Acknowledge(const Bytes& datagram, uint32_t from) {
        socket.Deliver(RespFor(datagram, from), from);
        ASSERT_TRUE(ReceiveDatagram());
    }

    void Ticks(int n) {
        for (int i = 0; i < n; ++i) ResendPass();
    }
};

TEST_F(PendingAckTest, AcknowledgedMessageIsSentOnce) {
    Bytes chat = SendKeptChat(kPeer);
    EXPECT_EQ(1, PendingCount());
    Acknowledge(chat, kPeer);
    EXPECT_EQ(0, PendingCount());
    Ticks(3);
    EXPECT_EQ(1u, socket.SentTo(kPeer).size());
}

TEST_F(PendingAckTest, UnansweredMessageIsSentSixTimesThenForgotten) {
    Bytes chat = SendKeptChat(kPeer);
    for (int tick = 1; tick <= 5; ++tick) {
        ResendPass();
        EXPECT_EQ(1u + tick, socket.SentTo(kPeer).size());
        EXPECT_EQ(tick < 5 ? 1 : 0, PendingCount()) << "after tick " << tick;
    }
    Ticks(2);
    std::vector<Bytes> sends = socket.SentTo(kPeer);
    ASSERT_EQ(6u, sends.size());
    for (const Bytes& s : sends) EXPECT_EQ(chat, s);  // same allCount every time
}

TEST_F(PendingAckTest, AcknowledgementMustComeFromTheDestinationWithTheSameCount) {
    Bytes chat = SendKeptChat(kPeer);
    Acknowledge(chat, kOther);  // the peer answering from another interface
    Bytes wrong_count = chat;
    WriteU16BE(wrong_count.data() + kOffsetAllCount, ReadHeader(chat.data(), 16).allCount + 1);
    Acknowledge(wrong_count, kPeer);
    EXPECT_EQ(1, PendingCount());
    Ticks(6);
    EXPECT_EQ(6u, socket.SentTo(kPeer).size());
}

TEST_F(PendingAckTest, KeptDatagramsAreRemovedIndependently) {
    Bytes first = SendKeptChat(kPeer, "one");
    Bytes second = SendKeptChat(kPeer, "two");
    Bytes elsewhere = SendKeptChat(kOther, "three");
    Acknowledge(second, kPeer);
    Acknowledge(second, kPeer);  // a second copy of the same answer matches nothing more
    ASSERT_EQ(2, PendingCount());
    ResendPass();
    ASSERT_EQ(3u, socket.SentTo(kPeer).size());
    EXPECT_EQ(first, socket.SentTo(kPeer).back());
    Acknowledge(first, kPeer);
    EXPECT_EQ(1, PendingCount());
    ResendPass();
    EXPECT_EQ(3u, socket.SentTo(kPeer).size());
    EXPECT_EQ(elsewhere, socket.SentTo(kOther).back());
}

TEST_F(PendingAckTest, TheHundredAndFirstIsSentButNeverResent) {
    std::vector<Bytes> chats;
    for (int i = 0; i < kMaxPendingAcks + 1; ++i) chats.push_back(SendKeptChat(kPeer));
    EXPECT_EQ(101u, socket.sent.size());
    EXPECT_EQ(kMaxPendingAcks, PendingCount());
    socket.sent.clear();
    ResendPass();
    ASSERT_EQ(100u, socket.sent.size());
    for (const auto& s : socket.sent) EXPECT_NE(chats.back(), s.bytes);
    EXPECT_EQ(chats.front(), socket.sent.front().bytes);  // in the order kept
}

TEST_F(PendingAckTest, FailedResendStopsThePassWithoutCountingIt) {
    const uint32_t kThird = Ip(192, 168, 1, 9);
    SendKeptChat(kOther);
    SendKeptChat(kPeer);
    SendKeptChat(kThird);
    socket.failing = {kPeer};
    EXPECT_FALSE(ResendPass());
    EXPECT_EQ(2u, socket.SentTo(kOther).size());
    EXPECT_EQ(1u, socket.SentTo(kThird).size());  // waits for the next pass
    socket.failing.clear();
    Ticks(4);
    EXPECT_EQ(6u, socket.SentTo(kOther).size());
    EXPECT_EQ(2, PendingCount());  // the failed one and the third each have a resend to go
    ResendPass();
    EXPECT_EQ(6u, socket.SentTo(kPeer).size());   // one first send and five resends
    EXPECT_EQ(6u, socket.SentTo(kThird).size());
    EXPECT_EQ(0, PendingCount());
}

TEST_F(PendingAckTest, OnlySuccessfulKeptUnicastSendsAreKept) {
    uint8_t buf[kMessageBufferSize];
    int len = BuildChatDatagram(buf, kOwn, NextDatagramCount(), 1001, "x", 1);
    socket.failing = {kPeer};
    EXPECT_FALSE(SendDatagram(buf, len, kPeer, kPort, true));
    socket.failing.clear();
    EXPECT_TRUE(SendDatagram(buf, len, kPeer, kPort, false));
    AddHostAddress(kOther);
    EXPECT_TRUE(SendDatagram(buf, len, 0, kPort, true));  // the host list is never kept
    socket.open = false;
    EXPECT_TRUE(SendDatagram(buf, len, kPeer, kPort, true));  // no socket: nothing sent or kept
    EXPECT_EQ(0, PendingCount());
    EXPECT_FALSE(PendingAdd(0, buf, len));
    EXPECT_FALSE(PendingAdd(kPeer, buf, kMaxDatagramSize + 1));
    EXPECT_EQ(0, PendingCount());
}

}  // namespace
