#include <gtest/gtest.h>

#include <thread>
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

TEST(CornerPosition, BottomRightOfTheScreen) {
    ScreenPoint p = CornerPosition(1024, 740, 19, 300, 200);
    EXPECT_EQ(1024 - 300 - 1, p.x);
    EXPECT_EQ(740 + 19 - 200 - 1, p.y);
}

}  // namespace
