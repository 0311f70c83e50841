#include <gtest/gtest.h>

#include "messaging/chat_send.h"
#include "net/lock_order.h"
#include "tests/messaging/messaging_fakes.h"

namespace {

class ChatSendTest : public MessagingFixture {
protected:
    void SetUp() override {
        MessagingFixture::SetUp();
        socket.sent.clear();
        out.input = "hi";
    }
    void Send(bool personal = false, bool popup = false) { SendTyped(personal, popup); }
    void OnlyTheOwnEntry() {
        PeerTableLock lock;
        KeepOnlyOwnEntry();
    }
    static int16_t NumberOf(const Bytes& dg) { return ChatMessageNumber(dg.data(), static_cast<int>(dg.size())); }
    // Nothing went out, nothing was shown, the text is still there.
    void ExpectNothingDone(const char* text = "hi") {
        EXPECT_TRUE(socket.sent.empty());
        EXPECT_TRUE(out.output.empty());
        EXPECT_EQ(text, out.input);
    }
};

TEST_F(ChatSendTest, ChatToEveryoneGoesToEachPeerKeptThenShownAndCleared) {
    std::strcpy(g_settings.ChatMsg_Recieve, "Icon");
    SetDatagramCount(2000);
    Send();
    ASSERT_EQ(2u, socket.sent.size());
    EXPECT_EQ(peer2, socket.sent[0].address);
    EXPECT_EQ(peer3, socket.sent[1].address);
    const Bytes& dg = socket.sent[0].bytes;
    EXPECT_EQ(kPort, socket.sent[0].port);
    ASSERT_EQ(23u, dg.size());
    DatagramHeader h = ReadHeader(dg.data(), 23);
    EXPECT_EQ(0, std::memcmp(dg.data(), "K001", 4));
    EXPECT_EQ(23, h.len);
    EXPECT_EQ(KIND_CHAT, h.kind);
    EXPECT_EQ(own, h.addr);
    EXPECT_EQ(2, h.num);
    EXPECT_EQ(2001, h.allCount);
    EXPECT_EQ(1001u, ReadU32BE(dg.data() + kHeaderSize));
    EXPECT_EQ(0, std::memcmp(dg.data() + kMessageTextOffset, "hi\0", 3));
    EXPECT_EQ(dg, socket.sent[1].bytes);  // one datagram built for all
    EXPECT_EQ(2, PendingCount());
    // The own line, in the own colour, announcing nothing while the window is shown.
    EXPECT_EQ((std::vector<MessagingViews::Line>{{"1 user1 > hi\r\n", kOwnColour}}), out.output);
    EXPECT_TRUE(out.arrivals.empty());
    EXPECT_EQ("", out.input);
}

TEST_F(ChatSendTest, NumbersRunFrom1001To32766AndEachEchoIsShown) {
    SetMessageCounter(32765);
    std::vector<int16_t> numbers;
    for (int i = 0; i < 3; ++i) {
        out.input = "m";
        Send();
        numbers.push_back(NumberOf(socket.sent.back().bytes));
    }
    EXPECT_EQ((std::vector<int16_t>{32766, 1001, 1002}), numbers);
    EXPECT_EQ((std::vector<std::string>{"31766 user1 > m\r\n", "1 user1 > m\r\n", "2 user1 > m\r\n"}),
              out.OutputTexts());
}

TEST_F(ChatSendTest, NoDestinationSelectedTwiceUsesNoNumber) {
    for (int i = 0; i < 2; ++i) Send(true);
    ASSERT_EQ(2u, out.boxes.size());
    EXPECT_EQ("送信先が選択されていません", out.boxes[0].text);
    EXPECT_EQ("Mosswick - メッセージの送信", out.boxes[0].title);
    EXPECT_EQ(BoxIcon::Information, out.boxes[0].icon);
    ExpectNothingDone();
    EXPECT_EQ(1000, MessageCounter());
    out.selection = {FormatDottedAddress(peer2)};
    Send(true);
    EXPECT_EQ(1001, NumberOf(socket.sent.at(0).bytes));
}

TEST_F(ChatSendTest, PopupLeavesTheMessageCounterAloneAndIsNotShown) {
    SetDatagramCount(2000);
    Send(false, true);
    ASSERT_EQ(2u, socket.sent.size());
    DatagramHeader h = ReadHeader(socket.sent[0].bytes.data(), 23);
    EXPECT_EQ(KIND_POPUP, h.kind);
    EXPECT_EQ(2001, h.allCount);
    EXPECT_EQ(0u, ReadU32BE(socket.sent[0].bytes.data() + kHeaderSize));
    EXPECT_EQ(1000, MessageCounter());
    EXPECT_TRUE(out.output.empty());
    EXPECT_EQ("", out.input);
    // A personal popup to the own row only: nothing goes out, nothing is shown.
    socket.sent.clear();
    out.input = "p";
    out.selection = {FormatDottedAddress(own)};
    Send(true, true);
    EXPECT_TRUE(socket.sent.empty());
    EXPECT_TRUE(out.output.empty());
    EXPECT_EQ("", out.input);
    EXPECT_EQ(2002, CurrentDatagramCount());
}

TEST_F(ChatSendTest, PersonalDestinations) {
    struct Case {
        std::vector<uint32_t> selected;
        std::vector<uint32_t> sent_to;
        size_t lines_shown;
    } cases[] = {
        {{own}, {}, 1},
        {{peer2, own, peer3}, {peer2, peer3}, 1},
        {{peer3}, {peer3}, 0},
    };
    for (const Case& c : cases) {
        socket.sent.clear();
        out.output.clear();
        out.input = "to you";
        out.selection.clear();
        for (uint32_t a : c.selected) out.selection.push_back(FormatDottedAddress(a));
        Send(true);
        std::vector<uint32_t> sent_to;
        for (const FakeSocket::Sent& s : socket.sent) sent_to.push_back(s.address);
        EXPECT_EQ(c.sent_to, sent_to) << c.selected.size();
        EXPECT_EQ(c.lines_shown, out.output.size()) << c.selected.size();
        EXPECT_EQ("", out.input);
    }
}

TEST_F(ChatSendTest, EveryoneWithNoPeersSendsNothingButShowsAndClears) {
    OnlyTheOwnEntry();
    Send();
    EXPECT_TRUE(socket.sent.empty());
    EXPECT_EQ((std::vector<std::string>{"1 user1 > hi\r\n"}), out.OutputTexts());
    EXPECT_EQ("", out.input);
}

TEST_F(ChatSendTest, PersonalPopupAsksBothQuestionsInOrder) {
    std::strcpy(g_settings.Broadcast_Send_Check, "Yes");
    std::strcpy(g_settings.Personal_Send_Check, "Yes");
    std::strcpy(g_settings.Popup_Send_Check, "Yes");
    out.selection = {FormatDottedAddress(peer2)};
    const std::vector<std::string> both = {"個人送信しますか？", "ポップアップ形式で送信しますか？"};

    out.answers = {true, false};
    Send(true, true);
    EXPECT_EQ(both, out.questions);
    ExpectNothingDone();

    out.questions.clear();
    out.answers = {false};
    Send(true, true);
    EXPECT_EQ(std::vector<std::string>{both[0]}, out.questions);
    ExpectNothingDone();

    out.questions.clear();
    Send(true, true);
    EXPECT_EQ(both, out.questions);
    EXPECT_EQ(1u, socket.sent.size());
    EXPECT_EQ(1001, CurrentDatagramCount());  // a No builds nothing
}

TEST_F(ChatSendTest, EachModeAsksOnlyItsOwnQuestion) {
    std::strcpy(g_settings.Broadcast_Send_Check, "Yes");
    out.answers = {false};
    Send();
    EXPECT_EQ(std::vector<std::string>{"全員に送信しますか？"}, out.questions);
    ExpectNothingDone();
    EXPECT_EQ(1000, MessageCounter());

    out.questions.clear();
    out.selection = {FormatDottedAddress(peer2)};
    Send(true);  // Personal_Send_Check is off
    EXPECT_TRUE(out.questions.empty());
    EXPECT_EQ(1u, socket.sent.size());
}

TEST_F(ChatSendTest, FailedSendsEndTheCommandWithTheTextKept) {
    std::strcpy(g_settings.Debug, "Yes");
    socket.failing.insert(peer2);
    Send();  // everyone: peer2 comes first, peer3 gets nothing
    Send(true);
    out.selection = {FormatDottedAddress(peer3), FormatDottedAddress(peer2), FormatDottedAddress(own)};
    Send(true);
    EXPECT_EQ((std::vector<std::string>{"0024:0010", "0024:0020"}), out.Reports());
    EXPECT_EQ(1u, socket.sent.size());  // peer3, before peer2 failed
    EXPECT_TRUE(out.output.empty());
    EXPECT_EQ("hi", out.input);
    EXPECT_EQ(1002, MessageCounter());  // a failed send keeps its number
}

TEST_F(ChatSendTest, RowThatIsNoAddressIsNeverSentTo) {
    std::strcpy(g_settings.Debug, "Yes");
    for (const char* row : {"garbage", "255.255.255.255", "0.0.0.0"}) {
        out.selection = {row};
        Send(true);
    }
    EXPECT_EQ((std::vector<std::string>{"0024:0020", "0024:0020", "0024:0020"}), out.Reports());
    ExpectNothingDone();
}

TEST_F(ChatSendTest, NothingBeforeTheNetworkIsReadyOrWithoutText) {
    g_transport.network_ready = false;
    Send();
    ExpectNothingDone();
    g_transport.network_ready = true;
    out.input = "";
    Send();
    ExpectNothingDone("");
    EXPECT_EQ(1000, MessageCounter());
    EXPECT_TRUE(out.boxes.empty());
}

TEST_F(ChatSendTest, EveryoneIsSentUnderThePeerTableLockReleasedBeforeTheEcho) {
    std::vector<std::string> journal;
    JournalSemaphore table("table", &journal), pending("pending", &journal);
    g_platform.peer_table_lock = &table;
    g_platform.pending_ack_lock = &pending;
    Send();
    g_platform.peer_table_lock = nullptr;
    g_platform.pending_ack_lock = nullptr;
    EXPECT_EQ((std::vector<std::string>{"table+", "pending+", "pending-", "pending+", "pending-", "table-",
                                        "table+", "table-"}),
              journal);
    EXPECT_EQ(1u, out.output.size());
}

}  // namespace
