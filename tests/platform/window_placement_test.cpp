#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/window_placement.h"

namespace {

TEST(Cascade, StepsThroughEightPositionsAndWraps) {
    Cascade cascade;
    std::vector<int> offsets;
    for (int i = 0; i < 9; ++i) offsets.push_back(cascade.TakeOffset(19));
    EXPECT_EQ(0, offsets[0]);
    EXPECT_EQ(19, offsets[1]);
    EXPECT_EQ(7 * 19, offsets[7]);
    EXPECT_EQ(offsets[0], offsets[8]);  // the ninth window sits where the first did
    EXPECT_EQ(1, cascade.index());
}

// Popup windows open on their own threads: no position is lost or doubled.
TEST(Cascade, ConcurrentTakersShareTheIndex) {
    Cascade cascade;
    auto take = [&] {
        for (int i = 0; i < 1000; ++i) cascade.TakeOffset(1);
    };
    std::thread a(take), b(take), c(take);
    a.join();
    b.join();
    c.join();
    EXPECT_EQ(3000 % kCascadePositions, cascade.index());
}

// A 300 x 200 window one pixel in from the work area's bottom-right corner:
// taskbar at the bottom (where it always was: the full-screen client height,
// 719, plus a caption of 19), taskbar at the top and a toolbar at the right,
// and a monitor left of and above the primary one.
TEST(CornerPosition, BottomRightOfTheWorkArea) {
    for (auto [work, x, y] : {std::tuple{ScreenRect{0, 0, 1024, 738}, 723, 537},
                              {ScreenRect{0, 30, 964, 768}, 663, 567}, {ScreenRect{-1280, -256, 0, 728}, -301, 527}}) {
        ScreenPoint p = CornerPosition(work, 300, 200);
        EXPECT_EQ(std::pair(p.x, p.y), std::pair(x, y));
    }
}

// The primary monitor (1024 x 768, taskbar 30 high at the top) counts as its
// full-screen client area from (0, 0), as it always did; a second monitor
// right of it and a third left of and above it count as their work areas
// less a caption, and only while they are there.
TEST(SavedRect, KeptOnAnyMonitorThatIsThere) {
    const Screens all{1024, 719, 19,
                      {{{0, 30, 1024, 768}, true}, {{1024, 0, 2944, 1040}, false}, {{-1280, -256, 0, 728}, false}}};
    const Screens primary_only{1024, 719, 19, {all.monitors[0]}};
    struct Case {
        ScreenRect rect;
        bool on_all, on_primary;
    } cases[] = {
        {{100, 10, 600, 500}, true, true},        // under the taskbar, as always
        {{1019, 100, 1500, 600}, false, false},   // 5 pixels from the primary's right edge
        {{1024, 100, 1500, 600}, true, false},    // on the second monitor
        {{2938, 1015, 3400, 1500}, true, false},  // 6 from its right edge and from its caption
        {{2939, 100, 3400, 600}, false, false},
        {{1100, 1016, 1600, 1500}, false, false},
        {{-1280, -256, -900, 200}, true, false},  // the top-left corner of the third
        {{-1281, 100, -900, 600}, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.rect.left) + "," + std::to_string(c.rect.top));
        EXPECT_EQ(IsSavedRectOnScreen(c.rect, all), c.on_all);
        EXPECT_EQ(IsSavedRectOnScreen(c.rect, primary_only), c.on_primary);
    }
}

}  // namespace
