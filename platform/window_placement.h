// Where popup windows and dialogs appear: the arithmetic of the cascade and
// of the bottom-right corner, apart from the window system.
#pragma once
#include <atomic>

constexpr int kCascadePositions = 8;

struct ScreenPoint {
    int x = 0, y = 0;
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
// right of the screen: x = screen width - window width - 1, y = full-screen
// client height + caption height - window height - 1.
ScreenPoint CornerPosition(int screen_width, int fullscreen_client_height, int caption_height,
                           int window_width, int window_height);
