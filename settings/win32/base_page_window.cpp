// The Base page: the name, the input-method switch, the date and time of
// receipt, the user's own text colour with its sample, and the log, which is
// switched on and off (and its file deleted) at once, whatever button later
// closes the sheet.
#include <windows.h>
#include <prsht.h>

#include <cstdio>

#include "platform/bars_view.h"
#include "platform/host_identity.h"
#include "platform/platform.h"
#include "settings/page_writes.h"
#include "settings/settings.h"
#include "settings/win32/settings_pages.h"
#include "resources/command_ids.h"
#include "platform/win32/byte_limit.h"
#include "platform/win32/pickers.h"
#include "platform/win32/placement.h"
#include "platform/win32/wide_text.h"
#include "settings/window_modes.h"

namespace {

constexpr int kNameLimit = 19;
constexpr int kLogStatusPart = 3;

void ShowLogState(const char* text) {
    if (g_platform.bars != nullptr) g_platform.bars->SetStatusPart(kLogStatusPart, text);
}

std::string LoginName() {
    return g_platform.host != nullptr ? g_platform.host->LoginName(kLoginNameBuffer) : std::string();
}

void OnInit(BasePage& page, HWND window) {
    CornerPlacement(GetParent(window), g_modes.window_shown);
    // The name is limited as the settings file and the wire count it, in
    // CP932 bytes, however many characters that makes.
    LimitEditToCp932Bytes(GetDlgItem(window, IDC_BASE_NAME), kNameLimit);
    SetDialogItemTextCp932(window, IDC_BASE_NAME, g_settings.Name);
    SetTicked(window, IDC_BASE_IME, TickedAtOpening(g_settings.IME_Auto_Change));
    SetTicked(window, IDC_BASE_DATE, TickedAtOpening(g_settings.Date_View));
    SetTicked(window, IDC_BASE_TIME, TickedAtOpening(g_settings.Time_View));
    SetTicked(window, IDC_BASE_LOG, page.host->Logging());
    SetDialogItemTextCp932(window, IDC_BASE_SAMPLE, kSampleText);
    page.own_colour = g_settings.Msg_TextColor;
    page.opening = {g_settings.Name, g_settings.Msg_TextColor};
    page.sample.rebuild = true;
}

void ChangeOwnColour(BasePage& page, HWND window) {
    COLORREF colour = page.own_colour;
    if (!PickColor(window, &colour)) return;
    page.own_colour = colour;
    page.sample.rebuild = true;
    InvalidateRect(GetDlgItem(window, IDC_BASE_SAMPLE), nullptr, TRUE);
}

// A log that cannot be opened is said so, as at start-up, and the box is
// cleared again: it shows whether the program logs.
void StartLogging(SettingsSheetHost& host, HWND window) {
    if (host.SwitchLog(true)) {
        ShowLogState("LOG");
        return;
    }
    ReportPageFailure(kBasePageReport, kLogOpenStep);
    MessageBoxCp932(window, "ログファイルを開けませんでした。", "Mosswick - ログファイル", MB_OK | MB_ICONEXCLAMATION);
    SetTicked(window, IDC_BASE_LOG, false);
}

void StopLogging(SettingsSheetHost& host) {
    host.SwitchLog(false);
    ShowLogState("");
}

void OnLogBox(SettingsSheetHost& host, HWND window) {
    const bool ticked = IsTicked(window, IDC_BASE_LOG);
    if (ticked && !host.Logging()) StartLogging(host, window);
    if (!ticked && host.Logging()) StopLogging(host);
}

// Deletes the log without asking; while logging, a new empty log follows.
void OnDeleteLog(SettingsSheetHost& host) {
    if (!host.DeleteLogFile()) ReportPageFailure(kBasePageReport, kLogReopenStep);
}

void WarnLoginNameUsed(HWND window) {
    MessageBoxCp932(window, "名前が指定されていないため、名前にログイン名を使用します。", "Mosswick - 名前",
                    MB_OK | MB_ICONWARNING);
}

INT_PTR OnApply(BasePage& page, HWND window) {
    BasePageChoice choice;
    choice.name = PageText(window, IDC_BASE_NAME, kNameLimit);
    choice.ime_auto_change = IsTicked(window, IDC_BASE_IME);
    choice.date_view = IsTicked(window, IDC_BASE_DATE);
    choice.time_view = IsTicked(window, IDC_BASE_TIME);
    choice.own_colour = page.own_colour;
    BasePageResult result = ApplyBasePage(choice, page.opening, LoginName(), page.host->Logging());
    if (result.name_was_empty) WarnLoginNameUsed(window);
    if (result.announce) page.host->AnnounceOwnChange();
    ReportPageFailure(kBasePageReport, result.failed_step);
    page.sample.Free();
    return AppliedNoError(window);
}

INT_PTR OnSampleColours(BasePage& page, HWND control, HDC dc) {
    if (GetDlgCtrlID(control) != IDC_BASE_SAMPLE) return FALSE;
    SetTextColor(dc, page.own_colour);
    SetBkColor(dc, g_settings.OuArea_BackColor);
    return reinterpret_cast<INT_PTR>(page.sample.For(g_settings.OuArea_BackColor));
}

INT_PTR OnCommand(BasePage& page, HWND window, int id, int code) {
    if (code != BN_CLICKED) return FALSE;
    switch (id) {
        case IDC_BASE_COLOUR: ChangeOwnColour(page, window); break;
        case IDC_BASE_LOG: OnLogBox(*page.host, window); break;
        case IDC_BASE_DELETELOG: OnDeleteLog(*page.host); break;
        default: return FALSE;
    }
    return TRUE;
}

INT_PTR OnNotify(BasePage& page, HWND window, LPARAM lparam) {
    switch (SheetNotification(lparam)) {
        case PSN_APPLY: return OnApply(page, window);
        case PSN_RESET: page.sample.Free(); return TRUE;
        default: return FALSE;
    }
}

}  // namespace

INT_PTR BasePageProcedure(BasePage& page, HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG: OnInit(page, window); return TRUE;
        case WM_COMMAND: return OnCommand(page, window, LOWORD(wparam), HIWORD(wparam));
        case WM_NOTIFY: return OnNotify(page, window, lparam);
        case WM_CTLCOLORSTATIC:
            return OnSampleColours(page, reinterpret_cast<HWND>(lparam), reinterpret_cast<HDC>(wparam));
        case WM_DESTROY: page.sample.Free(); return FALSE;
        default: return FALSE;
    }
}
