#include "shell/pane_layout.h"

namespace {

PaneLayout LayOutType1(int w, int tb, int sy, SplitPositions* pos) {
    if (pos->first > sy - 7) pos->first = sy - 7;
    if (pos->type1 > w - 60) pos->type1 = w - 60;
    const int p1 = pos->first, p2 = pos->type1, bar = kSplitBarThickness;
    PaneLayout l;
    l.user_area = {0, tb, p2, sy - tb};
    l.second_bar = {p2, tb, bar, sy - tb};
    l.output = {p2 + bar, tb, w - p2 - bar, p1 - tb};
    l.first_bar = {p2 + bar, p1, w - p2 - bar, bar};
    l.input = {p2 + bar, p1 + bar, w - p2 - bar - kSendButtonWidth, sy - p1 - bar};
    l.send_button = {w - kSendButtonWidth, p1 + bar, kSendButtonWidth, sy - p1 - bar};
    return l;
}

PaneLayout LayOutType2(int w, int tb, int sy, SplitPositions* pos) {
    if (pos->type2 > sy - 6) pos->type2 = sy - 6;
    if (pos->first > pos->type2) pos->first = pos->type2 - 7;
    const int p1 = pos->first, p3 = pos->type2, bar = kSplitBarThickness;
    const int lw = 5 * w / 6;
    PaneLayout l;
    l.output = {0, tb, w, p1 - tb};
    l.first_bar = {0, p1, w, bar};
    l.input = {0, p1 + bar, w, p3 - p1 - bar};
    l.second_bar = {0, p3, w, bar};
    l.user_area = {0, p3 + bar, lw, sy - p3 - bar};
    l.send_button = {lw, p3 + bar, w - lw, sy - p3 - bar};
    return l;
}

}  // namespace

PaneLayout LayOutPanes(int client_width, int client_height, int toolbar_height, int status_height,
                       bool type2, SplitPositions* positions) {
    const int tb = toolbar_height + 2;
    const int sy = client_height - status_height;
    PaneLayout l = type2 ? LayOutType2(client_width, tb, sy, positions)
                         : LayOutType1(client_width, tb, sy, positions);
    l.toolbar = {0, 0, client_width, tb};
    l.status_bar = {0, sy, client_width, status_height};
    return l;
}

std::array<int, 4> StatusPartEdges(int status_width) {
    return {status_width - 112, status_width - 78, status_width - 48, status_width - 18};
}
