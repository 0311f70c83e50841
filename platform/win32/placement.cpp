#include "platform/win32/placement.h"

namespace {

Cascade g_cascade;  // shared by every popup window of the run

ScreenRect ScreenRectOf(const RECT& r) { return ScreenRect{r.left, r.top, r.right, r.bottom}; }

// The work area of the monitor the window is on, that is, the one sharing the
// most of its rectangle; a hidden or minimised window counts with the
// rectangle it had when it was last shown, and one on no monitor at all with
// the primary monitor. The work area leaves out the taskbar at whichever edge
// it stands and any desktop toolbars, on Windows 10 and 11 alike:
// https://learn.microsoft.com/en-us/windows/win32/api/winuser/nf-winuser-monitorfromwindow
// https://learn.microsoft.com/en-us/windows/win32/api/winuser/ns-winuser-monitorinfo
ScreenRect WorkAreaOf(HWND window) {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &info)) {
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &info.rcWork, 0);
    }
    return ScreenRectOf(info.rcWork);
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM screens) {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info)) {
        reinterpret_cast<Screens*>(screens)->monitors.push_back(
            Monitor{ScreenRectOf(info.rcWork), (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
    }
    return TRUE;
}

}  // namespace

void CascadePlacement(HWND window) {
    int offset = g_cascade.TakeOffset(GetSystemMetrics(SM_CYCAPTION));
    RECT r;
    GetWindowRect(window, &r);
    SetWindowPos(window, nullptr, r.left + offset, r.top + offset, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
}

// With one monitor and the taskbar at the bottom nothing moves: the work area
// is then as wide as the screen, and its height is that of a maximised
// window's client area (SM_CYFULLSCREEN, "the client area for a full-screen
// window on the primary display monitor") and its title bar together, which
// is where the corner has always been. (Wine 8 reports a full-screen client
// height taller than the screen, 1035 on a 1024-high display, so there the
// work area is what keeps the window whole.)
// https://learn.microsoft.com/en-us/windows/win32/api/winuser/nf-winuser-getsystemmetrics
void CornerPlacement(HWND window, bool main_shown) {
    if (main_shown) return;
    RECT r;
    GetWindowRect(window, &r);
    ScreenPoint p = CornerPosition(WorkAreaOf(GetAncestor(window, GA_ROOTOWNER)), r.right - r.left, r.bottom - r.top);
    SetWindowPos(window, nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
}

// Monitors are listed with no device context, so each one on the desktop
// comes once with its rectangle in virtual-screen coordinates:
// https://learn.microsoft.com/en-us/windows/win32/api/winuser/nf-winuser-enumdisplaymonitors
Screens CurrentScreens() {
    Screens screens;
    screens.fullscreen_width = GetSystemMetrics(SM_CXFULLSCREEN);
    screens.fullscreen_height = GetSystemMetrics(SM_CYFULLSCREEN);
    screens.caption_height = GetSystemMetrics(SM_CYCAPTION);
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&screens));
    return screens;
}
