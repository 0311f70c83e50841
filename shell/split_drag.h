// Where a splitter bar may go while the user drags it. The window system
// proposes a rectangle for the bar on every mouse move; the limits keep the
// output and input areas and the user area from vanishing, and the result
// gives the bar's new position for the layout.
#pragma once

struct ScreenRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

enum class SplitBar { First, Second };

// The rectangles the limits depend on, on the screen, taken at the moment of
// the move: the main window's outer frame, the toolbar, the input area and
// the status bar; and the screen point of the main window's client origin.
struct DragFrame {
    ScreenRect main, toolbar, input, status;
    int client_left = 0, client_top = 0;
    int type1_position = 0;  // the TYPE I bar position, in client pixels
};

struct DragResult {
    ScreenRect bar;    // the rectangle the bar may take
    int position = 0;  // the bar's new position, in client pixels
};

// Applies the limits to a proposed rectangle, in order, so that when two
// conflict the later one wins. The position is the first bar's y, the TYPE I
// bar's x or the TYPE II bar's y.
DragResult LimitSplitBarMove(SplitBar bar, bool type2, ScreenRect proposed, const DragFrame& frame);
