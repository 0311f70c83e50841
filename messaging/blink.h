// The blinking icons: the tray icon while the program waits in the tray, and
// the title-bar icon for 15 seconds after an arrival while the window is
// shown. One blink icon serves both timers; each 500 ms tick toggles it
// between the normal icon and the alert icon that Icon_Color chooses.
#pragma once
#include <cstdint>

enum class BlinkIcon { Normal, Yellow, Green, Red, SkyBlue };

// The alert icon by the first letter of Icon_Color: "Y", "G", "R", "S";
// any other value gives the normal icon, so the icon never changes.
BlinkIcon AlertIcon(const char* icon_color);

// Title-bar ticks before the blinking stops: 30 toggles, 15 seconds.
constexpr int kTitleBlinkToggles = 30;

struct BlinkState {
    BlinkIcon icon = BlinkIcon::Normal;  // the icon last shown by either timer
    uint16_t title_ticks = 0;            // not reset when an arrival restarts the timer
};

// A tray tick: the icon to show now.
BlinkIcon TrayBlinkTick(BlinkState* state, const char* icon_color);

struct TitleBlinkStep {
    BlinkIcon icon;  // the title bar's icon now
    bool stop;       // the title-blink timer is to be stopped
};
// A title-bar tick: from the 31st on, the normal icon and the timer stopped.
TitleBlinkStep TitleBlinkTick(BlinkState* state, const char* icon_color);
