#include "shell/win32/split_bars.h"

#include "settings/settings.h"
#include "shell/win32/main_window.h"

namespace {

constexpr char kSplitBarClass[] = "SplitBar";
// A mouse-driven move of the window (the move command with the low bits 4).
constexpr WPARAM kMouseMove = SC_MOVE | 4;

HWND g_bars[2] = {};  // first bar, second bar

bool TypeII() { return g_settings.UserArea_View[0] == '2'; }

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

// The window system proposes where the bar goes next: keep it within its
// limits and remember the position for the layout.
void OnMoving(HWND bar, RECT* proposed) {
    SplitBar which = WhichBar(bar);
    DragResult r = LimitSplitBarMove(which, TypeII(),
                                     {proposed->left, proposed->top, proposed->right, proposed->bottom},
                                     CurrentFrame());
    *proposed = RECT{r.bar.left, r.bar.top, r.bar.right, r.bar.bottom};
    if (which == SplitBar::First) {
        g_settings.Split1_Pos = r.position;
    } else if (TypeII()) {
        g_settings.Split3_Pos = r.position;
    } else {
        g_settings.Split2_Pos = r.position;
    }
}

// After each move the panes are laid out again around the new position.
void OnMoved() {
    if (g_main.window == nullptr) return;
    RECT client = {};
    GetClientRect(g_main.window, &client);
    SendMessageA(g_main.window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
}

LRESULT CALLBACK SplitBarProc(HWND bar, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_MOUSEMOVE: {
            // The class has no cursor, so the bar sets its own on every move.
            bool vertical = WhichBar(bar) == SplitBar::First || TypeII();
            SetCursor(vertical ? g_main.split_v_cursor : g_main.split_h_cursor);
            return 0;
        }
        case WM_LBUTTONDOWN: SendMessageA(bar, WM_SYSCOMMAND, kMouseMove, 0); return 0;
        case WM_MOVING: OnMoving(bar, reinterpret_cast<RECT*>(lparam)); return TRUE;
        case WM_MOVE: OnMoved(); return 0;
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
