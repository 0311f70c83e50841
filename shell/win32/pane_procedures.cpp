#include "shell/win32/pane_procedures.h"

#include <richedit.h>

#include <memory>
#include <utility>

#include "resources/command_ids.h"
#include "settings/window_modes.h"
#include "shell/pane_keys.h"
#include "shell/win32/main_window.h"
#include "shell/win32/menu_text.h"
#include "platform/win32/window_guard.h"

namespace {

// Each pane's record: which pane it is, and the control's own procedure,
// which gets every message the pane does not consume.
struct PaneRecord : SubclassRecord {
    static constexpr wchar_t kProperty[] = L"Mosswick.Pane";
    Pane pane = Pane::Input;
};

HWND PaneWindow(Pane pane) {
    switch (pane) {
        case Pane::Input: return g_main.input;
        case Pane::SendButton: return g_main.send_button;
        case Pane::UserArea: return g_main.user_list;
        case Pane::Output: return g_main.output;
    }
    return nullptr;
}

// A character typed into a pane; true when it was consumed.
bool OnPaneChar(Pane pane, WPARAM character, LPARAM flags) {
    const bool shift = GetAsyncKeyState(VK_SHIFT) < 0;
    const bool repeat = (flags & (1 << 30)) != 0;  // the key was already down
    KeyOutcome outcome =
        PaneKeyOutcome(pane, static_cast<int>(character), shift, repeat, g_modes.personal_mode);
    switch (outcome.kind) {
        case KeyOutcome::Kind::PassOn: return false;
        case KeyOutcome::Kind::Send:
            if (g_main.window != nullptr) SendMessageW(g_main.window, WM_COMMAND, IDM_SEND, 0);
            return true;
        case KeyOutcome::Kind::Consume: return true;
        case KeyOutcome::Kind::Focus:
            if (HWND target = PaneWindow(outcome.target)) SetFocus(target);
            return true;
    }
    return false;
}

LRESULT PaneMessage(PaneRecord& record, HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_CHAR && OnPaneChar(record.pane, wparam, lparam)) return 0;
    if (message == WM_RBUTTONDOWN && record.pane == Pane::Output) {
        POINT at = {};
        GetCursorPos(&at);
        RunOutputContextMenu(window, g_main.input, at);
    }
    return CallPrevious(record, window, message, wparam, lparam);
}

void Replace(Pane pane) {
    auto record = std::make_unique<PaneRecord>();
    record->pane = pane;
    SubclassWithRecord<PaneRecord, PaneMessage>(PaneWindow(pane), std::move(record));
}

}  // namespace

void ReplacePaneProcedures() {
    Replace(Pane::Output);
    Replace(Pane::Input);
    Replace(Pane::UserArea);
    Replace(Pane::SendButton);
}

void ReplaceOutputAreaProcedure() { Replace(Pane::Output); }

int RunOutputContextMenu(HWND output, HWND input, POINT at) {
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr) return 0;
    AppendMenuText(menu, IDM_COPY, "コピー(&C)");
    AppendMenuSeparator(menu);
    AppendMenuText(menu, IDM_COPYTOINPUT, "入力エリアにコピー(&P)");
    int chosen = static_cast<int>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y, 0, output, nullptr));
    if (chosen != 0) {
        // With nothing selected the clipboard keeps what it had (a copy of
        // nothing would empty it under some rich-edit versions).
        CHARRANGE selection = {};
        SendMessageW(output, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
        if (selection.cpMin != selection.cpMax) SendMessageW(output, WM_COPY, 0, 0);
        if (chosen == IDM_COPYTOINPUT && input != nullptr) SendMessageW(input, WM_PASTE, 0, 0);
    }
    DestroyMenu(menu);
    return chosen;
}
