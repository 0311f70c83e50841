#include "platform/window_placement.h"

#include <cstdint>

namespace {

// The top-left corner lies in the area, at least 6 pixels from its right
// edge and from its bottom edge less `bottom_margin`. 64-bit arithmetic: a
// hand-edited rectangle must not overflow.
bool CornerInside(const ScreenRect& saved, const ScreenRect& area, int bottom_margin) {
    return saved.left >= area.left && saved.top >= area.top && saved.left < int64_t{area.right} - 5 &&
           saved.top < int64_t{area.bottom} - bottom_margin - 5;
}

}  // namespace

int Cascade::TakeOffset(int caption_height) {
    int k = index_.load();
    while (!index_.compare_exchange_weak(k, (k + 1) % kCascadePositions)) {
    }
    return k * caption_height;
}

ScreenPoint CornerPosition(const ScreenRect& work, int window_width, int window_height) {
    return ScreenPoint{work.right - window_width - 1, work.bottom - window_height - 1};
}

bool IsSavedRectOnScreen(const ScreenRect& saved, const Screens& screens) {
    const int64_t width = int64_t{saved.right} - saved.left;
    const int64_t height = int64_t{saved.bottom} - saved.top;
    if (width < 370 || height < 350) return false;
    const ScreenRect primary{0, 0, screens.fullscreen_width, screens.fullscreen_height};
    if (CornerInside(saved, primary, 0)) return true;
    for (const Monitor& monitor : screens.monitors) {
        if (!monitor.primary && CornerInside(saved, monitor.work, screens.caption_height)) return true;
    }
    return false;
}
