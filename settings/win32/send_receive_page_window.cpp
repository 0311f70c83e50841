// The Send/Receive page: the confirmations before sending, what an arriving
// message does while the window is shown and while the program waits in the
// tray, and the colour of the blinking icon.
#include <windows.h>
#include <prsht.h>

#include "settings/send_receive_page.h"
#include "settings/page_writes.h"
#include "settings/settings.h"
#include "settings/win32/settings_pages.h"
#include "resources/command_ids.h"
#include "platform/win32/wide_text.h"

namespace {

const char* const kShownItems[kArrivalItemCount] = {"ﾀｲﾄﾙﾊﾞｰのｱｲｺﾝを点滅 (15秒間)", "ﾒｯｾｰｼﾞﾎﾞｯｸｽを出す", "何もしない"};
const char* const kTrayItems[kArrivalItemCount] = {"ﾀｽｸﾄﾚｲのｱｲｺﾝを点滅", "ﾒｯｾｰｼﾞﾎﾞｯｸｽを出す", "何もしない"};

// The icon buttons left to right, in the order of the alert icons they show.
constexpr int kIconButtonIds[ICON_BUTTON_COUNT] = {IDC_SR_YELLOW, IDC_SR_GREEN, IDC_SR_SKYBLUE, IDC_SR_RED};

void FillArrivalList(HWND window, int id, const char* const (&items)[kArrivalItemCount], const char* value) {
    HWND list = GetDlgItem(window, id);
    for (const char* item : items)
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideFromCp932(item).c_str()));
    SendMessageW(list, CB_SETCURSEL, ArrivalItemFor(value), 0);
}

void SetUpIconButtons(SettingsSheetHost& host, HWND window) {
    const int selected = IconButtonFor(g_settings.Icon_Color);
    for (int i = 0; i < ICON_BUTTON_COUNT; ++i) {
        SendDlgItemMessageW(window, kIconButtonIds[i], BM_SETIMAGE, IMAGE_ICON,
                            reinterpret_cast<LPARAM>(host.AlertIcon(i)));
        SetTicked(window, kIconButtonIds[i], i == selected);
    }
}

void OnInit(SettingsSheetHost& host, HWND window) {
    SetTicked(window, IDC_SR_PERSONALCHECK, TickedAtOpening(g_settings.Personal_Send_Check));
    SetTicked(window, IDC_SR_BROADCASTCHECK, TickedAtOpening(g_settings.Broadcast_Send_Check));
    SetTicked(window, IDC_SR_POPUPCHECK, TickedAtOpening(g_settings.Popup_Send_Check));
    FillArrivalList(window, IDC_SR_SHOWNLIST, kShownItems, g_settings.ChatMsg_Recieve);
    FillArrivalList(window, IDC_SR_TRAYLIST, kTrayItems, g_settings.ChatMsg_Recieve_At_Toray);
    SetUpIconButtons(host, window);
}

int SelectedItem(HWND window, int id) {
    LRESULT item = SendDlgItemMessageW(window, id, CB_GETCURSEL, 0, 0);
    return item == CB_ERR ? -1 : static_cast<int>(item);
}

INT_PTR OnApply(HWND window) {
    SendReceiveChoice choice;
    choice.personal_check = IsTicked(window, IDC_SR_PERSONALCHECK);
    choice.broadcast_check = IsTicked(window, IDC_SR_BROADCASTCHECK);
    choice.popup_check = IsTicked(window, IDC_SR_POPUPCHECK);
    choice.shown_item = SelectedItem(window, IDC_SR_SHOWNLIST);
    choice.tray_item = SelectedItem(window, IDC_SR_TRAYLIST);
    for (int i = 0; i < ICON_BUTTON_COUNT; ++i) choice.icon_checked[i] = IsTicked(window, kIconButtonIds[i]);
    ReportPageFailure(kSendReceiveReport, ApplySendReceivePage(choice));
    return AppliedNoError(window);
}

}  // namespace

INT_PTR SendReceivePageProcedure(SendReceivePage& page, HWND window, UINT message, WPARAM, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG: OnInit(*page.host, window); return TRUE;
        case WM_NOTIFY:
            if (SheetNotification(lparam) == PSN_APPLY) return OnApply(window);
            return FALSE;
        default: return FALSE;
    }
}
