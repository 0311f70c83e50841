// Popup messages as their windows keep and answer them: the record's copy is
// bounded by the bytes received, the sender's name and colours come from the
// peer table, a reply goes back as a popup built byte for byte like the send
// command's, and only so many windows are open at once.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "messaging/popup_limit.h"
#include "messaging/popup_message.h"
#include "net/pending_acks.h"
#include "tests/messaging/messaging_fakes.h"

namespace {

class PopupTest : public MessagingFixture {
protected:
    static Bytes Popup(uint32_t from, const char* text) {
        Bytes b(kMessageBufferSize, 0);
        int len = BuildPopupDatagram(b.data(), from, 3000, text, std::strlen(text));
        b.resize(static_cast<size_t>(len));
        return b;
    }
};

TEST_F(PopupTest, TheRecordKeepsNoMoreThanArrivedAndItsTextEndsInside) {
    Bytes dg = Popup(peer2, "hello");
    auto record = MakePopupRecord(dg.data(), static_cast<int>(dg.size()));
    EXPECT_EQ(dg.size() + 1, record->datagram.size());
    EXPECT_EQ("hello", PopupText(*record));
    EXPECT_EQ(peer2, record->sender);

    // A len beyond the bytes received, no NUL and a num that claims more.
    Bytes lying = dg;
    lying.resize(kMessageTextOffset + 3);
    WriteHeader(lying.data(), 2000, KIND_POPUP, peer2, 200, 1);
    record = MakePopupRecord(lying.data(), static_cast<int>(lying.size()));
    EXPECT_EQ(lying.size() + 1, record->datagram.size());
    EXPECT_EQ("hel", PopupText(*record));
    // A num shorter than the text cuts it; a len shorter than the header
    // leaves no text at all.
    WriteHeader(lying.data(), static_cast<uint16_t>(lying.size()), KIND_POPUP, peer2, 2, 1);
    EXPECT_EQ("he", PopupText(*MakePopupRecord(lying.data(), static_cast<int>(lying.size()))));
    WriteHeader(lying.data(), 10, KIND_POPUP, peer2, 3, 1);
    EXPECT_EQ("", PopupText(*MakePopupRecord(lying.data(), static_cast<int>(lying.size()))));
}

TEST_F(PopupTest, SenderNameAndColoursFromThePeerTable) {
    g_settings.OuArea_BackColor = 0x00EEEEEE;
    g_settings.OuArea_TextColor = 0x00000011;
    auto record = MakePopupRecord(Popup(peer2, "x").data(), 24);
    ASSERT_TRUE(LookUpPopupSender(record.get()));
    EXPECT_STREQ("bob", record->name);
    EXPECT_EQ(kPeerColour, record->text_colour);
    EXPECT_EQ(0x00EEEEEEu, record->back_colour);

    std::strcpy(g_settings.OuArea_TextColor_Force, "Yes");
    ASSERT_TRUE(LookUpPopupSender(record.get()));
    EXPECT_EQ(0x00000011u, record->text_colour);

    auto stranger = MakePopupRecord(Popup(Ip(198, 18, 0, 9), "x").data(), 24);
    EXPECT_FALSE(LookUpPopupSender(stranger.get()));
    EXPECT_STREQ("", stranger->name);
    EXPECT_FALSE(stranger->sender_known);

    g_settings.InArea_TextColor = 0x00010203;
    g_settings.InArea_BackColor = 0x00FFFFFF;
    SetReplyColours(record.get());
    EXPECT_EQ(kOwnColour, record->text_colour);
    std::strcpy(g_settings.InArea_TextColor_Force, "Yes");
    SetReplyColours(record.get());
    EXPECT_EQ(0x00010203u, record->text_colour);
    EXPECT_EQ(0x00FFFFFFu, record->back_colour);
}

TEST_F(PopupTest, AReplyIsAPopupToTheSenderKeptForResending) {
    auto record = MakePopupRecord(Popup(peer2, "question").data(), 29);
    EXPECT_FALSE(SendPopupReply(*record, ""));
    EXPECT_TRUE(socket.sent.empty());

    SetDatagramCount(4000);
    ASSERT_TRUE(SendPopupReply(*record, "answer"));
    ASSERT_EQ(1u, socket.sent.size());
    EXPECT_EQ(peer2, socket.sent[0].address);
    EXPECT_EQ(kPort, socket.sent[0].port);
    const uint8_t expected[] = {'K', '0', '0', '1', 0, 27, 0, 6, 198, 18, 0, 1, 0, 6, 0x0F, 0xA1,
                                0, 0, 0, 0, 'a', 'n', 's', 'w', 'e', 'r', 0};
    EXPECT_EQ(Bytes(expected, expected + sizeof expected), socket.sent[0].bytes);
    EXPECT_EQ(1, PendingCount());

    // A popup without a sender address is answered to no one, never to the
    // whole host list.
    AddHostAddress(Ip(10, 0, 0, 9));
    record->sender = 0;
    EXPECT_FALSE(SendPopupReply(*record, "answer"));
    EXPECT_EQ(1u, socket.sent.size());
    record->sender = peer2;

    // No socket: nothing is sent, and that counts as done.
    socket.open = false;
    EXPECT_TRUE(SendPopupReply(*record, "again"));
    EXPECT_EQ(1u, socket.sent.size());
}

TEST(PopupLimitTest, OnlySoManyOpenAtOnceWhicheverThreadsCount) {
    PopupLimit limit;
    std::vector<std::thread> threads;
    std::atomic<int> opened{0};
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 20; ++i)
                if (limit.TryOpen()) ++opened;
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(kMaxOpenPopups, opened.load());
    EXPECT_FALSE(limit.TryOpen());
    limit.Closed();
    EXPECT_TRUE(limit.TryOpen());
    for (int i = 0; i < kMaxOpenPopups + 5; ++i) limit.Closed();
    EXPECT_EQ(0, limit.open());
    EXPECT_GE(kMaxOpenPopups, 30);
}

}  // namespace
