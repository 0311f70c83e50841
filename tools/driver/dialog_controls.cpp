#include "tools/driver/dialog_controls.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/win32/wide_text.h"

namespace {

constexpr UINT kAnswerMs = 15000;
// Long enough for any click that only changes state; a click that is still
// running after this has opened a window of its own.
constexpr UINT kClickMs = 3000;

bool Ask(HWND window, UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
    return SendWithin(window, message, wparam, lparam, kAnswerMs, result);
}

bool AskWide(HWND window, UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(window, message, wparam, lparam, SMTO_ABORTIFHUNG, kAnswerMs, &answer)) return false;
    *result = static_cast<LRESULT>(answer);
    return true;
}

// Item texts through the control's own messages, whose text buffer the
// system copies back from the other process. Asked for in ANSI from another
// process, Wine hands back the control's UTF-16 text unconverted, so the
// texts are asked for in UTF-16 and converted with code page 932 here.
bool ReadTexts(HWND control, UINT count_message, UINT length_message, UINT text_message,
               std::vector<std::string>* texts) {
    texts->clear();
    LRESULT count = 0;
    if (!AskWide(control, count_message, 0, 0, &count) || count < 0) return false;
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT length = 0;
        if (!AskWide(control, length_message, static_cast<WPARAM>(i), 0, &length) || length < 0) return false;
        std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
        LRESULT got = 0;
        if (!AskWide(control, text_message, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide.data()), &got) ||
            got < 0) {
            return false;
        }
        wide.resize(std::min(static_cast<size_t>(got), static_cast<size_t>(length)));
        texts->push_back(Cp932FromWide(wide));
    }
    return true;
}

bool SelectAndNotify(HWND control, UINT select_message, int index, WORD notification) {
    LRESULT result = 0;
    if (!Ask(control, select_message, static_cast<WPARAM>(index), 0, &result)) return false;
    if (result != index) return false;
    HWND parent = GetParent(control);
    WPARAM command = MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(control)), notification);
    return Ask(parent, WM_COMMAND, command, reinterpret_cast<LPARAM>(control), &result);
}

}  // namespace

bool SendWithin(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT timeout_ms, LRESULT* result) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(window, message, wparam, lparam, SMTO_ABORTIFHUNG, timeout_ms, &answer)) return false;
    *result = static_cast<LRESULT>(answer);
    return true;
}

HWND SelectSheetPage(HWND sheet, int index) {
    LRESULT selected = 0;
    if (!Ask(sheet, PSM_SETCURSEL, static_cast<WPARAM>(index), 0, &selected) || !selected) return nullptr;
    LRESULT page = 0;
    if (!Ask(sheet, PSM_GETCURRENTPAGEHWND, 0, 0, &page)) return nullptr;
    return reinterpret_cast<HWND>(page);
}

ClickResult ClickButton(HWND button) {
    LRESULT result = 0;
    if (SendWithin(button, BM_CLICK, 0, 0, kClickMs, &result)) return ClickResult::kDone;
    return GetLastError() == ERROR_TIMEOUT && IsWindow(button) ? ClickResult::kPending : ClickResult::kFailed;
}

bool ReadListBoxTexts(HWND list_box, std::vector<std::string>* texts) {
    return ReadTexts(list_box, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT, texts);
}

bool ReadComboTexts(HWND combo, std::vector<std::string>* texts) {
    return ReadTexts(combo, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT, texts);
}

bool SelectListBoxItem(HWND list_box, int index) { return SelectAndNotify(list_box, LB_SETCURSEL, index, LBN_SELCHANGE); }

bool SelectComboItem(HWND combo, int index) { return SelectAndNotify(combo, CB_SETCURSEL, index, CBN_SELCHANGE); }
