// Waiting in the task tray: the tray icon, hiding and restoring the window.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>

#include "settings/settings.h"
#include "shell/command_ids.h"
#include "platform/platform.h"
#include "shell/win32/main_window.h"

namespace {

// Adds, modifies or deletes the tray icon; the tip is "Mosswick - [Name]".
void SetTrayIcon(HWND window, HICON icon, DWORD action) {
    NOTIFYICONDATAA data = {};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = IDC_TRAYICON;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = UM_TRAYNOTIFY;
    data.hIcon = icon;
    std::snprintf(data.szTip, sizeof data.szTip, "Mosswick - [%.*s]", static_cast<int>(sizeof g_settings.Name),
                  g_settings.Name);
    Shell_NotifyIconA(action, &data);  // a refusal of the shell is ignored
}

}  // namespace

void GoToTray(HWND window) {
    SetTrayIcon(window, g_main.normal_icon, NIM_ADD);
    ShowWindow(window, SW_HIDE);
    g_flags.in_tray = true;
    g_flags.window_shown = false;
}

void RestoreFromTray(HWND window, bool to_foreground) {
    SetTrayIcon(window, g_main.normal_icon, NIM_DELETE);
    KillTimer(window, IDT_TRAYBLINK);
    ShowWindow(window, SW_SHOW);
    if (to_foreground) SetForegroundWindow(window);
    g_flags.in_tray = false;
    g_flags.window_shown = true;
}

void OnTrayNotify(HWND window, UINT mouse_message) {
    if (mouse_message == WM_LBUTTONDBLCLK) RestoreFromTray(window, true);
}

void RemoveTrayIcon(HWND window) {
    if (!g_flags.in_tray) return;
    SetTrayIcon(window, g_main.normal_icon, NIM_DELETE);
    g_flags.in_tray = false;
}
