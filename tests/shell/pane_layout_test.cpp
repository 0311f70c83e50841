#include <gtest/gtest.h>

#include "shell/pane_layout.h"

namespace {

// Client 550 x 400, toolbar client height 26 (TB 28), status bar 20 (SY 380).
constexpr int kToolbar = 26, kStatus = 20;

TEST(PaneLayoutType1, PlacesPanesAroundTheBars) {
    SplitPositions pos;  // 330, 140, 400
    PaneLayout l = LayOutPanes(550, 400, kToolbar, kStatus, false, &pos);
    EXPECT_EQ(330, pos.first);
    EXPECT_EQ(140, pos.type1);
    EXPECT_EQ(0, l.toolbar.y);
    EXPECT_EQ(28, l.toolbar.height);
    EXPECT_EQ(380, l.status_bar.y);
    EXPECT_EQ(20, l.status_bar.height);
    // User area on the left, the second bar at its right edge.
    EXPECT_EQ(140, l.user_area.width);
    EXPECT_EQ(352, l.user_area.height);
    EXPECT_EQ(140, l.second_bar.x);
    EXPECT_EQ(3, l.second_bar.width);
    // Output above the first bar, input below it.
    EXPECT_EQ(143, l.output.x);
    EXPECT_EQ(407, l.output.width);
    EXPECT_EQ(302, l.output.height);
    EXPECT_EQ(330, l.first_bar.y);
    EXPECT_EQ(333, l.input.y);
    EXPECT_EQ(47, l.input.height);
    // The input area is 50 narrower than the output area and ends where the
    // send button begins.
    EXPECT_EQ(l.output.width - 50, l.input.width);
    EXPECT_EQ(l.input.x + l.input.width, l.send_button.x);
    EXPECT_EQ(500, l.send_button.x);
    EXPECT_EQ(50, l.send_button.width);
}

TEST(PaneLayoutType1, ClampsAndKeepsBarsBeyondTheWindow) {
    SplitPositions pos;
    pos.type1 = 500;
    pos.first = 900;
    PaneLayout l = LayOutPanes(400, 400, kToolbar, kStatus, false, &pos);
    EXPECT_EQ(340, l.user_area.width);
    EXPECT_EQ(340, pos.type1);
    EXPECT_EQ(373, pos.first);  // SY - 7
    EXPECT_EQ(4, l.input.height);
}

TEST(PaneLayoutType2, SplitsTheUserRowFiveToOne) {
    SplitPositions pos;
    pos.first = 250;
    pos.type2 = 300;
    PaneLayout l = LayOutPanes(600, 450, kToolbar, kStatus, true, &pos);
    EXPECT_EQ(500, l.user_area.width);
    EXPECT_EQ(100, l.send_button.width);
    EXPECT_EQ(500, l.send_button.x);
    EXPECT_EQ(303, l.user_area.y);
    EXPECT_EQ(600, l.output.width);
    EXPECT_EQ(253, l.input.y);
    EXPECT_EQ(47, l.input.height);

    l = LayOutPanes(601, 450, kToolbar, kStatus, true, &pos);
    EXPECT_EQ(500, l.user_area.width);
    EXPECT_EQ(101, l.send_button.width);
}

TEST(PaneLayoutType2, FirstBarBelowTheSecondMovesAbove) {
    SplitPositions pos;
    pos.first = 320;
    pos.type2 = 300;
    PaneLayout l = LayOutPanes(600, 450, kToolbar, kStatus, true, &pos);
    EXPECT_EQ(293, pos.first);
    EXPECT_EQ(4, l.input.height);

    // Equal positions stay: the input area's height is then -3 (not shown).
    pos.first = 300;
    l = LayOutPanes(600, 450, kToolbar, kStatus, true, &pos);
    EXPECT_EQ(300, pos.first);
    EXPECT_EQ(-3, l.input.height);

    // The second bar is kept 6 above the status bar.
    pos.type2 = 1000;
    LayOutPanes(600, 450, kToolbar, kStatus, true, &pos);
    EXPECT_EQ(424, pos.type2);
}

TEST(StatusParts, FollowTheWidth) {
    auto edges = StatusPartEdges(550);
    EXPECT_EQ(438, edges[0]);
    EXPECT_EQ(472, edges[1]);
    EXPECT_EQ(502, edges[2]);
    EXPECT_EQ(532, edges[3]);
}

}  // namespace
