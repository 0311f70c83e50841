#include <gtest/gtest.h>

#include "shell/split_drag.h"

namespace {

// A main window whose outer frame spans x 100..650 and y 50..500; its client
// area starts at (104, 80). Toolbar bottom at 108, input area 420..460 on the
// screen, status bar from 480.
DragFrame Frame() {
    DragFrame f;
    f.main = {100, 50, 650, 500};
    f.toolbar = {104, 80, 646, 108};
    f.input = {247, 420, 596, 460};
    f.status = {104, 480, 646, 500};
    f.client_left = 104;
    f.client_top = 80;
    f.type1_position = 140;
    return f;
}

ScreenRect At(int left, int top) { return {left, top, left + 300, top + 3}; }

TEST(SplitDragType1, SecondBarStaysBetweenTheFrameEdges) {
    DragFrame f = Frame();
    DragResult far_left = LimitSplitBarMove(SplitBar::Second, false, At(-500, 200), f);
    EXPECT_EQ(110, far_left.bar.left);  // 10 right of the outer left edge
    EXPECT_EQ(113, far_left.bar.right);
    EXPECT_EQ(6, far_left.position);
    EXPECT_EQ(108, far_left.bar.top);     // the toolbar's bottom
    EXPECT_EQ(480, far_left.bar.bottom);  // the status bar's top
    DragResult far_right = LimitSplitBarMove(SplitBar::Second, false, At(2000, 200), f);
    EXPECT_EQ(590, far_right.bar.left);  // 60 short of the outer right edge
    EXPECT_EQ(486, far_right.position);
    EXPECT_EQ(300 - 104, LimitSplitBarMove(SplitBar::Second, false, At(300, 0), f).position);
}

TEST(SplitDragType1, FirstBarStaysBetweenToolbarAndInputBottom) {
    DragFrame f = Frame();
    DragResult up = LimitSplitBarMove(SplitBar::First, false, At(300, 0), f);
    EXPECT_EQ(108, up.bar.top);
    EXPECT_EQ(28, up.position);
    DragResult down = LimitSplitBarMove(SplitBar::First, false, At(300, 1000), f);
    EXPECT_EQ(453, down.bar.top);  // 7 above the input area's bottom edge
    EXPECT_EQ(456, down.bar.bottom);
    EXPECT_EQ(373, down.position);
    // It spans from the user area's bar to the frame's right edge.
    EXPECT_EQ(244, down.bar.left);
    EXPECT_EQ(650, down.bar.right);
}

TEST(SplitDragType1, InputBottomLimitWinsOverTheToolbar) {
    DragFrame f = Frame();
    f.input.bottom = 110;  // a window so low that both limits conflict
    EXPECT_EQ(103, LimitSplitBarMove(SplitBar::First, false, At(300, 0), f).bar.top);
}

TEST(SplitDragType2, BarsSpanTheFrameAndKeepTheirLimits) {
    DragFrame f = Frame();
    DragResult first = LimitSplitBarMove(SplitBar::First, true, At(300, 1000), f);
    EXPECT_EQ(100, first.bar.left);
    EXPECT_EQ(650, first.bar.right);
    EXPECT_EQ(453, first.bar.top);
    DragResult second_up = LimitSplitBarMove(SplitBar::Second, true, At(300, 0), f);
    EXPECT_EQ(424, second_up.bar.top);  // 4 below the input area's top
    EXPECT_EQ(344, second_up.position);
    DragResult second_down = LimitSplitBarMove(SplitBar::Second, true, At(300, 1000), f);
    EXPECT_EQ(475, second_down.bar.top);  // 5 above the status bar
    EXPECT_EQ(478, second_down.bar.bottom);
    EXPECT_EQ(395, second_down.position);
}

}  // namespace
