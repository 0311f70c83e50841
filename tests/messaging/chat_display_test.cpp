#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "messaging/log_file.h"

#include "messaging/chat_receive.h"
#include "settings/window_modes.h"
#include "tests/messaging/messaging_fakes.h"

namespace {

class ChatDisplayTest : public MessagingFixture {
protected:
    void Show(uint32_t from, int16_t number, const char* text) {
        Bytes dg = Chat(from, number, text);
        EXPECT_TRUE(DisplayChatMessage(dg.data(), static_cast<int>(dg.size())));
    }
    // bob's own entry arrives, announcing his message counter.
    void AnnounceBob(int16_t kind, int16_t counter) {
        TakeEntries(EntryDatagram(kind, peer2, {Entry(peer2, "bob", "受信可", counter)}).data(),
                     kHeaderSize + kUserEntrySize);
    }
};

TEST_F(ChatDisplayTest, ResentCopiesAreDroppedEvenAfterLaterMessages) {
    Show(peer2, 1001, "a");
    Show(peer2, 1001, "a");  // a retransmitted copy
    EXPECT_EQ(1001, StoredCounter(peer2));
    Show(peer2, 1003, "c");
    Show(peer2, 1002, "b");  // overtaken by a later message: shown once, counter kept
    Show(peer2, 1001, "a");  // a late copy after later messages
    Show(peer2, 1002, "b");
    EXPECT_EQ(1003, StoredCounter(peer2));
    // Each peer has numbers of its own.
    Show(peer3, 1001, "from carol");
    EXPECT_EQ((std::vector<std::string>{"1 bob > a\r\n", "3 bob > c\r\n", "2 bob > b\r\n", "1 carol > from carol\r\n"}),
              out.OutputTexts());
}

TEST_F(ChatDisplayTest, OlderNumbersAreShownWithoutLoweringTheCounter) {
    Show(peer2, 5000, "before the restart");
    Show(peer2, 1001, "after");
    Show(peer2, 1002, "next");
    EXPECT_EQ(5000, StoredCounter(peer2));
    EXPECT_EQ(3u, out.output.size());
    Show(peer2, 1002, "next");
    EXPECT_EQ(3u, out.output.size());
}

TEST_F(ChatDisplayTest, ARestartAnnouncedWithALowerCounterForgetsTheRecentNumbers) {
    Show(peer2, 1001, "first run");
    Show(peer2, 1002, "first run");
    // bob starts again: his announcement carries 1000.
    AnnounceBob(KIND_START, 1000);
    EXPECT_EQ(1000, StoredCounter(peer2));
    Show(peer2, 1001, "second run");
    Show(peer2, 1002, "second run");
    EXPECT_EQ(4u, out.output.size());
    // An announcement that does not lower the counter (a user check answered
    // mid-conversation) keeps them: a late copy is still a repeat.
    Show(peer2, 1003, "c");
    AnnounceBob(KIND_USERLIST, 1003);
    Show(peer2, 1002, "second run");
    EXPECT_EQ(5u, out.output.size());
}

TEST_F(ChatDisplayTest, RecentNumbersGoWithTheirEntry) {
    Show(peer3, 1001, "carol");
    // bob leaves: carol's entry moves up and keeps what was seen from her.
    ASSERT_TRUE(RemovePeer(peer2));
    Show(peer3, 1001, "carol");
    EXPECT_EQ(1u, out.output.size());
    // bob comes back as a new entry, with nothing seen yet.
    Show(peer3, 1002, "carol");
    AnnounceBob(KIND_START, 5000);
    Show(peer2, 1002, "bob again");
    EXPECT_EQ((std::vector<std::string>{"1 carol > carol\r\n", "2 carol > carol\r\n", "2 bob > bob again\r\n"}),
              out.OutputTexts());
}

TEST_F(ChatDisplayTest, OnlyTheLatestNumbersAreRemembered) {
    for (int n = 1001; n < 1001 + kSeenNumbers; ++n) Show(peer2, static_cast<int16_t>(n), "x");
    Show(peer2, 1001, "x");  // still in the window
    EXPECT_EQ(static_cast<size_t>(kSeenNumbers), out.output.size());
    Show(peer2, static_cast<int16_t>(1001 + kSeenNumbers), "x");  // pushes 1001 out
    Show(peer2, 1001, "x");
    EXPECT_EQ(static_cast<size_t>(kSeenNumbers) + 2, out.output.size());
}

TEST_F(ChatDisplayTest, AfterTheLastNumberTheSendersCounterStartsOver) {
    Show(peer2, 32766, "last before the wrap");
    Show(peer2, 1001, "first after");
    EXPECT_EQ(1001, StoredCounter(peer2));
    // A stored 32766 becomes 1000 first, so 1000 itself counts as a repeat.
    g_peer_table.entries[FindPeerByAddress(peer3)].cnt = 32766;
    Show(peer3, 1000, "x");
    EXPECT_EQ((std::vector<std::string>{"31766 bob > last before the wrap\r\n", "1 bob > first after\r\n"}),
              out.OutputTexts());
}

TEST_F(ChatDisplayTest, NumbersTakenBeforeTheWrapDoNotHideThoseAfterIt) {
    // A short run: 1001 early on, then the sender's last number before it
    // wraps, then 1001 again, its first number after the wrap.
    for (int16_t n : {1001, 1002, 1003}) Show(peer2, n, "before");
    Show(peer2, 32765, "late in the round");
    Show(peer2, 32766, "last before the wrap");
    Show(peer2, 32766, "last before the wrap");  // a resent copy, before the wrap
    Show(peer2, 1001, "first after");
    Show(peer2, 1001, "first after");  // its resent copy
    EXPECT_EQ(1001, StoredCounter(peer2));
    Show(peer2, 32766, "last before the wrap");  // late copies from before it
    Show(peer2, 32765, "late in the round");
    Show(peer2, 1002, "second after");
    Show(peer2, 32764, "first copy of a line from before the wrap");  // shown, not stored
    EXPECT_EQ(1002, StoredCounter(peer2));
    EXPECT_EQ((std::vector<std::string>{"1 bob > before\r\n", "2 bob > before\r\n", "3 bob > before\r\n",
                                        "31765 bob > late in the round\r\n", "31766 bob > last before the wrap\r\n",
                                        "1 bob > first after\r\n", "2 bob > second after\r\n",
                                        "31764 bob > first copy of a line from before the wrap\r\n"}),
              out.OutputTexts());
}

TEST_F(ChatDisplayTest, TheWrapIsTakenEvenWhenTheLastNumberWasLost) {
    Show(peer2, 32760, "a");
    Show(peer2, 1001, "after the wrap; 32761 to 32766 never came");
    EXPECT_EQ(1001, StoredCounter(peer2));
    Show(peer2, 32760, "a");
    Show(peer2, 1001, "after the wrap; 32761 to 32766 never came");
    EXPECT_EQ(2u, out.output.size());
}

TEST_F(ChatDisplayTest, UnknownSenderIsNeitherShownAnnouncedNorLogged) {
    const std::string log = ::testing::TempDir() + "mosswick-unknown-sender.txt";
    std::remove(log.c_str());
    ASSERT_TRUE(SwitchLogging(true, log.c_str()));
    std::strcpy(g_settings.Debug, "Yes");
    std::strcpy(g_settings.ChatMsg_Recieve, "Msg");
    Show(Ip(198, 18, 0, 9), 1001, "who?");
    EXPECT_TRUE(out.output.empty());
    EXPECT_TRUE(out.arrivals.empty());
    EXPECT_TRUE(out.Reports().empty());
    EXPECT_TRUE(LoggingOn());
    SwitchLogging(false, nullptr);
    std::ifstream logged(log, std::ios::binary);
    EXPECT_EQ(std::istreambuf_iterator<char>(), std::istreambuf_iterator<char>(logged));
    std::remove(log.c_str());
}

TEST_F(ChatDisplayTest, DateAndTimeInFourForms) {
    clock.now = LocalTime{2024, 3, 14, 9, 5, 0};
    const char* forms[4][3] = {
        {"Yes", "Yes", "[03/14 09:05] 7 bob > hello\r\n"},
        {"Yes", "No", "[03/14] 7 bob > hello\r\n"},
        {"No", "Yes", "[09:05] 7 bob > hello\r\n"},
        {"No", "No", "7 bob > hello\r\n"},
    };
    for (auto& form : forms) {
        std::strcpy(g_settings.Date_View, form[0]);
        std::strcpy(g_settings.Time_View, form[1]);
        // The same message again each time, as if bob had started over.
        g_peer_table.entries[FindPeerByAddress(peer2)].cnt = 1000;
        SeenNumbersOf(FindPeerByAddress(peer2))->Clear();
        Show(peer2, 1007, "hello");
        ASSERT_FALSE(out.output.empty());
        EXPECT_EQ(form[2], out.output.back().text) << form[0] << form[1];
    }
}

TEST_F(ChatDisplayTest, LineInTheSendersColourUnlessTheOutputColourIsForced) {
    Show(peer2, 1001, "a");
    Show(peer3, 1001, "b");
    std::strcpy(g_settings.OuArea_TextColor_Force, "Yes");
    g_settings.OuArea_TextColor = 0x00ABCDEF;
    Show(peer2, 1002, "c");
    EXPECT_EQ((std::vector<MessagingViews::Line>{
                  {"1 bob > a\r\n", kPeerColour}, {"1 carol > b\r\n", 0}, {"2 bob > c\r\n", 0x00ABCDEF}}),
              out.output);
}

TEST_F(ChatDisplayTest, TextIsBoundedByItsLengthAndTheBytesReceived) {
    // The length field says 3 while the text runs on.
    Bytes dg = Chat(peer2, 1001, "abcdef");
    WriteU16BE(dg.data() + kOffsetNum, 3);
    DisplayChatMessage(dg.data(), static_cast<int>(dg.size()));
    // A text without its NUL, ending with the bytes received.
    Bytes cut = Chat(peer2, 1002, "xyz");
    cut.pop_back();
    cut.pop_back();
    DisplayChatMessage(cut.data(), static_cast<int>(cut.size()));
    // A whole buffer of text without a NUL, and a length that claims more.
    Bytes full(kMaxDatagramSize, 'q');
    WriteHeader(full.data(), 0xFFFF, KIND_CHAT, peer2, 0xFFFF, 1);
    WriteU32BE(full.data() + kHeaderSize, 1003);
    DisplayChatMessage(full.data(), static_cast<int>(full.size()));
    // Too short to carry a number or a text.
    Bytes header = HeaderOnly(KIND_CHAT, peer3, 10, 1);
    DisplayChatMessage(header.data(), static_cast<int>(header.size()));
    ASSERT_EQ(4u, out.output.size());
    EXPECT_EQ("1 bob > abc\r\n", out.output[0].text);
    EXPECT_EQ("2 bob > xy\r\n", out.output[1].text);
    EXPECT_EQ("3 bob > " + std::string(255, 'q') + "\r\n", out.output[2].text);
    EXPECT_EQ("-1000 carol > \r\n", out.output[3].text);
}

struct NoticeCase {
    bool shown;
    const char* value;  // ChatMsg_Recieve or ChatMsg_Recieve_At_Toray
    bool from_own;
    std::optional<ArrivalNotice> expected;
};

TEST_F(ChatDisplayTest, NotificationByWindowStateSettingAndSender) {
    const NoticeCase cases[] = {
        {true, "Icon", false, ArrivalNotice::TitleBlink},
        {true, "Msg", false, ArrivalNotice::ShownNotice},
        {true, "None", false, std::nullopt},
        {true, "icon", false, std::nullopt},
        {true, "Msg ", false, std::nullopt},
        {true, "Icon", true, std::nullopt},  // the own echo while shown
        {true, "Msg", true, std::nullopt},
        {false, "Icon", false, ArrivalNotice::TrayBlink},
        {false, "Msg", false, ArrivalNotice::TrayNotice},
        {false, "None", false, std::nullopt},
        {false, "MSG", false, std::nullopt},
        {false, "Icon", true, ArrivalNotice::TrayBlink},  // no own-address test in the tray
        {false, "Msg", true, ArrivalNotice::TrayNotice},
    };
    int16_t number = 1001;
    for (const NoticeCase& c : cases) {
        g_modes.window_shown = c.shown;
        // The other setting says the opposite, so that reading the wrong one shows.
        std::strncpy(g_settings.ChatMsg_Recieve, c.shown ? c.value : "Msg", sizeof g_settings.ChatMsg_Recieve - 1);
        std::strncpy(g_settings.ChatMsg_Recieve_At_Toray, c.shown ? "Msg" : c.value,
                     sizeof g_settings.ChatMsg_Recieve_At_Toray - 1);
        out.arrivals.clear();
        Show(c.from_own ? own : peer2, number++, "hi");
        std::string label = std::string(c.shown ? "shown " : "tray ") + c.value + (c.from_own ? " own" : "");
        if (c.expected) {
            ASSERT_EQ(1u, out.arrivals.size()) << label;
            EXPECT_EQ(*c.expected, out.arrivals[0].notice) << label;
            EXPECT_EQ(c.from_own ? "user1" : "bob", out.arrivals[0].sender) << label;
        } else {
            EXPECT_TRUE(out.arrivals.empty()) << label;
        }
    }
    EXPECT_EQ(std::size(cases), out.output.size());  // every message was shown
}

TEST_F(ChatDisplayTest, RepeatIsNotAnnounced) {
    std::strcpy(g_settings.ChatMsg_Recieve, "Icon");
    Show(peer2, 1001, "a");
    Show(peer2, 1001, "a");
    EXPECT_EQ(1u, out.arrivals.size());
}

TEST_F(ChatDisplayTest, ReceivedChatIsShownAndAcknowledged) {
    Bytes dg = Chat(peer2, 1001, "over the wire");
    socket.Deliver(dg, peer2);
    ASSERT_TRUE(ReceiveDatagram());
    EXPECT_EQ((std::vector<std::string>{"1 bob > over the wire\r\n"}), out.OutputTexts());
    ASSERT_EQ(1u, socket.SentTo(peer2).size());
    EXPECT_EQ(KIND_RESP, ReadKind(socket.SentTo(peer2)[0].data(), kRespSize));
}

}  // namespace
