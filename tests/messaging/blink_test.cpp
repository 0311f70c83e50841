// The blink rules of the tray and title-bar icons, and one notice at a time.
#include <gtest/gtest.h>

#include "messaging/blink.h"
#include "messaging/notice_gate.h"

namespace {

TEST(BlinkTest, TheTitleBlinksThirtyTimesAndAnArrivalDoesNotLengthenIt) {
    BlinkState state;
    std::vector<BlinkIcon> shown;
    int ticks = 0;
    for (;; ++ticks) {
        // An arrival meanwhile only restarts the timer: the count goes on.
        TitleBlinkStep step = TitleBlinkTick(&state, "Yellow");
        shown.push_back(step.icon);
        if (step.stop) break;
    }
    EXPECT_EQ(kTitleBlinkToggles, ticks);  // the 31st tick stops it
    EXPECT_EQ(BlinkIcon::Normal, shown.back());
    EXPECT_EQ(BlinkIcon::Yellow, shown[0]);
    EXPECT_EQ(BlinkIcon::Normal, shown[1]);
    EXPECT_EQ(0, state.title_ticks);
    // A new arrival after it stopped: another 15 seconds.
    EXPECT_FALSE(TitleBlinkTick(&state, "Yellow").stop);
}

TEST(BlinkTest, IconColourByFirstLetter) {
    EXPECT_EQ(BlinkIcon::Yellow, AlertIcon("Yellow"));
    EXPECT_EQ(BlinkIcon::Green, AlertIcon("Gx"));
    EXPECT_EQ(BlinkIcon::Red, AlertIcon("Red"));
    EXPECT_EQ(BlinkIcon::SkyBlue, AlertIcon("SkyBlue"));
    BlinkState state;
    for (int i = 0; i < 5; ++i) EXPECT_EQ(BlinkIcon::Normal, TrayBlinkTick(&state, "Blue"));
    EXPECT_EQ(BlinkIcon::Red, TrayBlinkTick(&state, "Red"));
    EXPECT_EQ(BlinkIcon::Normal, TrayBlinkTick(&state, "Red"));
    // A title blink after tray ticks shares the one icon.
    EXPECT_EQ(BlinkIcon::Green, TitleBlinkTick(&state, "Green").icon);
    EXPECT_EQ(BlinkIcon::Normal, TrayBlinkTick(&state, "Green"));
}

TEST(NoticeGateTest, TwoArrivalsWhileANoticeIsOpenGiveOneNotice) {
    NoticeGate gate;
    EXPECT_TRUE(gate.TryBegin());
    EXPECT_FALSE(gate.TryBegin());
    EXPECT_FALSE(gate.TryBegin());
    gate.End();
    EXPECT_TRUE(gate.TryBegin());
}

}  // namespace
