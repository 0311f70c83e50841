// The version dialog: the program icon, name and version, and OK. Everything
// it shows is in its resource.
#include "settings/window_modes.h"
#include "shell/win32/small_dialogs.h"

#include <windows.h>

#include "resources/command_ids.h"
#include "platform/win32/placement.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/window_guard.h"

namespace {

void OnCommand(HWND dialog, int id) {
    if (id == IDOK || id == IDCANCEL) EndDialog(dialog, id == IDOK ? 1 : 0);
}

INT_PTR VersionProcedure(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG: CornerPlacement(dialog, g_modes.window_shown); return TRUE;
        case WM_COMMAND: OnCommand(dialog, LOWORD(wparam)); return TRUE;
        default: return FALSE;
    }
}

}  // namespace

void OpenVersionDialog(HWND owner) {
    DialogBoxParamW(GetModuleHandleW(nullptr), WIDE_NAME(RES_DLG_VERSION), owner, GuardedDialog<VersionProcedure>, 0);
}
