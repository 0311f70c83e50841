#include "shell/win32/output_area.h"

#include <richedit.h>

#include <iterator>
#include <memory>
#include <string>

#include "platform/win32/wide_text.h"
#include "platform/win32/window_guard.h"

namespace {

// What the area keeps between calls. An emptied area is a new window that
// takes this record over, so an overflow under way or a burst held goes on
// in the new window as in the old one.
struct AreaState {
    // The overflow message is up. While it is, the area is about to be
    // emptied: lines arriving meanwhile (its message loop keeps serving the
    // socket) are not shown, and a second message never appears.
    bool overflowing = false;
    // An append is inserting its line; an EN_MAXTEXT sent meanwhile is noted
    // here and handled by the append once the insertion returns.
    bool inserting = false;
    bool limit_hit = false;
    // A burst of received lines is under way: from HoldOutputAreaDrawing to
    // DrawHeldOutputArea.
    bool holding = false;
    // A burst of received lines is drawn once: the first line appended while
    // drawing is held stops the area's drawing, and the end of the burst
    // draws the area again with the last line in view.
    bool drawing_stopped = false;
    // The drawing after a burst is waiting for the draw timer.
    bool draw_pending = false;
    // Told the new window each time the area is emptied (its owner keeps the
    // handle and the area's procedure).
    void (*renewed)(HWND area) = nullptr;
};

// One window's hold on the area's record, kept in a window property and
// freed with the window; the record goes with the last window holding it.
struct AreaRecord : SubclassRecord {
    static constexpr wchar_t kProperty[] = L"Mosswick.OutputArea";
    std::shared_ptr<AreaState> state;
};

// The area's record, made at the first call; null for no window, or when
// none can be kept on it. Callers keep the pointer they get for as long as
// they use the record, since emptying the area destroys the window they
// found it on.
std::shared_ptr<AreaState> StateOf(HWND output) {
    AreaRecord* record = ControlRecord<AreaRecord>(output);
    if (record == nullptr) return nullptr;
    if (record->state == nullptr) record->state = std::make_shared<AreaState>();
    return record->state;
}

// The area is drawn again a moment after a burst, so that bursts following
// each other closely (a sender waiting for each acknowledgement) share one
// drawing; a line is on the screen within that moment.
constexpr UINT_PTR kDrawTimer = 1;
constexpr UINT kDrawDelayMs = 25;

void StopDrawing(HWND output, AreaState& state) {
    if (!state.holding || state.drawing_stopped) return;
    SendMessageW(output, WM_SETREDRAW, FALSE, 0);
    state.drawing_stopped = true;
}

void ResumeDrawing(HWND output, AreaState& state);

// The message is owned by the output area's parent, the main window; the
// area is emptied once it is dismissed (if the area still exists then). The
// caller holds the record, which outlives the window emptying destroys.
void HandleOverflow(HWND output, AreaState& state) {
    state.overflowing = true;
    ResumeDrawing(output, state);  // the area shows what it holds while the message is up
    MessageBoxCp932(GetParent(output), "メッセージ表示領域の最大文字数を超えました。画面をクリアします。",
                    "Mosswick - 表示文字数オーバ", MB_OK | MB_ICONEXCLAMATION);
    if (IsWindow(output)) ClearOutputAreaText(output);
    state.overflowing = false;
}

// The text the area holds, in the characters its limit counts: UTF-16
// units, a paragraph end one. Exact and quick (no conversion) since the
// area is Unicode.
LONG HeldCharacters(HWND output) {
    GETTEXTLENGTHEX how = {GTL_NUMCHARS, 1200};
    const LRESULT held = SendMessageW(output, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0);
    return held > 0 ? static_cast<LONG>(held) : 0;
}

// An empty selection after the last character (a position past the end
// stands for the end).
void PutCaretAtEnd(HWND output, LONG length) {
    CHARRANGE end = {length, length};
    SendMessageW(output, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end));
}

// The insertion takes the default format with its own colour: face, size,
// offset, bold and italic stay as they are by default.
void UseColourAtCaret(HWND output, COLORREF colour) {
    CHARFORMATW format = {};
    format.cbSize = sizeof format;
    SendMessageW(output, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    format.dwMask = CFM_COLOR | CFM_FACE | CFM_SIZE | CFM_OFFSET | CFM_BOLD | CFM_ITALIC | CFM_CHARSET;
    format.dwEffects &= ~CFE_AUTOCOLOR;
    format.crTextColor = colour;
    SendMessageW(output, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
}

// The last line in view, and the scroll bar at the bottom.
void ScrollToEnd(HWND output) {
    SendMessageW(output, WM_VSCROLL, SB_BOTTOM, 0);
    SendMessageW(output, EM_SCROLLCARET, 0, 0);
}

void ResumeDrawing(HWND output, AreaState& state) {
    if (!state.drawing_stopped) return;
    state.drawing_stopped = false;
    if (!IsWindow(output)) return;
    SendMessageW(output, WM_SETREDRAW, TRUE, 0);
    ScrollToEnd(output);
    InvalidateRect(output, nullptr, TRUE);
}

// Inserts at the caret; false when the area reported that the line did not fit.
bool Insert(HWND output, AreaState& state, const std::wstring& line) {
    state.inserting = true;
    state.limit_hit = false;
    SendMessageW(output, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(line.c_str()));
    state.inserting = false;
    return !state.limit_hit;
}

}  // namespace

HWND CreateOutputArea(HWND parent, int id, HINSTANCE instance) {
    HWND area = CreateWindowExW(WS_EX_CLIENTEDGE, RICHEDIT_CLASSW, L"",
                                WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_READONLY |
                                    ES_DISABLENOSCROLL,
                                0, 0, 10, 10, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                                nullptr);
    if (area == nullptr) return nullptr;
    // Every character in the face the user chose for the area, as in a rich
    // edit 1.0: no English face for the ASCII of a line (dual-font mode).
    // Characters the face cannot show still get a face that can.
    const LRESULT options = SendMessageW(area, EM_GETLANGOPTIONS, 0, 0);
    SendMessageW(area, EM_SETLANGOPTIONS, 0, options & ~IMF_DUALFONT);
    return area;
}

void SetOutputAreaLimit(HWND output, LONG max_text) {
    if (output != nullptr) SendMessageW(output, EM_EXLIMITTEXT, 0, max_text);
}

bool AppendOutputAreaLine(HWND output, const char* line, COLORREF colour) {
    if (output == nullptr || line == nullptr) return true;
    const std::shared_ptr<AreaState> held = StateOf(output);
    AreaState unkept;  // serves this one line when no record can be kept on the window
    AreaState& state = held != nullptr ? *held : unkept;
    if (state.overflowing) return false;
    // The one place a line turns from the program's CP932 into the area's
    // UTF-16. Its CR LF counts two here and takes one in the area, so a line
    // is never let in that the area cannot take.
    const std::wstring wide = WideFromCp932(line);
    const LONG length = HeldCharacters(output);
    auto limit = static_cast<unsigned long long>(SendMessageW(output, EM_GETLIMITTEXT, 0, 0));
    if (static_cast<unsigned long long>(length) + wide.size() > limit) {
        HandleOverflow(output, state);
        return false;
    }
    StopDrawing(output, state);
    PutCaretAtEnd(output, length);
    UseColourAtCaret(output, colour);
    bool fitted = Insert(output, state, wide);
    if (fitted && !state.drawing_stopped) ScrollToEnd(output);
    if (!fitted) HandleOverflow(output, state);
    return fitted;
}

void OnOutputAreaMaxText(HWND output) {
    const std::shared_ptr<AreaState> state = StateOf(output);
    if (state == nullptr) return;
    if (state->inserting) {
        state->limit_hit = true;
        return;
    }
    if (state->overflowing) return;
    HandleOverflow(output, *state);
}

void HoldOutputAreaDrawing(HWND output) {
    if (const std::shared_ptr<AreaState> state = StateOf(output)) state->holding = true;
}

static void CALLBACK DrawAfterBursts(HWND output, UINT, UINT_PTR, DWORD) {
    KillTimer(output, kDrawTimer);
    const std::shared_ptr<AreaState> state = StateOf(output);
    if (state == nullptr) return;
    state->draw_pending = false;
    ResumeDrawing(output, *state);
}

void DrawHeldOutputArea(HWND output) {
    const std::shared_ptr<AreaState> state = StateOf(output);
    if (state == nullptr) return;
    state->holding = false;
    if (!state->drawing_stopped || state->draw_pending) return;
    if (SetTimer(output, kDrawTimer, kDrawDelayMs, DrawAfterBursts) != 0) {
        state->draw_pending = true;
    } else {
        ResumeDrawing(output, *state);
    }
}

void SetOutputAreaRenewal(HWND output, void (*renewed)(HWND area)) {
    if (const std::shared_ptr<AreaState> state = StateOf(output)) state->renewed = renewed;
}

namespace {

// The held drawing belonged to the area being replaced. Its drawing is let
// go before the new area copies its styles (stopping a window's drawing takes
// its visible style away), so that the new one is drawn as usual.
void ForgetHeldDrawing(HWND output, AreaState& state) {
    if (state.draw_pending) KillTimer(output, kDrawTimer);
    state.draw_pending = false;
    if (state.drawing_stopped) SendMessageW(output, WM_SETREDRAW, TRUE, 0);
    state.drawing_stopped = false;
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
    auto colour = static_cast<COLORREF>(SendMessageW(output, EM_SETBKGNDCOLOR, 0, RGB(255, 255, 255)));
    SendMessageW(output, EM_SETBKGNDCOLOR, 0, colour);
    return colour;
}

// A new empty rich edit in the old one's place, with its class, styles, id,
// place, font, default format, limit, notifications, language options,
// background and place among its siblings.
HWND EmptyCopyOf(HWND output) {
    wchar_t class_name[64] = {};
    GetClassNameW(output, class_name, static_cast<int>(std::size(class_name)));
    const RECT place = PlaceInParent(output);
    HWND copy = CreateWindowExW(static_cast<DWORD>(GetWindowLongPtrW(output, GWL_EXSTYLE)), class_name, L"",
                                static_cast<DWORD>(GetWindowLongPtrW(output, GWL_STYLE)), place.left, place.top,
                                place.right - place.left, place.bottom - place.top, GetParent(output),
                                reinterpret_cast<HMENU>(GetWindowLongPtrW(output, GWLP_ID)),
                                reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(output, GWLP_HINSTANCE)), nullptr);
    if (copy == nullptr) return nullptr;
    // A rich edit keeps its font as its default format (it may not answer
    // WM_GETFONT), so the format is what is copied, face name and all.
    CHARFORMAT2W format = {};
    format.cbSize = sizeof format;
    SendMessageW(output, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    SendMessageW(copy, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    SendMessageW(copy, EM_EXLIMITTEXT, 0, SendMessageW(output, EM_GETLIMITTEXT, 0, 0));
    SendMessageW(copy, EM_SETEVENTMASK, 0, SendMessageW(output, EM_GETEVENTMASK, 0, 0));
    SendMessageW(copy, EM_SETLANGOPTIONS, 0, SendMessageW(output, EM_GETLANGOPTIONS, 0, 0));
    SendMessageW(copy, EM_SETBKGNDCOLOR, 0, BackgroundOf(output));
    SetWindowPos(copy, output, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return copy;
}

}  // namespace

// The area is emptied by putting a new empty rich edit in the old one's
// place rather than by deleting the old one's text. A rich edit deletes a
// long text paragraph by paragraph, and under Wine each deletion moves every
// paragraph after it, so emptying a full area in place would keep the
// program from reading and acknowledging for a long time; a new area costs
// the same whatever the old one held (see bench/RESULTS.md). The new window
// takes the old one's record before the old one is destroyed. Where no copy
// can be made, the text is emptied in place.
HWND ClearOutputAreaText(HWND output) {
    if (output == nullptr || !IsWindow(output)) return output;
    const std::shared_ptr<AreaState> state = StateOf(output);
    if (state != nullptr) ForgetHeldDrawing(output, *state);
    HWND copy = EmptyCopyOf(output);
    if (copy == nullptr) {
        SendMessageW(output, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
        return output;
    }
    if (state != nullptr) {
        if (AreaRecord* taken = ControlRecord<AreaRecord>(copy)) taken->state = state;
    }
    const bool focused = GetFocus() == output;
    DestroyWindow(output);
    if (focused) SetFocus(copy);
    if (state != nullptr && state->renewed != nullptr) state->renewed(copy);
    return copy;
}
