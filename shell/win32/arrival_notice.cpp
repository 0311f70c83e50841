#include "shell/win32/arrival_notice.h"

#include <atomic>
#include <cstring>
#include <cwchar>
#include <string>
#include <system_error>
#include <thread>

#include "messaging/notice_gate.h"
#include "platform/binary_semaphore.h"
#include "platform/win32/front_window.h"
#include "platform/win32/wide_text.h"
#include "resources/command_ids.h"
#include "shell/win32/main_window.h"

namespace {

NoticeGate g_notice_gate;

// What the starting thread hands the notice's thread, under the notice lock.
struct NoticeHandOver {
    char name[21] = {};
    bool tray = false;
    HWND window = nullptr;
};
NoticeHandOver g_hand_over;
std::atomic<DWORD> g_notice_thread{0};  // the open notice's thread, 0 while there is none

// The notice is the system's message box: a hook on the notice's thread sees
// it open (to bring it in front) and come to the foreground (to settle it).
// https://learn.microsoft.com/windows/win32/winmsg/callwndretproc
LRESULT CALLBACK WatchNoticeBox(int code, WPARAM wparam, LPARAM lparam) {
    if (code == HC_ACTION) {
        const auto* sent = reinterpret_cast<const CWPRETSTRUCT*>(lparam);
        if (sent->message == WM_INITDIALOG) OpenInFront(sent->hwnd);
        if (sent->message == WM_ACTIVATE && LOWORD(sent->wParam) != WA_INACTIVE) SettleWhenActive(sent->hwnd);
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

void ShowNotice() {
    NoticeHandOver notice = g_hand_over;
    if (BinarySemaphore* lock = NoticeLock()) lock->Release();
    std::string text = std::string(notice.name) +
                       (notice.tray ? "さんのメッセージが到着しました。\nメッセージを確認しますか？"
                                    : "さんのメッセージが到着しました。");
    UINT buttons = notice.tray ? MB_YESNO : MB_OK;
    HHOOK watch = SetWindowsHookExW(WH_CALLWNDPROCRET, WatchNoticeBox, nullptr, GetCurrentThreadId());
    int answer = MessageBoxCp932(nullptr, text.c_str(), "Mosswick - メッセージの到着",
                                 buttons | MB_ICONINFORMATION | MB_SETFOREGROUND);
    if (watch != nullptr) UnhookWindowsHookEx(watch);
    // The main window is the main thread's: it is asked to restore itself.
    if (notice.tray && answer == IDYES) PostMessageW(notice.window, UM_RESTOREQUIETLY, 0, 0);
}

// The gate opens again only once the thread holds nothing of the program's.
void NoticeThread() {
    g_notice_thread.store(GetCurrentThreadId());
    ShowNotice();
    g_notice_thread.store(0);
    g_notice_gate.End();
}

// A Yes/No box has no Cancel button and ignores WM_CLOSE: its No is pressed.
// An OK box closes on WM_CLOSE.
// https://learn.microsoft.com/en-us/windows/win32/api/winuser/nf-winuser-messageboxw
BOOL CALLBACK DismissBox(HWND window, LPARAM) {
    wchar_t name[16] = {};
    if (GetClassNameW(window, name, 16) == 0 || std::wcscmp(name, L"#32770") != 0) return TRUE;
    if (HWND no = GetDlgItem(window, IDNO)) {
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), reinterpret_cast<LPARAM>(no));
    } else {
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
    return TRUE;
}

void StartArrivalNotice(HWND window, const char* sender, bool tray) {
    if (!g_notice_gate.TryBegin()) return;  // one notice at a time
    BinarySemaphore* lock = NoticeLock();
    if (lock != nullptr) lock->Wait();
    g_hand_over = NoticeHandOver{};
    std::strncpy(g_hand_over.name, sender, sizeof g_hand_over.name - 1);
    g_hand_over.tray = tray;
    g_hand_over.window = window;
    try {
        std::thread(NoticeThread).detach();
    } catch (const std::system_error&) {
        if (lock != nullptr) lock->Release();
        g_notice_gate.End();
    }
}

}  // namespace

void StartShownArrivalNotice(HWND window, const char* sender) { StartArrivalNotice(window, sender, false); }

void StartTrayArrivalNotice(HWND window, const char* sender) { StartArrivalNotice(window, sender, true); }

bool AskArrivalNoticeToClose() {
    const DWORD thread = g_notice_thread.load();
    if (thread != 0) EnumThreadWindows(thread, DismissBox, 0);
    return g_notice_gate.busy();
}
