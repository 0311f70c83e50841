// The Network page: the host address list (edited in the page's own copy
// and shown in its list box in the same order), the port, the local
// broadcast and Start at launch. OK puts the new list in use at once.
#include <windows.h>
#include <prsht.h>

#include <cstdio>
#include <string>

#include "settings/network_page.h"
#include "settings/page_writes.h"
#include "settings/settings.h"
#include "settings/win32/settings_pages.h"
#include "resources/command_ids.h"
#include "platform/win32/byte_limit.h"
#include "platform/win32/wide_text.h"

namespace {

void WarnListFull(HWND window) {
    MessageBoxCp932(window, "ホストＩＰアドレスは３０個までしか指定できません。", "Mosswick - ホストＩＰアドレス",
                    MB_OK | MB_ICONWARNING);
}

// The list box shows the page's copy, entry for entry.
void ShowList(const NetworkPage& page, HWND window) {
    HWND list = GetDlgItem(window, IDC_NET_LIST);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const std::string& text : page.hosts.texts())
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideFromCp932(text).c_str()));
}

void OnInit(NetworkPage& page, HWND window) {
    SetTicked(window, IDC_NET_LOCALBROADCAST, TickedAtOpening(g_settings.Broadcast_LocalNetwork));
    SetTicked(window, IDC_NET_STARTSEND, TickedAtOpening(g_settings.Start_Send));
    char port[16];
    std::snprintf(port, sizeof port, "%d", static_cast<int>(g_settings.Port_Number));
    // Both boxes hold what the settings file keeps: 19 CP932 bytes.
    LimitEditToCp932Bytes(GetDlgItem(window, IDC_NET_ADDRESS), kHostTextLimit);
    LimitEditToCp932Bytes(GetDlgItem(window, IDC_NET_PORT), kHostTextLimit);
    SetDialogItemTextCp932(window, IDC_NET_PORT, port);
    page.hosts = HostListEdit(HostTextsOf(g_settings));
    ShowList(page, window);
}

void AddTyped(NetworkPage& page, HWND window) {
    std::string text = PageText(window, IDC_NET_ADDRESS, kHostTextLimit);
    switch (page.hosts.Add(text, page.host->OwnAddress())) {
        case HostListEdit::Added::Full: WarnListFull(window); return;
        case HostListEdit::Added::Refused: return;
        case HostListEdit::Added::Yes: break;
    }
    ShowList(page, window);
    SendDlgItemMessageW(window, IDC_NET_LIST, LB_SETCURSEL, page.hosts.last_added(), 0);
    SetDialogItemTextCp932(window, IDC_NET_ADDRESS, "");
}

void DeleteSelected(NetworkPage& page, HWND window) {
    LRESULT selected = SendDlgItemMessageW(window, IDC_NET_LIST, LB_GETCURSEL, 0, 0);
    if (selected == LB_ERR) return;
    std::string text = page.hosts.Remove(static_cast<int>(selected));
    SetDialogItemTextCp932(window, IDC_NET_ADDRESS, text.c_str());
    SendDlgItemMessageW(window, IDC_NET_LIST, LB_DELETESTRING, selected, 0);
}

// Adds the known users' addresses, in the order they became known: the own
// one first, as the user area shows them until the user sorts it.
void AddUserAddresses(NetworkPage& page, HWND window) {
    const bool full = page.hosts.AddUserAddresses(page.host->UserAddresses(), page.host->OwnAddress());
    ShowList(page, window);
    if (full) WarnListFull(window);
}

INT_PTR OnApply(NetworkPage& page, HWND window) {
    NetworkChoice choice;
    choice.port_text = PageText(window, IDC_NET_PORT, kHostTextLimit);
    choice.local_broadcast = IsTicked(window, IDC_NET_LOCALBROADCAST);
    choice.start_send = IsTicked(window, IDC_NET_STARTSEND);
    choice.hosts = page.hosts.texts();
    ReportPageFailure(kNetworkPageReport, ApplyNetworkPage(choice));
    return AppliedNoError(window);
}

INT_PTR OnCommand(NetworkPage& page, HWND window, int id, int code) {
    if (code != BN_CLICKED) return FALSE;
    switch (id) {
        case IDC_NET_ADD: AddTyped(page, window); break;
        case IDC_NET_DELETE: DeleteSelected(page, window); break;
        case IDC_NET_IMPORT: AddUserAddresses(page, window); break;
        default: return FALSE;
    }
    return TRUE;
}

}  // namespace

INT_PTR NetworkPageProcedure(NetworkPage& page, HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG: OnInit(page, window); return TRUE;
        case WM_COMMAND: return OnCommand(page, window, LOWORD(wparam), HIWORD(wparam));
        case WM_NOTIFY:
            if (SheetNotification(lparam) == PSN_APPLY) return OnApply(page, window);
            return FALSE;
        default: return FALSE;
    }
}
