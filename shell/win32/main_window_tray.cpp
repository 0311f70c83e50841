// Waiting in the task tray: the tray icon, hiding and restoring the window,
// the context menu, and the blinking of the tray and title-bar icons.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <iterator>
#include <string>

#include "messaging/blink.h"
#include "platform/win32/wide_text.h"
#include "settings/settings.h"
#include "resources/command_ids.h"
#include "settings/window_modes.h"
#include "shell/win32/arrival_notice.h"
#include "shell/win32/main_window.h"
#include "shell/win32/menu_text.h"

namespace {

constexpr UINT kBlinkPeriodMs = 500;
constexpr UINT kTrayRetryMs = 3000;

// Adds, modifies or deletes the tray icon; the tip is "Mosswick - [Name]".
// False when the shell refused.
bool SetTrayIcon(HWND window, HICON icon, DWORD action) {
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = IDC_TRAYICON;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = UM_TRAYNOTIFY;
    data.hIcon = icon;
    char tip[64] = {};
    std::snprintf(tip, sizeof tip, "Mosswick - [%.*s]", static_cast<int>(sizeof g_settings.Name), g_settings.Name);
    // The name takes at most 20 characters: the tip always has room for it.
    const std::wstring wide = WideFromCp932(tip);
    std::wcsncpy(data.szTip, wide.c_str(), std::size(data.szTip) - 1);
    return Shell_NotifyIconW(action, &data) != FALSE;
}

// The shell took no icon (at logon Explorer may not be ready for one yet):
// a hidden window without an icon could not be reached, so the window stays
// in sight and the icon is tried again a little later.
// https://learn.microsoft.com/en-us/windows/win32/api/shellapi/nf-shellapi-shell_notifyiconw
void WaitForTheTray(HWND window) {
    KillTimer(window, IDT_TRAYBLINK);
    g_main.in_tray = false;
    g_main.tray_wanted = true;
    g_modes.window_shown = true;
    ShowWindow(window, SW_SHOW);
    SetTimer(window, IDT_TRAYRETRY, kTrayRetryMs, nullptr);
}

UINT TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

HICON IconOf(BlinkIcon icon) {
    switch (icon) {
        case BlinkIcon::Yellow: return g_main.alert_icons[0];
        case BlinkIcon::Green: return g_main.alert_icons[1];
        case BlinkIcon::SkyBlue: return g_main.alert_icons[2];
        case BlinkIcon::Red: return g_main.alert_icons[3];
        case BlinkIcon::Normal: break;
    }
    return g_main.normal_icon;
}

void ShowBlinkIcon(BlinkIcon icon) { g_main.blink_icon = IconOf(icon); }

}  // namespace

void GoToTray(HWND window) {
    if (g_main.in_tray) return;
    if (!SetTrayIcon(window, g_main.normal_icon, NIM_ADD)) {
        WaitForTheTray(window);
        return;
    }
    g_main.tray_icon = g_main.normal_icon;
    g_main.tray_wanted = false;
    KillTimer(window, IDT_TRAYRETRY);
    ShowWindow(window, SW_HIDE);
    g_main.in_tray = true;
    g_modes.window_shown = false;
}

void RestoreFromTray(HWND window, bool to_foreground) {
    SetTrayIcon(window, g_main.normal_icon, NIM_DELETE);
    KillTimer(window, IDT_TRAYBLINK);
    KillTimer(window, IDT_TRAYRETRY);
    g_main.tray_wanted = false;
    ShowWindow(window, SW_SHOW);
    if (to_foreground) SetForegroundWindow(window);
    g_main.in_tray = false;
    g_modes.window_shown = true;
}

void OnTrayNotify(HWND window, UINT mouse_message) {
    if (mouse_message == WM_LBUTTONDBLCLK) {
        RestoreFromTray(window, true);
    } else if (mouse_message == WM_RBUTTONDOWN) {
        POINT at;
        GetCursorPos(&at);
        ShowContextMenu(window, at);
        // Lets the menu close properly when the user clicks elsewhere.
        PostMessageW(window, WM_NULL, 0, 0);
    }
}

void RemoveTrayIcon(HWND window) {
    KillTimer(window, IDT_TRAYRETRY);
    g_main.tray_wanted = false;
    if (!g_main.in_tray) return;
    SetTrayIcon(window, g_main.normal_icon, NIM_DELETE);
    g_main.in_tray = false;
}

// A program running elevated would not otherwise hear from Explorer, which
// runs at a lower integrity level.
// https://learn.microsoft.com/en-us/windows/win32/api/winuser/nf-winuser-changewindowmessagefilterex
void ListenForTaskbarCreated(HWND window) {
    const UINT message = TaskbarCreatedMessage();
    if (message != 0) ChangeWindowMessageFilterEx(window, message, MSGFLT_ALLOW, nullptr);
}

bool IsTaskbarCreated(UINT message) { return message != 0 && message == TaskbarCreatedMessage(); }

// A new taskbar has none of the icons the old one showed: the icon goes back
// as it was, and a blinking icon blinks on (its timer runs on). The message
// may also come while the old icon is still there (the shell sends it on
// other occasions too), and then the icon is only brought up to date. A
// program waiting for the tray tries at once.
// https://learn.microsoft.com/en-us/windows/win32/shell/taskbar#taskbar-creation-notification
void OnTaskbarCreated(HWND window) {
    if (g_main.tray_wanted) {
        GoToTray(window);
    } else if (g_main.in_tray && !SetTrayIcon(window, g_main.tray_icon, NIM_ADD) &&
               !SetTrayIcon(window, g_main.tray_icon, NIM_MODIFY)) {
        WaitForTheTray(window);
    }
}

void OnTrayRetryTick(HWND window) {
    KillTimer(window, IDT_TRAYRETRY);
    if (g_main.tray_wanted) GoToTray(window);
}

void ShowContextMenu(HWND window, POINT at) {
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr) return;
    AppendMenuText(menu, IDM_WHITEBOARD, "白板(&B)");
    AppendMenuText(menu, IDM_STATUS, "状態変更(&T)");
    AppendMenuText(menu, IDM_MACHINEINFO, "マシン情報(&U)");
    AppendMenuText(menu, IDM_SHOWLOG, "ログの表示(&L)");
    AppendMenuSeparator(menu);
    AppendMenuText(menu, IDM_SETTINGS, "設定(&O)");
    if (!g_modes.window_shown) {
        AppendMenuSeparator(menu);
        AppendMenuText(menu, IDM_RESTORE, "ウィンドウを復元(&R)");
    }
    AppendMenuSeparator(menu);
    AppendMenuText(menu, IDM_HELPCONTENTS, "ヘルプ(&H)");
    AppendMenuText(menu, IDM_VERSION, "バージョン情報(&A)");
    AppendMenuSeparator(menu);
    AppendMenuText(menu, IDM_EXIT, "Mosswickの終了(&X)");
    SetForegroundWindow(window);
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_LEFTBUTTON, at.x, at.y, 0, window, nullptr);
    DestroyMenu(menu);
}

void OnTrayBlinkTick(HWND window) {
    ShowBlinkIcon(TrayBlinkTick(&g_main.blink, g_settings.Icon_Color));
    g_main.tray_icon = g_main.blink_icon;
    SetTrayIcon(window, g_main.tray_icon, NIM_MODIFY);
}

void OnTitleBlinkTick(HWND window) {
    TitleBlinkStep step = TitleBlinkTick(&g_main.blink, g_settings.Icon_Color);
    if (step.stop) KillTimer(window, IDT_TITLEBLINK);
    ShowBlinkIcon(step.icon);
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(g_main.blink_icon));
}

void StartTitleBlink(HWND window) { SetTimer(window, IDT_TITLEBLINK, kBlinkPeriodMs, nullptr); }

void StartTrayBlink(HWND window) { SetTimer(window, IDT_TRAYBLINK, kBlinkPeriodMs, nullptr); }
