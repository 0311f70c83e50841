// The machine information dialog: computer name, login name and the address
// the program uses for itself. The host name is looked up only once the
// dialog is on the screen (a lookup can take a while), so the two fields
// that depend on it say "取得中" until then.
#include "shell/win32/small_dialogs.h"

#include <windows.h>

#include <string>

#include "net/peer_table.h"
#include "platform/host_identity.h"
#include "platform/inet_address.h"
#include "platform/platform.h"
#include "platform/win32/placement.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/window_guard.h"
#include "resources/command_ids.h"
#include "settings/window_modes.h"

namespace {

constexpr const char* kObtaining = "  取得中";
constexpr const char* kNotObtained = "  取得できませんでした";
// Room for a login name of up to 255 bytes.
constexpr size_t kLoginShown = 256;

// Each field shows its value after two blanks.
void SetField(HWND dialog, int id, const char* value) {
    SetDialogItemTextCp932(dialog, id, (std::string("  ") + value).c_str());
}

void OnInitDialog(HWND dialog) {
    CornerPlacement(dialog, g_modes.window_shown);
    HostIdentity* host = g_platform.host;
    SetField(dialog, IDC_INFO_LOGIN, host != nullptr ? host->LoginName(kLoginShown).c_str() : "");
    SetDialogItemTextCp932(dialog, IDC_INFO_COMPUTER, kObtaining);
    SetDialogItemTextCp932(dialog, IDC_INFO_ADDRESS, kObtaining);
    PostMessageW(dialog, UM_FILLMACHINEINFO, 0, 0);
}

// The address is the own entry's, as the peers know it; it is not looked up
// again from the host name.
void OnFillMachineInfo(HWND dialog) {
    std::string host = g_platform.host != nullptr ? g_platform.host->HostName() : std::string();
    if (host.empty()) {
        SetDialogItemTextCp932(dialog, IDC_INFO_COMPUTER, kNotObtained);
        SetDialogItemTextCp932(dialog, IDC_INFO_ADDRESS, kNotObtained);
        return;
    }
    SetField(dialog, IDC_INFO_COMPUTER, host.c_str());
    SetField(dialog, IDC_INFO_ADDRESS, FormatDottedAddress(OwnAddress()).c_str());
}

void OnCommand(HWND dialog, int id) {
    if (id == IDOK || id == IDCANCEL) EndDialog(dialog, id == IDOK ? 1 : 0);
}

INT_PTR MachineInfoProcedure(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG: OnInitDialog(dialog); return TRUE;
        case UM_FILLMACHINEINFO: OnFillMachineInfo(dialog); return TRUE;
        case WM_COMMAND: OnCommand(dialog, LOWORD(wparam)); return TRUE;
        default: return FALSE;
    }
}

}  // namespace

void OpenMachineInfoDialog(HWND owner) {
    DialogBoxParamW(GetModuleHandleW(nullptr), WIDE_NAME(RES_DLG_INFO), owner, GuardedDialog<MachineInfoProcedure>, 0);
}
