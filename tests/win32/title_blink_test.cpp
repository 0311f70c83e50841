// The title-bar blink on a real window, read back as the window system holds
// it: the small icon alternates with the alert icon on each tick, the 31st
// tick puts the normal icon back and stops the timer, and an arrival while it
// blinks only restarts the timer's period.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>

#include "settings/settings.h"
#include "resources/command_ids.h"
#include "shell/win32/arrival_notice.h"
#include "shell/win32/main_window.h"

namespace {

class TitleBlink : public ::testing::Test {
protected:
    HWND window = nullptr;
    MainWindowState saved;

    void SetUp() override {
        saved = g_main;
        window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 10, 10, nullptr, nullptr, GetModuleHandleA(nullptr),
                                 nullptr);
        ASSERT_NE(nullptr, window);
        g_main.normal_icon = LoadIconA(nullptr, IDI_APPLICATION);
        g_main.alert_icons[0] = LoadIconA(nullptr, IDI_WARNING);
        g_main.alert_icons[1] = LoadIconA(nullptr, IDI_ERROR);
        g_main.alert_icons[2] = LoadIconA(nullptr, IDI_QUESTION);
        g_main.alert_icons[3] = LoadIconA(nullptr, IDI_INFORMATION);
        g_main.blink = BlinkState{};
        std::strcpy(g_settings.Icon_Color, "Red");
    }
    void TearDown() override {
        KillTimer(window, IDT_TITLEBLINK);
        DestroyWindow(window);
        g_main = saved;
    }
    HICON SmallIcon() const { return reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, ICON_SMALL, 0)); }
    // A timer that is running can be killed; one that is not, cannot.
    bool TimerRunning() {
        bool running = KillTimer(window, IDT_TITLEBLINK) != FALSE;
        if (running) StartTitleBlink(window);
        return running;
    }
};

TEST_F(TitleBlink, ThirtyTogglesThenTheNormalIconAndNoTimer) {
    StartTitleBlink(window);
    EXPECT_TRUE(TimerRunning());
    for (int tick = 1; tick <= 30; ++tick) {
        if (tick == 20) StartTitleBlink(window);  // another arrival: the count goes on
        OnTitleBlinkTick(window);
        EXPECT_EQ(tick % 2 == 1 ? g_main.alert_icons[3] : g_main.normal_icon, SmallIcon()) << tick;
    }
    EXPECT_TRUE(TimerRunning());
    OnTitleBlinkTick(window);
    EXPECT_EQ(g_main.normal_icon, SmallIcon());
    EXPECT_FALSE(TimerRunning());
}

TEST_F(TitleBlink, AColourWithoutAnIconNeverChangesIt) {
    std::strcpy(g_settings.Icon_Color, "Blue");
    for (int tick = 0; tick < 4; ++tick) {
        OnTitleBlinkTick(window);
        EXPECT_EQ(g_main.normal_icon, SmallIcon());
    }
}

}  // namespace
