// The main window: its Win32 state (handles the program holds from start-up
// to exit) and the functions its window procedure hands each message to.
// The window's saved modes live in settings/window_modes.h (g_modes), the
// network's state in net/transport.h (g_transport), the program's paths in
// settings/program_paths.h (g_program_paths).
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>

#include "messaging/blink.h"
#include "platform/font_record.h"
#include "settings/window_modes.h"

constexpr int kMainMinWidth = 370;
constexpr int kMainMinHeight = 350;

struct MainWindowState {
    HINSTANCE instance = nullptr;
    HWND window = nullptr;
    HMENU menu = nullptr;
    HMODULE richedit = nullptr;             // "RICHED20.DLL", the output area's class
    bool new_common_controls = false;       // common controls 4.72 or later

    HICON normal_icon = nullptr;            // "TARNICON", 16 x 16
    HICON alert_icons[4] = {};              // yellow, green, sky blue, red
    HICON blink_icon = nullptr;
    BlinkState blink;                       // the blink icon and the title-blink count
    HBITMAP toolbar_bitmap = nullptr;       // "TOOLBAR", 13 images of 16 x 16
    HIMAGELIST user_images = nullptr;       // state images of the user area
    HCURSOR split_h_cursor = nullptr;
    HCURSOR split_v_cursor = nullptr;
    FontRecord default_font;
    HFONT default_font_object = nullptr;
    HBRUSH input_brush = nullptr;
    bool input_brush_dirty = false;

    // Child windows.
    HWND output = nullptr;
    HWND input = nullptr;
    HWND user_list = nullptr;
    HWND send_button = nullptr;
    HWND toolbar = nullptr;
    HWND status_bar = nullptr;
    HWND host_ip = nullptr;
    HWND host_ip_label = nullptr;

    bool in_tray = false;                   // the window is hidden, the tray icon stands for it
    HICON tray_icon = nullptr;              // the icon the tray shows (it changes while it blinks)
    bool tray_wanted = false;               // the tray was asked for, but the shell took no icon yet
    bool shutdown_done = false;             // the shutdown sequence runs once per run
    bool window_threads_left = false;       // a popup or the notice did not end when asked
    bool modal_open = false;                // the settings sheet or a small dialog is up
    bool close_pending = false;             // a close waits for that dialog to close
};

extern MainWindowState g_main;

// Entry point and window class (main_window.cpp).
bool RegisterMainWindowClass(HINSTANCE instance);
HWND CreateMainWindow(HINSTANCE instance);
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// Start-up, close and shutdown (main_window_startup.cpp).
bool RunStartUpSequence(HWND window);
void RunCloseSequence(HWND window);
// A close asked for by the user, the tray menu or Windows. While the settings
// sheet or a small dialog is up, that dialog is closed first and the close
// sequence runs once its modal loop has returned, so that nothing is freed
// under a dialog still running (main_window_commands.cpp).
void CloseMainWindow(HWND window);
void OnCloseModalTick(HWND window);
void RunShutdownSequence(HWND window);
// Windows is ending the session: the parts that must go before the library
// they come from, then the shutdown sequence.
void EndSession(HWND window);
// "Mosswick - [Name]" in the main window's title.
void SetMainTitle(HWND window);
// The pane colours of the settings on the live panes: the output area's
// background, the user area's colours, the input area's brush rebuilt.
void ApplyPaneColors();

// Child windows and layout (main_window_children.cpp).
bool CreateChildWindows(HWND window);
void LayOutChildren(int width, int height);
// The host IP box's text, CP932, at most 15 bytes.
std::string HostIpBoxText();
// Shows a CP932 text in one of the status bar's parts (0 to 3): every text
// the status bar shows goes through here.
constexpr int kStatusParts = 4;
void ShowStatusPart(int part, const char* text);
void DestroyOutputArea();
HBRUSH InputAreaColors(HDC dc);

// Commands (main_window_commands.cpp).
void DispatchCommand(HWND window, int id, int code, HWND control);
LRESULT MainOnNotify(HWND window, NMHDR* header);

// The tray (main_window_tray.cpp).
void GoToTray(HWND window);
void RestoreFromTray(HWND window, bool to_foreground);
void OnTrayNotify(HWND window, UINT mouse_message);
void RemoveTrayIcon(HWND window);
// Explorer's "TaskbarCreated" message, which a new taskbar sends to every
// top-level window: it is let through to the window even from a process of
// another integrity level, and answered by adding the icon again.
void ListenForTaskbarCreated(HWND window);
bool IsTaskbarCreated(UINT message);
void OnTaskbarCreated(HWND window);
void OnTrayRetryTick(HWND window);
// The context menu of the tray icon and of the main window, at a screen point.
void ShowContextMenu(HWND window, POINT at);
// The 500 ms ticks of the tray blink and the title-bar blink.
void OnTrayBlinkTick(HWND window);
void OnTitleBlinkTick(HWND window);

// The notice hand-over and popup-start locks (the peer-table and pending-ack
// locks are in g_platform). Null outside start-up to shutdown.
class BinarySemaphore;
BinarySemaphore* NoticeLock();
BinarySemaphore* PopupStartLock();
