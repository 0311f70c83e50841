// Where the main window's children go: the toolbar on top, the status bar at
// the bottom, and between them the output, input and user areas, the send
// button and the two splitter bars, in screen type TYPE I or TYPE II.
#pragma once
#include <array>

struct PaneRect {
    int x = 0, y = 0, width = 0, height = 0;
};

// The splitter-bar positions, in client pixels. The layout lowers them when
// they lie too far down or right, and the lowered values are kept.
struct SplitPositions {
    int first = 330;   // y of the bar between output and input area
    int type1 = 140;   // x of the second bar in TYPE I
    int type2 = 400;   // y of the second bar in TYPE II
};

struct PaneLayout {
    PaneRect toolbar, output, first_bar, input, send_button, second_bar, user_area, status_bar;
};

constexpr int kSplitBarThickness = 3;
constexpr int kSendButtonWidth = 50;

// client_width and client_height are the main window's client size,
// toolbar_height the toolbar's client height and status_height the status
// bar's. type2 selects TYPE II (UserArea_View beginning with "2").
PaneLayout LayOutPanes(int client_width, int client_height, int toolbar_height, int status_height,
                       bool type2, SplitPositions* positions);

// The right edges of the status bar's four parts for its client width.
std::array<int, 4> StatusPartEdges(int status_width);
