// The order in which the program starts (on WM_CREATE of the main window),
// closes (WM_CLOSE) and shuts down.
#include <windows.h>
#include <winsock.h>
#include <commctrl.h>
#include <richedit.h>

#include <cstdio>
#include <memory>

#include "messaging/log_file.h"
#include "net/peer_table.h"
#include "net/transport.h"
#include "platform/win32/binary_semaphore_win32.h"
#include "platform/win32/host_identity_win32.h"
#include "platform/win32/local_clock_win32.h"
#include "platform/win32/profile_store_win32.h"
#include "platform/win32/udp_socket_win32.h"
#include "settings/program_paths.h"
#include "settings/settings.h"
#include "platform/win32/font_record_win32.h"
#include "platform/win32/wide_text.h"
#include "settings/win32/load_settings_win32.h"
#include "settings/win32/program_paths_win32.h"
#include "settings/window_information.h"
#include "resources/command_ids.h"
#include "platform/platform.h"
#include "platform/views.h"
#include "settings/window_modes.h"
#include "messaging/win32/popup_window.h"
#include "shell/core_wiring.h"
#include "shell/win32/arrival_notice.h"
#include "shell/win32/common_controls.h"
#include "shell/win32/main_views.h"
#include "shell/win32/main_window.h"
#include "shell/win32/output_area.h"
#include "platform/win32/pickers.h"
#include "platform/win32/placement.h"
#include "platform/win32/system_library.h"
#include "whiteboard/win32/board_window.h"

namespace {

constexpr UINT kResendInterval = 15000;
constexpr ULONGLONG kThreadEndBoundMs = 5000;
constexpr DWORD kThreadEndPollMs = 50;

// The platform parts the core reaches the outside world through. They live
// for the whole run; the socket is made once the main window exists.
HostIdentityWin32 g_host;
LocalClockWin32 g_clock;
Win32ProfileStore g_profile;
MainViews g_views;
std::unique_ptr<UdpSocketWin32> g_socket;

// Peer-table lock, pending-ack lock, notice lock, popup-start lock.
enum { LOCK_PEER_TABLE, LOCK_PENDING_ACK, LOCK_NOTICE, LOCK_POPUP_START, LOCK_COUNT };
std::unique_ptr<BinarySemaphoreWin32> g_locks[LOCK_COUNT];

void ConnectPlatform() {
    g_platform.host = &g_host;
    g_platform.clock = &g_clock;
    g_platform.profile = &g_profile;
    InstallViews(&g_views);
    ConnectSubsystems();
    g_platform.debug = g_settings.Debug;
}

void CreateLocks() {
    for (auto& lock : g_locks) lock = std::make_unique<BinarySemaphoreWin32>();
    g_platform.peer_table_lock = g_locks[LOCK_PEER_TABLE].get();
    g_platform.pending_ack_lock = g_locks[LOCK_PENDING_ACK].get();
}

// In creation order. The core stops locking rather than use a closed lock.
void CloseLocks() {
    g_platform.peer_table_lock = nullptr;
    g_platform.pending_ack_lock = nullptr;
    for (auto& lock : g_locks) lock.reset();
}

void ClearRunFlags() {
    ResetCustomColors();
    g_main.in_tray = false;
    g_transport.network_ready = false;
    g_transport.started = false;
    g_main.blink = BlinkState{};
}

// The small icon at the size the system asks for (16 pixels at 100%); the
// icon files carry 16, 20, 24, 32 and 48. Loaded without LR_SHARED, each is
// the program's own and is destroyed at exit.
// https://learn.microsoft.com/windows/win32/api/winuser/nf-winuser-loadimagew
HICON LoadSmallIcon(const wchar_t* name) {
    return static_cast<HICON>(LoadImageW(g_main.instance, name, IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                         GetSystemMetrics(SM_CYSMICON), 0));
}

void LoadIcons(HWND window) {
    g_main.normal_icon = LoadSmallIcon(WIDE_NAME(RES_TARNICON));
    g_main.alert_icons[0] = LoadSmallIcon(WIDE_NAME(RES_ICON_YELLOW));
    g_main.alert_icons[1] = LoadSmallIcon(WIDE_NAME(RES_ICON_GREEN));
    g_main.alert_icons[2] = LoadSmallIcon(WIDE_NAME(RES_ICON_SKYBLUE));
    g_main.alert_icons[3] = LoadSmallIcon(WIDE_NAME(RES_ICON_RED));
    g_main.blink_icon = g_main.normal_icon;
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(g_main.normal_icon));
}

void LoadPictures() {
    g_main.toolbar_bitmap = static_cast<HBITMAP>(
        LoadImageW(g_main.instance, WIDE_NAME(RES_TOOLBAR), IMAGE_BITMAP, TOOLBAR_IMAGE_COUNT * TOOLBAR_IMAGE_SIZE,
                   TOOLBAR_IMAGE_SIZE, LR_LOADMAP3DCOLORS));
    g_main.user_images = ImageList_Create(1, 16, ILC_COLOR4, 1, 1);
    g_main.split_h_cursor = LoadCursorW(g_main.instance, WIDE_NAME(RES_SPLITH_CUR));
    g_main.split_v_cursor = LoadCursorW(g_main.instance, WIDE_NAME(RES_SPLITV_CUR));
}

void CreateDefaultFont() {
    g_main.default_font = DefaultFontRecord();
    LOGFONTW lf = ToLogFontW(g_main.default_font);
    g_main.default_font_object = CreateFontIndirectW(&lf);
}

// The program file's path could not be read: nothing can be found or saved.
void TakeFatalErrorPath(HWND window) {
    MessageBoxCp932(window, "致命的なエラーが発生しました。", "Mosswick - 内部エラー", MB_OK | MB_ICONERROR);
    SendMessageW(window, WM_CLOSE, 0, 0);
}

// Going through the commands keeps menu checks, toolbar and status bar in step.
void RestoreSendModes(HWND window) {
    if (PersonalStatusOn(g_settings)) SendMessageW(window, WM_COMMAND, IDM_PERSONALMODE, 0);
    if (PopupStatusOn(g_settings)) SendMessageW(window, WM_COMMAND, IDM_POPUPMODE, 0);
}

// The saved rectangle is put back only when it is plainly on a screen that is
// there now, the primary one or another monitor.
void ApplySavedRect(HWND window, const RECT& saved) {
    WindowRect rect;
    rect.left = saved.left;
    rect.top = saved.top;
    rect.right = saved.right;
    rect.bottom = saved.bottom;
    if (!IsSavedRectUsable(rect, CurrentScreens())) return;
    MoveWindow(window, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, FALSE);
}

void OpenMessageLog() {
    if (!LogSaveOn(g_settings)) return;
    if (SwitchLogging(true, g_program_paths.log_path)) {
        g_views.SetStatusPart(3, "LOG");
    } else {
        g_views.ShowMessage("ログファイルを開けませんでした。", "Mosswick - ログファイル", BoxIcon::Exclamation);
    }
}

void ShowOrGoToTray(HWND window) {
    if (g_modes.window_shown) {
        ShowWindow(window, SW_SHOW);
    } else {
        ShowWindow(window, SW_HIDE);
        SendMessageW(window, UM_GOTOTRAY, 0, 0);
    }
}

void SetUpSocket(HWND window) {
    g_socket = std::make_unique<UdpSocketWin32>(window, UM_SOCKETEVENT);
    g_platform.socket = g_socket.get();
    SocketSetUp();  // a failure is reported there; the program runs without network
}

// Closes the log and removes the tray icon, then writes the window state
// (nothing is written when the settings file was never found).
void SaveWindowInformation(HWND window) {
    SwitchLogging(false, g_program_paths.log_path);
    RemoveTrayIcon(window);
    RECT r = {};
    GetWindowRect(window, &r);
    WindowRect rect;
    rect.left = r.left;
    rect.top = r.top;
    rect.right = r.right;
    rect.bottom = r.bottom;
    WriteWindowInformation(rect);  // failed writes at shutdown are ignored
}

void ReleaseRichEdit() {
    DestroyOutputArea();  // no rich-edit window may outlive its library
    if (g_main.richedit != nullptr) FreeLibrary(g_main.richedit);
    g_main.richedit = nullptr;
}

void DeleteGraphics() {
    if (g_main.toolbar_bitmap != nullptr) DeleteObject(g_main.toolbar_bitmap);
    g_main.toolbar_bitmap = nullptr;
    if (g_main.default_font_object != nullptr) DeleteObject(g_main.default_font_object);
    g_main.default_font_object = nullptr;
    DeletePaneFonts();
    if (g_main.input_brush != nullptr) DeleteObject(g_main.input_brush);
    g_main.input_brush = nullptr;
}

// The window lets go of its small icon before the icons go; the tray keeps
// a copy of its own.
void ReleaseIcons(HWND window) {
    SendMessageW(window, WM_SETICON, ICON_SMALL, 0);
    for (HICON& icon : g_main.alert_icons) {
        if (icon != nullptr) DestroyIcon(icon);
        icon = nullptr;
    }
    if (g_main.normal_icon != nullptr) DestroyIcon(g_main.normal_icon);
    g_main.normal_icon = g_main.blink_icon = nullptr;
}

// Waits, answering the messages other threads send to this one (a window
// that broadcasts must not hang on us), and leaving posted ones for later.
void WaitAnsweringSentMessages(DWORD ms) {
    MsgWaitForMultipleObjectsEx(0, nullptr, ms, QS_SENDMESSAGE, 0);
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

// Popup windows and the arrival notice run on threads of their own and use
// the locks, the default font and the socket: they are asked to close
// (posted, never sent) and waited for, within a bound. True when all have
// ended.
bool EndWindowThreads() {
    const ULONGLONG deadline = GetTickCount64() + kThreadEndBoundMs;
    for (;;) {
        const int popups = AskPopupsToClose();
        const bool notice = AskArrivalNoticeToClose();
        if (popups == 0 && !notice) return true;
        if (GetTickCount64() >= deadline) return false;
        WaitAnsweringSentMessages(kThreadEndPollMs);
    }
}

// The user area would destroy its state image list again when it goes, so it
// lets go of the list first.
void DestroyUserImages() {
    if (g_main.user_list != nullptr) SendMessageW(g_main.user_list, LVM_SETIMAGELIST, LVSIL_STATE, 0);
    if (g_main.user_images != nullptr) ImageList_Destroy(g_main.user_images);
    g_main.user_images = nullptr;
}

}  // namespace

void ApplyPaneColors() {
    if (g_main.output != nullptr) SendMessageW(g_main.output, EM_SETBKGNDCOLOR, 0, g_settings.OuArea_BackColor);
    g_main.input_brush_dirty = true;
    if (g_main.user_list != nullptr) {
        SendMessageW(g_main.user_list, LVM_SETTEXTCOLOR, 0, g_settings.UsArea_TextColor);
        SendMessageW(g_main.user_list, LVM_SETBKCOLOR, 0, g_settings.UsArea_BackColor);
        SendMessageW(g_main.user_list, LVM_SETTEXTBKCOLOR, 0, g_settings.UsArea_BackColor);
    }
}

void SetMainTitle(HWND window) {
    char title[64] = {};
    std::snprintf(title, sizeof title, "Mosswick - [%.*s]", static_cast<int>(sizeof g_settings.Name),
                  g_settings.Name);
    SetWindowTextCp932(window, title);
}

BinarySemaphore* NoticeLock() { return g_locks[LOCK_NOTICE].get(); }
BinarySemaphore* PopupStartLock() { return g_locks[LOCK_POPUP_START].get(); }

// In this order: the libraries and locks the windows need, the pictures and
// font, the paths and settings, the child windows in the saved state, the
// log, and last the network, which may answer at once.
bool RunStartUpSequence(HWND window) {
    g_main.window = window;
    ConnectPlatform();
    g_main.richedit = LoadSystemLibrary(kOutputAreaLibrary);  // the output area's class
    WSADATA wsa;
    WSAStartup(0x0101, &wsa);
    RegisterCommonControls();
    g_main.new_common_controls = IsNewCommonControls();
    ClearRunFlags();
    CreateLocks();
    g_main.menu = GetMenu(window);
    LoadIcons(window);
    LoadPictures();
    CreateDefaultFont();
    if (!LoadProgramPaths()) {
        TakeFatalErrorPath(window);
        return false;
    }
    RECT saved = {};
    LoadSettings(window, &saved);
    CreateChildWindows(window);
    RestoreSendModes(window);
    ApplyPaneColors();
    SetMainTitle(window);
    ApplySavedRect(window, saved);
    OpenMessageLog();
    EnableMenuItem(g_main.menu, IDM_END, MF_BYCOMMAND | MF_GRAYED);  // nothing started yet
    ResetPeerTable();
    ShowOrGoToTray(window);
    SetUpSocket(window);
    SetTimer(window, IDT_RESEND, kResendInterval, nullptr);
    return true;
}

void RunCloseSequence(HWND window) {
    CloseWhiteboard();
    DestroyOutputArea();
    RunShutdownSequence(window);
    DestroyWindow(window);
}

// Once per run: the windows of other threads end first; the peers are told
// next, while the socket and locks are still there; then the window state is
// saved and every resource released. A thread that did not end in time keeps
// the locks and graphics it may still use: the end of the process frees them.
// The help page opens in the user's browser: nothing of it to close.
void RunShutdownSequence(HWND window) {
    if (g_main.shutdown_done) return;
    g_main.shutdown_done = true;
    const bool threads_ended = EndWindowThreads();
    g_main.window_threads_left = !threads_ended;
    ShutdownNetwork();  // the end announcement, then the socket closed
    SaveWindowInformation(window);
    ReleaseRichEdit();
    DestroyUserImages();
    KillTimer(window, IDT_TRAYBLINK);
    KillTimer(window, IDT_TITLEBLINK);
    // What the popups and the notice use (the locks, the default font, the
    // program's icon) goes only once their threads have ended.
    if (threads_ended) {
        CloseLocks();
        DeleteGraphics();
        ReleaseIcons(window);
    }
    WSACleanup();
}

void EndSession(HWND window) {
    CloseWhiteboard();
    DestroyOutputArea();
    RunShutdownSequence(window);
}
