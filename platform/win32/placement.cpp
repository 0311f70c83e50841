#include "platform/win32/placement.h"

#include "platform/window_placement.h"

namespace {
Cascade g_cascade;  // shared by every popup window of the run
}

void CascadePlacement(HWND window) {
    int offset = g_cascade.TakeOffset(GetSystemMetrics(SM_CYCAPTION));
    RECT r;
    GetWindowRect(window, &r);
    SetWindowPos(window, nullptr, r.left + offset, r.top + offset, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
}

void CornerPlacement(HWND window, bool main_shown) {
    if (main_shown) return;
    RECT r;
    GetWindowRect(window, &r);
    ScreenPoint p = CornerPosition(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYFULLSCREEN),
                                   GetSystemMetrics(SM_CYCAPTION), r.right - r.left, r.bottom - r.top);
    SetWindowPos(window, nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
}
