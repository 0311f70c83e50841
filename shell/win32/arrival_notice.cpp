#include "shell/win32/arrival_notice.h"

#include <cstring>
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

void NoticeThread() {
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
    g_notice_gate.End();
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
