#include "shell/win32/split_bars.h"

#include <windowsx.h>

#include <memory>

#include "settings/settings.h"
#include "shell/win32/main_window.h"
#include "platform/win32/window_guard.h"

namespace {

constexpr wchar_t kSplitBarClass[] = L"SplitBar";

// The bars' handles, for the layout; each bar's drag lives on the bar.
HWND g_bars[2] = {};  // first bar, second bar

// A bar's own record. While a drag is under way the bar holds the mouse
// capture, from the button press to its release; each move offsets the
// bar's rectangle at the press by how far the mouse has gone.
struct SplitBarRecord : OwnedRecord {
    SplitBar which = SplitBar::First;
    bool dragging = false;
    POINT pressed_at = {};
    RECT bar_at_press = {};
};

bool TypeII() { return UserAreaTypeII(g_settings); }

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
    SendMessageW(g_main.window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
}

// The bar is to go where the mouse has taken it: keep it within its limits,
// remember the position and lay the panes out around it.
void MoveTo(SplitBar which, RECT proposed) {
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

void OnButtonDown(SplitBarRecord& record, HWND bar, LPARAM lparam) {
    record.dragging = true;
    record.pressed_at = ScreenPoint(bar, lparam);
    GetWindowRect(bar, &record.bar_at_press);
    SetCapture(bar);
}

void OnMouseMove(const SplitBarRecord& record, HWND bar, LPARAM lparam) {
    // The class has no cursor, so the bar sets its own on every move.
    bool vertical = record.which == SplitBar::First || TypeII();
    SetCursor(vertical ? g_main.split_v_cursor : g_main.split_h_cursor);
    if (!record.dragging || GetCapture() != bar) return;
    POINT now = ScreenPoint(bar, lparam);
    RECT proposed = record.bar_at_press;
    OffsetRect(&proposed, now.x - record.pressed_at.x, now.y - record.pressed_at.y);
    MoveTo(record.which, proposed);
}

LRESULT SplitBarMessage(SplitBarRecord& record, HWND bar, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_MOUSEMOVE: OnMouseMove(record, bar, lparam); return 0;
        case WM_LBUTTONDOWN: OnButtonDown(record, bar, lparam); return 0;
        case WM_LBUTTONUP:
            if (GetCapture() == bar) ReleaseCapture();
            return 0;
        case WM_CAPTURECHANGED: record.dragging = false; return 0;
        default: return DefWindowProcW(bar, message, wparam, lparam);
    }
}

}  // namespace

void CreateSplitBars(HWND parent) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = GuardedWithRecord<SplitBarRecord, SplitBarMessage>;
    wc.hInstance = g_main.instance;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kSplitBarClass;
    RegisterClassExW(&wc);
    const SplitBar order[2] = {SplitBar::First, SplitBar::Second};
    for (int i = 0; i < 2; ++i) {
        auto record = std::make_unique<SplitBarRecord>();
        record->which = order[i];
        g_bars[i] = CreateWindowExW(0, kSplitBarClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 3, parent, nullptr,
                                    g_main.instance, RecordForCreation(record));
    }
}

HWND SplitBarWindow(SplitBar bar) { return g_bars[bar == SplitBar::First ? 0 : 1]; }
