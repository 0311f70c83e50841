// The main window's class and its window procedure: each message is unpacked
// and handed to one handler.
#include "shell/win32/main_window.h"

#include <windowsx.h>

#include "net/pending_acks.h"
#include "net/transport.h"
#include "platform/win32/wide_text.h"
#include "resources/command_ids.h"
#include "platform/win32/window_guard.h"

MainWindowState g_main;

namespace {

constexpr wchar_t kMainClass[] = L"Mosswick";
constexpr int kMainWidth = 550;
constexpr int kMainHeight = 450;

LRESULT MainOnCreate(HWND window) {
    ListenForTaskbarCreated(window);
    RunStartUpSequence(window);
    return 0;
}

void MainOnDestroy() {
    g_main.window = nullptr;
    PostQuitMessage(0);
}

void MainOnSize(WPARAM kind, int width, int height) {
    if (kind != SIZE_MINIMIZED) LayOutChildren(width, height);
}

void MainOnActivate(int state) {
    if (state != WA_INACTIVE && g_main.input != nullptr) SetFocus(g_main.input);
}

void MainOnGetMinMaxInfo(MINMAXINFO* info) {
    info->ptMinTrackSize.x = kMainMinWidth;
    info->ptMinTrackSize.y = kMainMinHeight;
}

void MainOnTimer(HWND window, UINT_PTR id) {
    switch (id) {
        case IDT_RESEND: ResendPass(); break;
        case IDT_TRAYBLINK: OnTrayBlinkTick(window); break;
        case IDT_TITLEBLINK: OnTitleBlinkTick(window); break;
        case IDT_TRAYRETRY: OnTrayRetryTick(window); break;
        case IDT_CLOSEMODAL: OnCloseModalTick(window); break;
        default: break;
    }
}

// The context menu for a right-click anywhere but in the user area, which
// has its own use of the right button.
void MainOnContextMenu(HWND window, HWND clicked, LPARAM at) {
    if (clicked != nullptr && clicked == g_main.user_list) return;
    ShowContextMenu(window, POINT{GET_X_LPARAM(at), GET_Y_LPARAM(at)});
}

LRESULT MainOnCtlColorEdit(HWND window, HDC dc, HWND control) {
    if (control == g_main.input && control != nullptr) return reinterpret_cast<LRESULT>(InputAreaColors(dc));
    return DefWindowProcW(window, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
}

// Windows asks whether the session may end: yes. Nothing is released here;
// the shutdown runs when the session really ends (WM_ENDSESSION).
LRESULT MainOnQueryEndSession() { return TRUE; }

// The session ends: the shutdown sequence runs, and the process may be ended
// by Windows at any moment afterwards. The Restart Manager (an installer,
// Windows Update) sends ENDSESSION_CLOSEAPP to a program it needs gone while
// the session goes on: the program closes as it would for the user.
// https://learn.microsoft.com/en-us/windows/win32/shutdown/wm-endsession
// https://learn.microsoft.com/en-us/windows/win32/rstmgr/guidelines-for-applications
void MainOnEndSession(HWND window, bool ending, LPARAM how) {
    if (!ending) return;
    if (how & ENDSESSION_CLOSEAPP) {
        CloseMainWindow(window);
    } else {
        EndSession(window);
    }
}

// Registered messages have no fixed number to switch on.
LRESULT MainOnOtherMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (IsTaskbarCreated(message)) {
        OnTaskbarCreated(window);
        return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

LRESULT MainWindowMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_CREATE: return MainOnCreate(window);
        case WM_DESTROY: MainOnDestroy(); return 0;
        case WM_SIZE: MainOnSize(wparam, LOWORD(lparam), HIWORD(lparam)); return 0;
        case WM_ACTIVATE: MainOnActivate(LOWORD(wparam)); return 0;
        case WM_CLOSE: CloseMainWindow(window); return 0;
        case WM_QUERYENDSESSION: return MainOnQueryEndSession();
        case WM_ENDSESSION: MainOnEndSession(window, wparam != FALSE, lparam); return 0;
        case WM_GETMINMAXINFO: MainOnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lparam)); return 0;
        case WM_NOTIFY: return MainOnNotify(window, reinterpret_cast<NMHDR*>(lparam));
        case WM_COMMAND:
            DispatchCommand(window, LOWORD(wparam), HIWORD(wparam), reinterpret_cast<HWND>(lparam));
            return 0;
        case WM_TIMER: MainOnTimer(window, wparam); return 0;
        case WM_CONTEXTMENU: MainOnContextMenu(window, reinterpret_cast<HWND>(wparam), lparam); return 0;
        case WM_CTLCOLOREDIT:
            return MainOnCtlColorEdit(window, reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
        case UM_TRAYNOTIFY: OnTrayNotify(window, static_cast<UINT>(lparam)); return 0;
        case UM_GOTOTRAY: GoToTray(window); return 0;
        case UM_RESTOREQUIETLY: RestoreFromTray(window, false); return 0;
        case UM_SOCKETEVENT: SocketEvent(LOWORD(lparam)); return 0;
        default: return MainOnOtherMessage(window, message, wparam, lparam);
    }
}

}  // namespace

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    return Guarded<MainWindowMessage>(window, message, wparam, lparam);
}

bool RegisterMainWindowClass(HINSTANCE instance) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.style = 0;
    wc.lpfnWndProc = MainWindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, WIDE_NAME(RES_TARNICON));
    wc.hIconSm = nullptr;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    wc.lpszMenuName = WIDE_NAME(RES_MENU);
    wc.lpszClassName = kMainClass;
    return RegisterClassExW(&wc) != 0;
}

HWND CreateMainWindow(HINSTANCE instance) {
    return CreateWindowExW(0, kMainClass, L"", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, kMainWidth,
                           kMainHeight, nullptr, nullptr, instance, nullptr);
}
