#include "shell/split_drag.h"

#include "shell/pane_layout.h"

namespace {

int AtLeast(int value, int low) { return value < low ? low : value; }
int AtMost(int value, int high) { return value > high ? high : value; }

// A horizontal bar stays between the toolbar and 7 pixels above the input
// area's bottom edge.
int FirstBarTop(int top, const DragFrame& f) {
    top = AtLeast(top, f.toolbar.bottom);
    return AtMost(top, f.input.bottom - 7);
}

DragResult Type1First(ScreenRect r, const DragFrame& f) {
    r.top = FirstBarTop(r.top, f);
    r.left = f.client_left + f.type1_position;
    r.right = f.main.right;
    r.bottom = r.top + kSplitBarThickness;
    return {r, r.top - f.client_top};
}

DragResult Type1Second(ScreenRect r, const DragFrame& f) {
    r.top = f.toolbar.bottom;
    r.bottom = f.status.top;
    r.left = AtLeast(r.left, f.main.left + 10);
    r.left = AtMost(r.left, f.main.right - 60);
    r.right = r.left + kSplitBarThickness;
    return {r, r.left - f.client_left};
}

DragResult Type2(SplitBar bar, ScreenRect r, const DragFrame& f) {
    r.left = f.main.left;
    r.right = f.main.right;
    if (bar == SplitBar::First) {
        r.top = FirstBarTop(r.top, f);
    } else {
        r.top = AtLeast(r.top, f.input.top + 4);
        r.top = AtMost(r.top, f.status.top - 5);
    }
    r.bottom = r.top + kSplitBarThickness;
    return {r, r.top - f.client_top};
}

}  // namespace

DragResult LimitSplitBarMove(SplitBar bar, bool type2, ScreenRect proposed, const DragFrame& frame) {
    if (type2) return Type2(bar, proposed, frame);
    return bar == SplitBar::First ? Type1First(proposed, frame) : Type1Second(proposed, frame);
}
