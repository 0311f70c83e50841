#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "net/dump.h"
#include "tests/net/net_fakes.h"

namespace {

const LocalTime kNow{2024, 3, 14, 9, 5, 0};

DumpContext At(const LocalTime& now) {
    DumpContext c;
    c.now = now;
    return c;
}

std::vector<std::string> Dump(DumpDirection direction, const Bytes& b, uint32_t destination = 0,
                              const DumpContext& context = At(kNow)) {
    return DumpTexts(direction, b.data(), static_cast<int>(b.size()), destination, context);
}

const char* const kStartHeader =
    "[03/14 09:05] \r\n*** 受信 ***\r\n"
    "Head: K001\r\nlen:  4400\r\nkind: 0100\r\naddr: 0501a8c0\r\nnum:  0100\r\nallCount: d007\r\n";

TEST(DumpText, ReceivedStartPrintsHeaderAndEntryRawLittleEndian) {
    UserEntry e = Entry(Ip(192, 168, 1, 5), "user1", "受信可", 1000);
    SetEntryColour(&e, 0x00563412);
    auto texts = Dump(DumpDirection::Received, EntryDatagram(KIND_START, Ip(192, 168, 1, 5), {e}, 2000));
    ASSERT_EQ(1u, texts.size());
    EXPECT_EQ(std::string(kStartHeader) +
                  "番号: 1\r\naddr: 0501a8c0\r\nfrom: user1\r\n"
                  "color.red: 0012\r\ncolor.green: 0034\r\ncolor.blue: 0056\r\n"
                  "cnt: ffffe803\r\ncond: 受信可\r\n\r\n",
              texts[0]);
}

TEST(DumpText, SixteenBitFieldsAreSignExtendedButAllCountAndColoursAreNot) {
    UserEntry e = Entry(0, "x", "", static_cast<int16_t>(0x0080));
    e.red = 0x0080;   // little-endian reading 0x8000
    e.green = 0x8000; // little-endian reading 0x0080
    Bytes b = EntryDatagram(KIND_USERLIST, 0, {e}, 0x0080);
    WriteU16BE(b.data() + kOffsetLen, 0x0080);
    auto texts = Dump(DumpDirection::Received, b);
    ASSERT_EQ(1u, texts.size());
    const std::string& t = texts[0];
    EXPECT_NE(std::string::npos, t.find("len:  ffff8000\r\n"));
    EXPECT_NE(std::string::npos, t.find("kind: 0200\r\n"));
    EXPECT_NE(std::string::npos, t.find("allCount: 8000\r\n"));
    EXPECT_NE(std::string::npos, t.find("color.red: 8000\r\n"));
    EXPECT_NE(std::string::npos, t.find("color.green: 0080\r\n"));
    EXPECT_NE(std::string::npos, t.find("cnt: ffff8000\r\n"));
}

TEST(DumpText, SentChatShowsDestinationAndCounters) {
    uint8_t buf[kMessageBufferSize];
    int len = BuildChatDatagram(buf, Ip(192, 168, 1, 7), 0x03E9, 1001, "abc", 3);
    Bytes b(buf, buf + len);
    DumpContext c = At(LocalTime{2024, 12, 1, 23, 59, 0});
    c.has_table_count = true;
    c.table_count = 1000;
    c.my_count = 1001;
    auto texts = Dump(DumpDirection::Sent, b, Ip(192, 168, 1, 5), c);
    ASSERT_EQ(1u, texts.size());
    EXPECT_EQ("[12/01 23:59] \r\n*** 送信 ***\r\n宛先: 501a8c0\r\n"
              "Head: K001\r\nlen:  1800\r\nkind: 0400\r\naddr: 0701a8c0\r\nnum:  0300\r\nallCount: e903\r\n"
              "text-cont: e9030000\r\ntabel-cont: 000003e8\r\nmy cont: 03e9\r\n",
              texts[0]);

    c.has_table_count = false;
    texts = Dump(DumpDirection::Received, b, 0, c);
    ASSERT_EQ(1u, texts.size());
    EXPECT_EQ(std::string::npos, texts[0].find("tabel-cont"));
    EXPECT_NE(std::string::npos, texts[0].find("text-cont: e9030000\r\nmy cont: 03e9\r\n"));
}

TEST(DumpText, OneTextPerEntryEachRepeatingTheHeader) {
    std::vector<UserEntry> three = {Entry(Ip(10, 0, 0, 1), "a"), Entry(Ip(10, 0, 0, 2), "b"),
                                    Entry(Ip(10, 0, 0, 3), "c")};
    auto texts = Dump(DumpDirection::Received, EntryDatagram(KIND_USERLIST, Ip(10, 0, 0, 1), three));
    ASSERT_EQ(3u, texts.size());
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(0u, texts[i].find("[03/14 09:05] \r\n*** 受信 ***\r\nHead: K001\r\n"));
        EXPECT_NE(std::string::npos, texts[i].find("番号: " + std::to_string(i + 1) + "\r\n"));
        EXPECT_NE(std::string::npos, texts[i].find(std::string("from: ") + "abc"[i] + "\r\n"));
    }
}

TEST(DumpText, EndPrintsOneZeroEntryAndNumZeroPrintsNothing) {
    uint8_t buf[kEndDatagramSize];
    BuildEndDatagram(buf, Ip(10, 0, 0, 2), 5);
    auto texts = Dump(DumpDirection::Received, Bytes(buf, buf + 16));
    ASSERT_EQ(1u, texts.size());
    EXPECT_NE(std::string::npos,
              texts[0].find("番号: 1\r\naddr: 00000000\r\nfrom: \r\ncolor.red: 0000\r\ncolor.green: 0000\r\n"
                            "color.blue: 0000\r\ncnt: 0000\r\ncond: \r\n\r\n"));

    EXPECT_TRUE(Dump(DumpDirection::Received, HeaderOnly(KIND_STATUS, 0, 0, 1, 68)).empty());
}

TEST(DumpText, OtherKindsPrintNothing) {
    for (int16_t kind : {KIND_POPUP, KIND_RESP, KIND_BOARD, int16_t{0}, int16_t{9}, int16_t{101}})
        EXPECT_TRUE(Dump(DumpDirection::Received, HeaderOnly(kind, 0, 1, 1, 68)).empty()) << kind;
}

// A peer's num may promise more entries than were received: the entries past
// the bytes received print as zeros, and never more than 30.
TEST(DumpText, EntryCountBoundedTo30AndTextsToTheirFields) {
    Bytes b = HeaderOnly(KIND_USERLIST, 0, 0xFFFF, 1, 16 + 52);
    std::memset(b.data() + 16, 'q', 52);  // an entry with no NUL in from or cond
    auto texts = Dump(DumpDirection::Received, b);
    ASSERT_EQ(30u, texts.size());
    EXPECT_NE(std::string::npos, texts[0].find("from: " + std::string(20, 'q') + "\r\ncolor.red"));
    EXPECT_NE(std::string::npos, texts[0].find("cond: " + std::string(20, 'q') + "\r\n\r\n"));
    EXPECT_NE(std::string::npos, texts[29].find("番号: 30\r\naddr: 00000000\r\nfrom: \r\n"));

    Bytes head(16, 'H');  // no NUL in the whole header
    WriteU16BE(head.data() + kOffsetKind, KIND_CHAT);
    auto chat = Dump(DumpDirection::Received, head);
    ASSERT_EQ(1u, chat.size());
    EXPECT_NE(std::string::npos, chat[0].find("Head: HHHHHH\r\n"));  // stops at kind's NUL
    std::memset(head.data(), 'H', 16);
    EXPECT_TRUE(Dump(DumpDirection::Received, head).empty());  // kind 0x4848: nothing written
}

class DumpToLog : public NetFixture {
protected:
    std::string path;
    void SetUp() override {
        NetFixture::SetUp();
        char dir[] = "/tmp/mosswick-dump-XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(dir));
        path = std::string(dir) + "/Mosslog.txt";
    }
    void TearDown() override {
        NetFixture::TearDown();
        std::remove(path.c_str());
        rmdir(path.substr(0, path.rfind('/')).c_str());
    }
    std::string LogText() {
        LogFlush();
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
};

TEST_F(DumpToLog, WritesOnlyWhileTheLogIsActive) {
    std::strcpy(g_settings.Debug, "Yes");
    StartWithOwnAddress(Ip(192, 168, 1, 7));
    Bytes b = EntryDatagram(KIND_USERLIST, Ip(192, 168, 1, 5), {Entry(Ip(192, 168, 1, 5), "user2")});
    socket.Deliver(b, Ip(192, 168, 1, 5));
    ASSERT_TRUE(ReceiveDatagram());  // Debug on, log off: nothing at all
    ASSERT_TRUE(SwitchLogging(true, path.c_str()));
    EXPECT_EQ("", LogText());

    socket.Deliver(b, Ip(192, 168, 1, 5));
    ASSERT_TRUE(ReceiveDatagram());
    auto expected = Dump(DumpDirection::Received, b, 0, At(clock.now));
    ASSERT_EQ(1u, expected.size());
    EXPECT_EQ(expected[0], LogText());  // the acknowledgement (kind 7) writes nothing
}

TEST_F(DumpToLog, ChatDumpLooksUpTheSendersStoredCounter) {
    std::strcpy(g_settings.Debug, "Yes");
    StartWithOwnAddress(Ip(192, 168, 1, 7));
    TakeEntries(EntryDatagram(KIND_USERLIST, 0, {Entry(Ip(192, 168, 1, 5), "user2", "", 1234)}).data(), 68);
    ASSERT_TRUE(LogOpen(path.c_str()));
    uint8_t buf[kMessageBufferSize];
    int len = BuildChatDatagram(buf, Ip(192, 168, 1, 5), 1, 1235, "hi", 2);
    socket.Deliver(Bytes(buf, buf + len), Ip(192, 168, 1, 5));
    ASSERT_TRUE(ReceiveDatagram());
    EXPECT_NE(std::string::npos, LogText().find("tabel-cont: 000004d2\r\nmy cont: 03e8\r\n"));
}

TEST_F(DumpToLog, SentDatagramsAreDumpedExceptEnd) {
    std::strcpy(g_settings.Debug, "Yes");
    StartWithOwnAddress(Ip(192, 168, 1, 7));
    ASSERT_TRUE(LogOpen(path.c_str()));
    uint8_t end[kEndDatagramSize];
    BuildEndDatagram(end, Ip(192, 168, 1, 7), 1);
    ASSERT_TRUE(SendDatagram(end, 16, Ip(192, 168, 1, 5), kPort, false));
    EXPECT_EQ("", LogText());
    Bytes status = EntryDatagram(KIND_STATUS, Ip(192, 168, 1, 7), {Entry(Ip(192, 168, 1, 7), "user1")});
    ASSERT_TRUE(SendDatagram(status.data(), 68, Ip(192, 168, 1, 5), kPort, false));
    EXPECT_NE(std::string::npos, LogText().find("*** 送信 ***\r\n宛先: 501a8c0\r\n"));
}

}  // namespace
