// Where windows appear: the arithmetic of the popup cascade, of the
// bottom-right corner and of the screens a saved main window may go back
// to, apart from the window system.
#pragma once
#include <atomic>
#include <vector>

constexpr int kCascadePositions = 8;

struct ScreenPoint {
    int x = 0, y = 0;
};

// A rectangle in virtual-screen coordinates: (0, 0) is the primary
// monitor's top-left corner, and a monitor left of or above it has negative
// coordinates.
struct ScreenRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// One display monitor: its work area (the screen less the taskbar and any
// desktop toolbars, wherever they stand) and whether it is the primary one.
struct Monitor {
    ScreenRect work;
    bool primary = false;
};

// The screens a saved window may go back to. The primary monitor counts as
// its full-screen client area from (0, 0); every other monitor as its work
// area less one caption height at the bottom, which is what the full-screen
// client area is on the primary monitor.
struct Screens {
    int fullscreen_width = 0, fullscreen_height = 0;  // of the primary monitor
    int caption_height = 0;
    std::vector<Monitor> monitors;  // the primary one among them is not looked at
};

// The cascade: index k (0 to 7) moves a window k caption heights right and
// down. Each use takes the current index and advances it, back to 0 after 7.
// Popup windows open on threads of their own, so taking is one atomic step.
class Cascade {
public:
    // The offset for the next window; advances the index.
    int TakeOffset(int caption_height);
    int index() const { return index_.load(); }
    void Reset() { index_.store(0); }

private:
    std::atomic<int> index_{0};
};

// The top-left corner that puts a window of the given size at the bottom
// right of a work area, one pixel in from its right and bottom edges.
ScreenPoint CornerPosition(const ScreenRect& work, int window_width, int window_height);

// Whether a saved window rectangle is put back: at least 370 wide and 350
// high, and its top-left corner inside one screen's area (not left of or
// above it) and more than 5 pixels from that area's right and bottom edges.
// With no monitor besides the primary this is the rule of the primary
// screen alone.
bool IsSavedRectOnScreen(const ScreenRect& saved, const Screens& screens);
