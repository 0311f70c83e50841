// A chat line or popup that never arrived: once its last resend has gone a
// whole tick unanswered, the sender's output area says so, naming the
// receiver and the text; nothing more is sent and nothing is logged.
#include <gtest/gtest.h>

#include <cstring>

#include "messaging/chat_send.h"
#include "messaging/undelivered_notice.h"
#include "net/pending_acks.h"
#include "tests/messaging/messaging_fakes.h"

namespace {

class UndeliveredTest : public MessagingFixture {
protected:
    // Sends `text` to bob alone and returns what was kept.
    Bytes SendToBob(const char* text, bool popup = false) {
        out.input = text;
        out.selection = {"198.18.0.2"};
        SendTyped(true, popup);
        return socket.SentTo(peer2).back();
    }
    void Passes(int n) {
        for (int i = 0; i < n; ++i) ResendPass();
    }
};

TEST_F(UndeliveredTest, TheSenderIsToldOnceTheLastCopyWentUnanswered) {
    SendToBob("会議は三時");
    const size_t shown = out.OutputTexts().size();  // the own copy of the line
    Passes(5);
    EXPECT_EQ(out.OutputTexts().size(), shown);      // the fifth resend may still be answered
    const size_t sends = socket.SentTo(peer2).size();
    Passes(1);
    ASSERT_EQ(out.OutputTexts().size(), shown + 1);
    EXPECT_EQ(out.OutputTexts().back(), "[未達] bob (198.18.0.2) へのメッセージは届きませんでした： 会議は三時\r\n");
    EXPECT_EQ(out.output.back().colour, kUndeliveredColour);
    EXPECT_EQ(socket.SentTo(peer2).size(), sends);  // nothing more on the wire
    Passes(3);
    EXPECT_EQ(out.OutputTexts().size(), shown + 1);  // told once
}

TEST_F(UndeliveredTest, AnAnswerToTheLastCopyOrTheKeyTurnedOffSaysNothing) {
    Bytes kept = SendToBob("遅れて届く");
    Passes(5);
    MakeResp(kept.data(), peer2);  // bob's acknowledgement of the last copy, a moment late
    WriteAddress(kept.data() + kOffsetAddr, peer2);
    PendingAcknowledge(kept.data(), kRespSize);
    const size_t shown = out.OutputTexts().size();
    Passes(2);
    EXPECT_EQ(out.OutputTexts().size(), shown);

    std::strcpy(g_settings.Undelivered_Notice, "No");
    SendToBob("ポップアップ", true);
    Passes(8);
    EXPECT_EQ(out.OutputTexts().size(), shown);
    // A popup is named as one; an unknown receiver by its address.
    Bytes popup(kMessageBufferSize, 0);
    popup.resize(static_cast<size_t>(BuildPopupDatagram(popup.data(), own, 5, "至急", std::strlen("至急"))));
    EXPECT_EQ(UndeliveredLine("", Ip(10, 0, 0, 9), popup.data(), static_cast<int>(popup.size())),
              "[未達] 10.0.0.9 へのポップアップは届きませんでした： 至急\r\n");
}

}  // namespace
