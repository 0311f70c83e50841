#include "shell/win32/output_area.h"

#include <richedit.h>

#include <cstring>

namespace {

// The overflow message is up. While it is, the area is about to be emptied:
// lines arriving meanwhile (its message loop keeps serving the socket) are
// not shown, and a second message never appears.
bool g_overflowing = false;
// An append is inserting its line; an EN_MAXTEXT sent meanwhile is noted here
// and handled by the append once the insertion returns.
bool g_inserting = false;
bool g_limit_hit = false;
// A burst of received lines is drawn once: while drawing is held, the first
// line appended stops the area's drawing, and the end of the burst draws the
// area again with the last line in view.
bool g_holding = false;
bool g_drawing_stopped = false;
// The area is drawn again a moment after a burst, so that bursts following
// each other closely (a sender waiting for each acknowledgement) share one
// drawing; a line is on the screen within that moment.
constexpr UINT_PTR kDrawTimer = 1;
constexpr UINT kDrawDelayMs = 25;
bool g_draw_pending = false;
// Told the new window each time the area is emptied (its owner keeps the
// handle and the area's procedure).
void (*g_renewed)(HWND area) = nullptr;

void StopDrawing(HWND output) {
    if (!g_holding || g_drawing_stopped) return;
    SendMessageA(output, WM_SETREDRAW, FALSE, 0);
    g_drawing_stopped = true;
}

void ResumeDrawing(HWND output);

// The message is owned by the output area's parent, the main window; the
// area is emptied once it is dismissed (if the area still exists then).
void HandleOverflow(HWND output) {
    g_overflowing = true;
    ResumeDrawing(output);  // the area shows what it holds while the message is up
    MessageBoxA(GetParent(output), "メッセージ表示領域の最大文字数を超えました。画面をクリアします。",
                "Mosswick - 表示文字数オーバ", MB_OK | MB_ICONEXCLAMATION);
    if (IsWindow(output)) ClearOutputAreaText(output);
    g_overflowing = false;
}

// An empty selection after the last character. A position past the end
// stands for the end, so the text length serves in whatever unit the area
// counts it (characters, or bytes where it counts those).
void PutCaretAtEnd(HWND output, LONG length) {
    CHARRANGE end = {length, length};
    SendMessageA(output, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end));
}

// The insertion takes the default format with its own colour: face, size,
// offset, bold and italic stay as they are by default.
void UseColourAtCaret(HWND output, COLORREF colour) {
    CHARFORMATA format = {};
    format.cbSize = sizeof format;
    SendMessageA(output, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    format.dwMask = CFM_COLOR | CFM_FACE | CFM_SIZE | CFM_OFFSET | CFM_BOLD | CFM_ITALIC | CFM_CHARSET;
    format.dwEffects &= ~CFE_AUTOCOLOR;
    format.crTextColor = colour;
    SendMessageA(output, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
}

// The last line in view, and the scroll bar at the bottom.
void ScrollToEnd(HWND output) {
    SendMessageA(output, WM_VSCROLL, SB_BOTTOM, 0);
    SendMessageA(output, EM_SCROLLCARET, 0, 0);
}

void ResumeDrawing(HWND output) {
    if (!g_drawing_stopped) return;
    g_drawing_stopped = false;
    if (output == nullptr || !IsWindow(output)) return;
    SendMessageA(output, WM_SETREDRAW, TRUE, 0);
    ScrollToEnd(output);
    InvalidateRect(output, nullptr, TRUE);
}

// Inserts at the caret; false when the area reported that the line did not fit.
bool Insert(HWND output, const char* line) {
    g_inserting = true;
    g_limit_hit = false;
    SendMessageA(output, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(line));
    g_inserting = false;
    return !g_limit_hit;
}

}  // namespace

void SetOutputAreaLimit(HWND output, LONG max_text) {
    if (output != nullptr) SendMessageA(output, EM_EXLIMITTEXT, 0, max_text);
}

bool AppendOutputAreaLine(HWND output, const char* line, COLORREF colour) {
    if (output == nullptr || line == nullptr) return true;
    if (g_overflowing) return false;
    // Lengths in bytes and in the area's characters: a double-byte character
    // counts twice here, so a line is never let in that the area cannot take.
    LONG length = GetWindowTextLengthA(output);
    auto limit = static_cast<unsigned long long>(SendMessageA(output, EM_GETLIMITTEXT, 0, 0));
    if (static_cast<unsigned long long>(length) + std::strlen(line) > limit) {
        HandleOverflow(output);
        return false;
    }
    StopDrawing(output);
    PutCaretAtEnd(output, length);
    UseColourAtCaret(output, colour);
    bool fitted = Insert(output, line);
    if (fitted && !g_drawing_stopped) ScrollToEnd(output);
    if (!fitted) HandleOverflow(output);
    return fitted;
}

void OnOutputAreaMaxText(HWND output) {
    if (g_inserting) {
        g_limit_hit = true;
        return;
    }
    if (g_overflowing || output == nullptr) return;
    HandleOverflow(output);
}

void HoldOutputAreaDrawing() { g_holding = true; }

static void CALLBACK DrawAfterBursts(HWND output, UINT, UINT_PTR, DWORD) {
    KillTimer(output, kDrawTimer);
    g_draw_pending = false;
    ResumeDrawing(output);
}

void DrawHeldOutputArea(HWND output) {
    g_holding = false;
    if (!g_drawing_stopped || g_draw_pending) return;
    if (output != nullptr && SetTimer(output, kDrawTimer, kDrawDelayMs, DrawAfterBursts) != 0) {
        g_draw_pending = true;
    } else {
        ResumeDrawing(output);
    }
}

void SetOutputAreaRenewal(void (*renewed)(HWND area)) { g_renewed = renewed; }

namespace {

// The held drawing belonged to the area being replaced; the new one is drawn
// as usual.
void ForgetHeldDrawing(HWND output) {
    if (g_draw_pending) KillTimer(output, kDrawTimer);
    g_draw_pending = false;
    g_drawing_stopped = false;
}

// The old area's place in its parent, in the parent's client coordinates.
RECT PlaceInParent(HWND output) {
    RECT place = {};
    GetWindowRect(output, &place);
    MapWindowPoints(nullptr, GetParent(output), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

// The rich edit's background colour: setting one answers the one before, so
// the old area is asked by setting it to what it already was.
COLORREF BackgroundOf(HWND output) {
    auto colour = static_cast<COLORREF>(SendMessageA(output, EM_SETBKGNDCOLOR, 0, RGB(255, 255, 255)));
    SendMessageA(output, EM_SETBKGNDCOLOR, 0, colour);
    return colour;
}

// A new empty rich edit in the old one's place, with its class, styles, id,
// place, font, default format, limit, notifications, background and place
// among its siblings.
HWND EmptyCopyOf(HWND output) {
    char class_name[64] = {};
    GetClassNameA(output, class_name, sizeof class_name);
    const RECT place = PlaceInParent(output);
    HWND copy = CreateWindowExA(static_cast<DWORD>(GetWindowLongPtrA(output, GWL_EXSTYLE)), class_name, "",
                                static_cast<DWORD>(GetWindowLongPtrA(output, GWL_STYLE)), place.left, place.top,
                                place.right - place.left, place.bottom - place.top, GetParent(output),
                                reinterpret_cast<HMENU>(GetWindowLongPtrA(output, GWLP_ID)),
                                reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(output, GWLP_HINSTANCE)), nullptr);
    if (copy == nullptr) return nullptr;
    // A rich edit keeps its font as its default format (it may not answer
    // WM_GETFONT), so the format is what is copied.
    CHARFORMATA format = {};
    format.cbSize = sizeof format;
    SendMessageA(output, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    SendMessageA(copy, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    SendMessageA(copy, EM_EXLIMITTEXT, 0, SendMessageA(output, EM_GETLIMITTEXT, 0, 0));
    SendMessageA(copy, EM_SETEVENTMASK, 0, SendMessageA(output, EM_GETEVENTMASK, 0, 0));
    SendMessageA(copy, EM_SETBKGNDCOLOR, 0, BackgroundOf(output));
    SetWindowPos(copy, output, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return copy;
}

}  // namespace

// A rich edit deletes a long text paragraph by paragraph, and under Wine each
// deletion moves every paragraph after it: emptying 12,000 lines took the
// program almost two minutes, during which nothing was read or acknowledged.
// Putting a new empty area in the old one's place takes a fraction of a
// second whatever the old one held. Where no copy can be made, the text is
// emptied in place.
HWND ClearOutputAreaText(HWND output) {
    if (output == nullptr || !IsWindow(output)) return output;
    HWND copy = EmptyCopyOf(output);
    if (copy == nullptr) {
        SendMessageA(output, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
        return output;
    }
    const bool focused = GetFocus() == output;
    ForgetHeldDrawing(output);
    DestroyWindow(output);
    if (focused) SetFocus(copy);
    if (g_renewed != nullptr) g_renewed(copy);
    return copy;
}
