#include <gtest/gtest.h>

#include <cstring>

#include "net/datagram.h"
#include "platform/inet_address.h"
#include "tests/net/net_fakes.h"

namespace {

Bytes Slice(const uint8_t* p, size_t from, size_t to) { return Bytes(p + from, p + to); }

TEST(DatagramFormat, ChatMessageLayout) {
    uint8_t buf[kMessageBufferSize];
    std::memset(buf, 0xAA, sizeof buf);  // the builder zero-fills
    int len = BuildChatDatagram(buf, Ip(192, 168, 1, 5), 0x1234, 1001, "abc", 3);
    ASSERT_EQ(24, len);
    const Bytes expected = {'K', '0', '0', '1', 0x00, 24,  0x00, 0x04, 192, 168, 1,   5,
                            0x00, 3,   0x12, 0x34, 0x00, 0x00, 0x03, 0xE9, 'a', 'b', 'c', 0};
    EXPECT_EQ(expected, Slice(buf, 0, 24));
    EXPECT_EQ(Bytes(kMessageBufferSize - 24, 0), Slice(buf, 24, kMessageBufferSize));
    EXPECT_EQ("abc", MessageText(buf, len));
    EXPECT_EQ(1001, ChatMessageNumber(buf, len));
}

TEST(DatagramFormat, MessageTextCutTo255AndPopupNumberZero) {
    uint8_t buf[kMessageBufferSize];
    std::string text(300, 'x');
    EXPECT_EQ(276, BuildPopupDatagram(buf, Ip(10, 0, 0, 1), 1, text.data(), text.size()));
    EXPECT_EQ(KIND_POPUP, ReadKind(buf, 276));
    EXPECT_EQ(255, ReadHeader(buf, 276).num);
    EXPECT_EQ(0u, ReadU32BE(buf + 16));
    EXPECT_EQ(0, buf[275]);
    EXPECT_EQ(255u, MessageText(buf, 276).size());
}

TEST(DatagramFormat, ReceivedTextsAreBoundedByFieldAndBytes) {
    uint8_t buf[kMessageBufferSize];
    std::memset(buf, 'y', sizeof buf);  // no NUL anywhere
    EXPECT_EQ(5u, MessageText(buf, 25).size());
    EXPECT_EQ(255u, MessageText(buf, kMessageBufferSize).size());
    EXPECT_EQ(0u, MessageText(buf, 20).size());
    EXPECT_EQ(0u, MessageText(buf, 3).size());
    // The number's low 16 bits, signed; missing bytes read as 0.
    WriteU32BE(buf + 16, 0x0001FFFF);
    EXPECT_EQ(-1, ChatMessageNumber(buf, 20));
    EXPECT_EQ(-256, ChatMessageNumber(buf, 19));  // 00 01 FF and a missing byte
    EXPECT_EQ(0, ChatMessageNumber(buf, 16));
}

TEST(DatagramFormat, UserEntryColourAndOwnEntryDatagram) {
    UserEntry e = Entry(Ip(10, 1, 2, 3), "user1", "受信可", 1005);
    SetEntryColour(&e, 0x00563412);
    uint8_t buf[kOwnEntryDatagramSize];
    ASSERT_EQ(68, BuildEntryDatagram(buf, sizeof buf, KIND_STATUS, Ip(10, 1, 2, 3), 7, &e, 1));
    const Bytes header = {'K', '0', '0', '1', 0, 68, 0, 5, 10, 1, 2, 3, 0, 1, 0, 7};
    EXPECT_EQ(header, Slice(buf, 0, 16));
    const uint8_t* entry = buf + 16;
    EXPECT_EQ(Bytes({10, 1, 2, 3}), Slice(entry, 0, 4));
    EXPECT_EQ(0, std::memcmp(entry + 4, "user1\0", 6));
    EXPECT_EQ(Bytes({0x12, 0, 0x34, 0, 0x56, 0}), Slice(entry, 24, 30));
    EXPECT_EQ(Bytes({0x03, 0xED}), Slice(entry, 30, 32));
    EXPECT_EQ(0, std::memcmp(entry + 32, "受信可", std::strlen("受信可") + 1));
    EXPECT_EQ(0x00563412u, EntryColour(ReadUserEntry(entry)));
}

TEST(DatagramFormat, EndIsHeaderAloneWithNumOne) {
    uint8_t buf[kEndDatagramSize];
    ASSERT_EQ(16, BuildEndDatagram(buf, Ip(10, 0, 0, 9), 0xFFFF));
    const Bytes expected = {'K', '0', '0', '1', 0, 16, 0, 3, 10, 0, 0, 9, 0, 1, 0xFF, 0xFF};
    EXPECT_EQ(expected, Slice(buf, 0, 16));
}

TEST(DatagramFormat, RespKeepsAllCountAndBytes16To19) {
    Bytes b = HeaderOnly(KIND_CHAT, Ip(10, 0, 0, 2), 3, 0xBEEF, 40);
    b[16] = 1, b[17] = 2, b[18] = 3, b[19] = 4, b[20] = 'Z';
    MakeResp(b.data(), Ip(10, 0, 0, 1));
    const Bytes expected = {'K', '0', '0', '1', 0, 25, 0,   7,   10,  0,   0,   1,  0,
                            5,   0xBE, 0xEF, 1, 2, 3, 4, 'R', 'e', 's', 'p', 0};
    EXPECT_EQ(expected, Slice(b.data(), 0, 25));
}

TEST(DatagramFormat, ReceivedEntriesLieWhollyWithinTheBytesReceived) {
    std::vector<UserEntry> two = {Entry(Ip(10, 0, 0, 2), "a"), Entry(Ip(10, 0, 0, 3), "b")};
    Bytes b = EntryDatagram(KIND_USERLIST, Ip(10, 0, 0, 2), two);
    WriteU16BE(b.data() + kOffsetNum, 30);  // promises 30
    EXPECT_EQ(2, ReceivedEntryCount(b.data(), static_cast<int>(b.size())));
    EXPECT_EQ(1, ReceivedEntryCount(b.data(), static_cast<int>(b.size()) - 1));  // second cut short
    EXPECT_EQ(0, ReceivedEntryCount(b.data(), 16));
    WriteU16BE(b.data() + kOffsetNum, 0);
    EXPECT_EQ(0, ReceivedEntryCount(b.data(), static_cast<int>(b.size())));
    UserEntry out;
    EXPECT_FALSE(ReadReceivedEntry(b.data(), static_cast<int>(b.size()), 0, &out));
}

TEST(DatagramFormat, ReceivedEntryTextsAreCutForStoring) {
    UserEntry e;
    e.addr = Ip(10, 0, 0, 2);
    std::memset(e.from, 'n', sizeof e.from);  // 20 bytes, no NUL
    std::memset(e.cond, 's', sizeof e.cond);
    Bytes b = EntryDatagram(KIND_STATUS, e.addr, {e});
    UserEntry out;
    ASSERT_TRUE(ReadReceivedEntry(b.data(), static_cast<int>(b.size()), 0, &out));
    EXPECT_EQ(std::string(19, 'n'), std::string(out.from));
    EXPECT_EQ(std::string(14, 's'), std::string(out.cond));
    EXPECT_EQ('s', out.cond[16]);  // the rest of the field is kept as received
}

TEST(DatagramFormat, BoardRoundTripAndPointCountBounded) {
    BoardStroke s;
    s.red = 0xFF, s.green = 0x10, s.blue = 0x01, s.width = 4, s.count = 2;
    s.x[0] = 300, s.y[0] = 1, s.x[1] = 2, s.y[1] = 299;
    uint8_t buf[kBoardSize];
    ASSERT_EQ(436, BuildBoardDatagram(buf, Ip(10, 0, 0, 1), 9, s));
    EXPECT_EQ(Bytes({0xFF, 0, 0x10, 0, 0x01, 0, 0, 4, 0, 2, 0, 0}), Slice(buf, 16, 28));
    EXPECT_EQ(Bytes({0x01, 0x2C, 0, 1, 0, 2, 0x01, 0x2B}), Slice(buf, 36, 44));
    BoardStroke r = ReadBoardDatagram(buf, 436);
    EXPECT_EQ(300, r.x[0]);
    EXPECT_EQ(299, r.y[1]);
    EXPECT_EQ(0xFF, r.red);

    WriteU16BE(buf + 24, 0xFFFF);
    EXPECT_EQ(100, ReadBoardDatagram(buf, 436).count);
    BoardStroke cut = ReadBoardDatagram(buf, 38);  // only the first point's x
    EXPECT_EQ(300, cut.x[0]);
    EXPECT_EQ(0, cut.y[0]);
}

TEST(DatagramFormat, HeaderFieldsBeyondTheBytesReadAsZero) {
    Bytes b = HeaderOnly(KIND_CHECK, Ip(1, 2, 3, 4), 1, 0x1234);
    DatagramHeader h = ReadHeader(b.data(), 7);
    EXPECT_EQ(16, h.len);
    EXPECT_EQ(0, h.kind);  // the kind's second byte was not received
    EXPECT_EQ(0u, h.addr);
    EXPECT_EQ(KIND_CHECK, ReadKind(b.data(), 8));
    EXPECT_EQ(-1, ReadKind(HeaderOnly(-1, 0, 0, 0).data(), 16));
}

TEST(InetAddress, DottedForm) {
    EXPECT_EQ("192.168.1.5", FormatDottedAddress(Ip(192, 168, 1, 5)));
    EXPECT_EQ("0.0.0.0", FormatDottedAddress(0));
}

}  // namespace
