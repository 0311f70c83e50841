// The status change dialog: an edit field with the nine preset texts listed
// below it. "変更" makes the field's text the own status and tells the peers;
// an empty field is refused with a message and the dialog stays open.
#include "settings/window_modes.h"
#include "shell/win32/small_dialogs.h"

#include <windows.h>

#include <string>

#include "net/peer_table.h"
#include "net/presence.h"
#include "resources/command_ids.h"
#include "platform/win32/byte_limit.h"
#include "platform/win32/placement.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/window_guard.h"

namespace {

constexpr const char* kTitle = "Mosswick - 状態変更";

// The presets, in the order the list shows them.
constexpr const char* kPresets[] = {
    "受信可", "受信不可", "在席中", "外出中", "会議中", "食事中", "休憩中", "喫煙中", "睡眠中",
};

// Bytes the user may type; the status itself keeps up to 16.
constexpr int kTypedLimit = 14;

// The field is the edit inside the combo box; the limit counts its CP932
// bytes, as the status goes on the wire.
void LimitField(HWND combo) {
    COMBOBOXINFO info = {};
    info.cbSize = sizeof info;
    if (GetComboBoxInfo(combo, &info) && LimitEditToCp932Bytes(info.hwndItem, kTypedLimit)) return;
    SendMessageW(combo, CB_LIMITTEXT, kTypedLimit, 0);  // at least no more characters than bytes
}

void OnInitDialog(HWND dialog) {
    CornerPlacement(dialog, g_modes.window_shown);
    HWND combo = GetDlgItem(dialog, IDC_STATUS_TEXT);
    for (const char* preset : kPresets)
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideFromCp932(preset).c_str()));
    LimitField(combo);
    SetWindowTextCp932(combo, OwnStatus());
}

void OnChange(HWND dialog) {
    const std::string text = DialogItemTextCp932(dialog, IDC_STATUS_TEXT, kOwnStatusSize - 1);
    if (text.empty()) {
        MessageBoxCp932(dialog, "文字が入力されていません。", kTitle, MB_OK | MB_ICONINFORMATION);
        return;
    }
    SetOwnStatus(text.c_str());
    // Sent even when the text is the status already in force.
    AnnounceOwnChange();
    EndDialog(dialog, 1);
}

void OnCommand(HWND dialog, int id) {
    switch (id) {
        case IDOK: OnChange(dialog); break;
        case IDCANCEL: EndDialog(dialog, 0); break;
        default: break;
    }
}

INT_PTR StatusProcedure(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG: OnInitDialog(dialog); return TRUE;  // the focus goes to the field
        case WM_COMMAND: OnCommand(dialog, LOWORD(wparam)); return TRUE;
        default: return FALSE;
    }
}

}  // namespace

void OpenStatusDialog(HWND owner) {
    DialogBoxParamW(GetModuleHandleW(nullptr), WIDE_NAME(RES_DLG_STATUS), owner, GuardedDialog<StatusProcedure>, 0);
}
