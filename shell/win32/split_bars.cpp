#include "shell/win32/split_bars.h"

#include <windowsx.h>

#include "settings/settings.h"
#include "shell/win32/main_window.h"

namespace {

constexpr char kSplitBarClass[] = "SplitBar";

HWND g_bars[2] = {};  // first bar, second bar

// A drag under way: the bar holds the mouse capture from the button press
// to its release; each move offsets the bar's rectangle at the press by how
// far the mouse has gone.
struct Drag {
    HWND bar = nullptr;
    POINT pressed_at = {};
    RECT bar_at_press = {};
};
Drag g_drag;

bool TypeII() { return UserAreaTypeII(g_settings); }

SplitBar WhichBar(HWND bar) { return bar == g_bars[0] ? SplitBar::First : SplitBar::Second; }

ScreenRect ScreenRectOf(HWND window) {
    RECT r = {};
    if (window != nullptr) GetWindowRect(window, &r);
    return {r.left, r.top, r.right, r.bottom};
}

DragFrame CurrentFrame() {
    DragFrame f;
    f.main = ScreenRectOf(g_main.window);
    f.toolbar = ScreenRectOf(g_main.toolbar);
    f.input = ScreenRectOf(g_main.input);
    f.status = ScreenRectOf(g_main.status_bar);
    POINT origin = {0, 0};
    if (g_main.window != nullptr) ClientToScreen(g_main.window, &origin);
    f.client_left = origin.x;
    f.client_top = origin.y;
    f.type1_position = g_settings.Split2_Pos;
    return f;
}

// After each move the panes are laid out again around the new position.
void LayOutAgain() {
    if (g_main.window == nullptr) return;
    RECT client = {};
    GetClientRect(g_main.window, &client);
    SendMessageA(g_main.window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
}

// The bar is to go where the mouse has taken it: keep it within its limits,
// remember the position and lay the panes out around it.
void MoveTo(HWND bar, RECT proposed) {
    SplitBar which = WhichBar(bar);
    DragResult r = LimitSplitBarMove(which, TypeII(), {proposed.left, proposed.top, proposed.right, proposed.bottom},
                                     CurrentFrame());
    if (which == SplitBar::First) {
        g_settings.Split1_Pos = r.position;
    } else if (TypeII()) {
        g_settings.Split3_Pos = r.position;
    } else {
        g_settings.Split2_Pos = r.position;
    }
    LayOutAgain();
}

POINT ScreenPoint(HWND bar, LPARAM lparam) {
    POINT at = {GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
    ClientToScreen(bar, &at);
    return at;
}

void OnButtonDown(HWND bar, LPARAM lparam) {
    g_drag.bar = bar;
    g_drag.pressed_at = ScreenPoint(bar, lparam);
    GetWindowRect(bar, &g_drag.bar_at_press);
    SetCapture(bar);
}

void OnMouseMove(HWND bar, LPARAM lparam) {
    // The class has no cursor, so the bar sets its own on every move.
    bool vertical = WhichBar(bar) == SplitBar::First || TypeII();
    SetCursor(vertical ? g_main.split_v_cursor : g_main.split_h_cursor);
    if (g_drag.bar != bar || GetCapture() != bar) return;
    POINT now = ScreenPoint(bar, lparam);
    RECT proposed = g_drag.bar_at_press;
    OffsetRect(&proposed, now.x - g_drag.pressed_at.x, now.y - g_drag.pressed_at.y);
    MoveTo(bar, proposed);
}

LRESULT CALLBACK SplitBarProc(HWND bar, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_MOUSEMOVE: OnMouseMove(bar, lparam); return 0;
        case WM_LBUTTONDOWN: OnButtonDown(bar, lparam); return 0;
        case WM_LBUTTONUP:
            if (GetCapture() == bar) ReleaseCapture();
            return 0;
        case WM_CAPTURECHANGED: g_drag.bar = nullptr; return 0;
        default: return DefWindowProcA(bar, message, wparam, lparam);
    }
}

}  // namespace

void CreateSplitBars(HWND parent) {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = SplitBarProc;
    wc.hInstance = g_main.instance;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kSplitBarClass;
    RegisterClassExA(&wc);
    for (HWND& bar : g_bars) {
        bar = CreateWindowExA(0, kSplitBarClass, "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 3, parent, nullptr,
                              g_main.instance, nullptr);
    }
}

HWND SplitBarWindow(SplitBar bar) { return g_bars[bar == SplitBar::First ? 0 : 1]; }
