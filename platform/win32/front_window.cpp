#include "platform/win32/front_window.h"

namespace {

void SetTopmost(HWND window, bool topmost) {
    SetWindowPos(window, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void FlashUntilLookedAt(HWND window) {
    FLASHWINFO flash = {};
    flash.cbSize = sizeof flash;
    flash.hwnd = window;
    flash.dwFlags = FLASHW_ALL | FLASHW_TIMERNOFG;
    FlashWindowEx(&flash);
}

}  // namespace

// A process that is not the foreground process may not take the foreground;
// the system then only flashes the taskbar button, and the window would open
// behind the one the user works in.
// https://learn.microsoft.com/windows/win32/api/winuser/nf-winuser-setforegroundwindow
// A topmost window stays above every window that is not topmost, whether or
// not it is active; setting it needs no foreground rights.
// https://learn.microsoft.com/windows/win32/api/winuser/nf-winuser-setwindowpos
// FLASHW_TIMERNOFG flashes until the window comes to the foreground.
// https://learn.microsoft.com/windows/win32/api/winuser/ns-winuser-flashwinfo
void OpenInFront(HWND window) {
    SetForegroundWindow(window);
    if (GetForegroundWindow() == window) return;
    SetTopmost(window, true);
    FlashUntilLookedAt(window);
}

void SettleWhenActive(HWND window) {
    // The windows opened here are never topmost otherwise.
    const bool kept_above = (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    if (kept_above && GetForegroundWindow() == window) SetTopmost(window, false);
}
