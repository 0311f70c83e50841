// Commands of the main window: one dispatcher, one function per command, and
// the small functions that keep menu checks, toolbar buttons and status-bar
// texts in step with the send modes.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <iterator>

#include "messaging/chat_send.h"
#include "messaging/log_file.h"
#include "net/presence.h"
#include "net/transport.h"
#include "platform/inet_address.h"
#include "settings/program_paths.h"
#include "resources/command_ids.h"
#include "platform/platform.h"
#include "platform/views.h"
#include "platform/win32/wide_text.h"
#include "settings/window_modes.h"
#include "shell/win32/main_window.h"
#include "whiteboard/win32/board_window.h"
#include "shell/win32/output_area.h"
#include "shell/win32/input_area.h"
#include "shell/win32/user_area_notify.h"
#include "shell/win32/user_area_rows.h"
#include "settings/win32/settings_sheet.h"
#include "shell/win32/settings_sheet_host.h"
#include "shell/win32/small_dialogs.h"

namespace {

constexpr int kStatusPartTarget = 1;
constexpr int kStatusPartPopup = 2;

void ShowBox(HWND owner, const char* text, const char* title, UINT icon) {
    MessageBoxCp932(owner, text, title, MB_OK | icon);
}

// Menu check mark and toolbar pressed look of a toggle command.
void ShowToggleState(int id, bool on) {
    if (g_main.menu != nullptr) CheckMenuItem(g_main.menu, id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
    if (g_main.toolbar != nullptr) SendMessageW(g_main.toolbar, TB_CHECKBUTTON, id, MAKELPARAM(on ? TRUE : FALSE, 0));
}

// Clears the selection of every user-area item, last to first.
void DeselectAllUsers() {
    if (g_main.user_list == nullptr) return;
    int count = static_cast<int>(SendMessageW(g_main.user_list, LVM_GETITEMCOUNT, 0, 0));
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED;
    item.state = 0;
    for (int i = count - 1; i >= 0; --i)
        SendMessageW(g_main.user_list, LVM_SETITEMSTATE, i, reinterpret_cast<LPARAM>(&item));
}

void TogglePersonalMode() {
    bool on = !g_modes.personal_mode;
    g_modes.personal_mode = on;
    if (!on) DeselectAllUsers();
    ShowStatusPart(kStatusPartTarget, on ? "個人" : "全員");
    ShowToggleState(IDM_PERSONALMODE, on);
}

void TogglePopupMode() {
    bool on = !g_modes.popup_mode;
    g_modes.popup_mode = on;
    ShowToggleState(IDM_POPUPMODE, on);
    ShowStatusPart(kStatusPartPopup, on ? "POP" : "");
}

void ShowStartEnd(StartEndState state) {
    if (g_platform.bars != nullptr) g_platform.bars->ShowStartEndState(state);
}

// Announces this user. The buttons and the flag switch even when the
// announcement failed (the failure is reported by the start sequence); the
// network-ready flag is not looked at.
void Start() {
    if (g_transport.started) return;
    StartSequence(StartMode::Command);
    ShowStartEnd(StartEndState::Started);
    g_transport.started = true;
}

// Says goodbye to every peer; the user area shrinks to the own row.
void End() {
    if (!g_transport.started) return;
    EndAnnouncement();
    ShowStartEnd(StartEndState::Ended);
    g_transport.started = false;
}

// The shell's "open" for a file whose path is CP932, shown normally; above
// 32 is success.
INT_PTR OpenWithShell(const char* path) {
    return reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", WideFromCp932(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
}

// Our own help page, opened by the shell's viewer for HTML.
void OpenHelp(HWND window) {
    char path[kProgramPathSize] = {};
    std::snprintf(path, sizeof path, "%sMosswick.html", g_program_paths.program_dir);
    if (OpenWithShell(path) <= 32) ShowBox(window, "ヘルプを開けませんでした。", "Mosswick - ヘルプ", MB_ICONERROR);
}

void ShowLog(HWND window) {
    LogFlush();
    INT_PTR result = OpenWithShell(g_program_paths.log_path);
    const char* title = "Mosswick - ログの表示";
    if (result > 32) return;
    if (result == SE_ERR_FNF) {
        ShowBox(window, "ログファイルは存在していません。", title, MB_ICONINFORMATION);
    } else if (result == SE_ERR_ASSOCINCOMPLETE || result == SE_ERR_ACCESSDENIED || result == SE_ERR_NOASSOC) {
        ShowBox(window, "テキストファイル(.txt)に関連付けられているアプリケーションが存在しません。", title,
                MB_ICONERROR);
    } else {
        ShowBox(window, "テキストファイル(.txt)に関連付けられているアプリケーションの起動に失敗しました。", title,
                MB_ICONERROR);
    }
}

// The addresses the selected rows of the user area name, in list order.
std::vector<uint32_t> SelectedUsers() {
    std::vector<uint32_t> addresses;
    for (const std::string& text : SelectedUserAreaAddresses(g_main.user_list)) addresses.push_back(UserAddressOf(text));
    return addresses;
}

// The input area's text with the send modes of this moment; the
// confirmations are asked by the send itself. The area is emptied once the
// message is out.
void Send() {
    if (!g_transport.network_ready || g_main.input == nullptr) return;
    std::string text = InputAreaText(g_main.input);
    if (text.empty()) return;
    const bool personal = g_modes.personal_mode;
    if (SendChatMessage(text, personal, g_modes.popup_mode, personal ? SelectedUsers() : std::vector<uint32_t>{}))
        ClearInputArea(g_main.input);
}

// The settings sheet and the small dialogs, one at a time: the tray menu
// still reaches the main window while one of them is up, and a second one
// over the first would leave the first's owner enabled under it. A close that
// came while one was up runs once its modal loop has returned.
template <class Open>
void RunModal(HWND window, Open open) {
    if (g_main.modal_open || g_main.close_pending) return;
    {
        struct Scope {
            Scope() { g_main.modal_open = true; }
            ~Scope() { g_main.modal_open = false; }
        } scope;
        open();
    }
    if (g_main.close_pending) PostMessageW(window, WM_CLOSE, 0, 0);
}

constexpr UINT kCloseModalRetryMs = 300;

bool IsDialogClass(HWND window) {
    wchar_t name[16] = {};
    return GetClassNameW(window, name, static_cast<int>(std::size(name))) > 0 && std::wcscmp(name, L"#32770") == 0;
}

// The topmost dialog owned, directly or not, by the main window: the one
// still enabled (those beneath it wait for it). The sheet, a picker or a
// message box over it, a small dialog: each closes on WM_CLOSE as on Cancel.
BOOL CALLBACK CloseIfTopModal(HWND candidate, LPARAM main_window) {
    if (!IsWindowVisible(candidate) || !IsWindowEnabled(candidate) || !IsDialogClass(candidate)) return TRUE;
    for (HWND owner = GetWindow(candidate, GW_OWNER); owner != nullptr; owner = GetWindow(owner, GW_OWNER)) {
        if (owner == reinterpret_cast<HWND>(main_window)) {
            PostMessageW(candidate, WM_CLOSE, 0, 0);
            break;
        }
    }
    return TRUE;
}

void CloseTopModal(HWND window) {
    EnumThreadWindows(GetCurrentThreadId(), CloseIfTopModal, reinterpret_cast<LPARAM>(window));
}

const char* ToolTipText(UINT_PTR id) {
    switch (id) {
        case IDM_SETTINGS: return "設定";
        case IDM_POPUPMODE: return "ポップアップ送信";
        case IDM_PERSONALMODE: return "個人送信";
        case IDM_MACHINEINFO: return "マシン情報";
        case IDM_SHOWLOG: return "ログの表示";
        case IDM_GOTOTRAY: return "タスクトレイで待機";
        case IDM_STATUS: return "状態変更";
        case IDM_CLEAR: return "画面のクリア";
        case IDM_START: return "開始";
        case IDM_USERCHECK: return "利用者チェック";
        case IDM_END: return "終了";
        case IDM_WHITEBOARD: return "白板";
        default: return nullptr;
    }
}

}  // namespace

void CloseMainWindow(HWND window) {
    if (!g_main.modal_open) {
        RunCloseSequence(window);
        return;
    }
    g_main.close_pending = true;
    CloseTopModal(window);
    // A picker or a box over the sheet closes first; the sheet at the next tick.
    SetTimer(window, IDT_CLOSEMODAL, kCloseModalRetryMs, nullptr);
}

void OnCloseModalTick(HWND window) {
    if (g_main.modal_open) {
        CloseTopModal(window);
    } else {
        KillTimer(window, IDT_CLOSEMODAL);
    }
}

// Commands not listed here are ignored.
void DispatchCommand(HWND window, int id, int code, HWND /*control*/) {
    switch (id) {
        case IDM_EXIT: SendMessageW(window, WM_CLOSE, 0, 0); break;
        case IDM_HELPCONTENTS: OpenHelp(window); break;
        case IDM_PERSONALMODE: TogglePersonalMode(); break;
        case IDM_POPUPMODE: TogglePopupMode(); break;
        case IDM_SHOWLOG: ShowLog(window); break;
        case IDM_WHITEBOARD: OpenWhiteboard(window); break;
        case IDM_SETTINGS:
            RunModal(window, [&] {
                if (OpenSettingsSheet(window, MainWindowSheetHost())) SetMainTitle(window);
            });
            break;
        case IDM_STATUS:
            if (g_transport.network_ready) RunModal(window, [&] { OpenStatusDialog(window); });
            break;
        case IDM_MACHINEINFO: RunModal(window, [&] { OpenMachineInfoDialog(window); }); break;
        case IDM_VERSION: RunModal(window, [&] { OpenVersionDialog(window); }); break;
        case IDM_GOTOTRAY: SendMessageW(window, UM_GOTOTRAY, 0, 0); break;
        case IDM_RESTORE: RestoreFromTray(window, true); break;
        case IDM_SEND: Send(); break;
        case IDC_SEND: Send(); break;  // the send button, whatever it notifies
        case IDM_CLEAR: ClearOutputAreaText(g_main.output); break;
        case IDM_START: Start(); break;
        case IDM_END: End(); break;
        case IDM_USERCHECK: UserCheck(); break;
        case IDM_CTRLENTER: break;  // takes Ctrl+Enter away from the input area
        case IDC_INPUT:
            if (code == EN_SETFOCUS) SwitchOnInputMethod(g_main.input);
            break;
        case IDC_OUTPUT:
            if (code == EN_MAXTEXT) OnOutputAreaMaxText(g_main.output);
            break;
        default: break;
    }
}

// The main window is Unicode, so the toolbar's tooltips ask for their texts
// in UTF-16; each is copied into the notification's own buffer.
LRESULT MainOnNotify(HWND /*window*/, NMHDR* header) {
    if (header->idFrom == IDC_USERLIST) return OnUserAreaNotify(header);
    if (header->code == TTN_GETDISPINFOW) {
        const char* text = ToolTipText(header->idFrom);
        if (text != nullptr) {
            auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
            std::wcsncpy(info->szText, WideFromCp932(text).c_str(), std::size(info->szText) - 1);
            info->szText[std::size(info->szText) - 1] = L'\0';
            info->lpszText = info->szText;
            info->hinst = nullptr;
        }
    }
    return 0;
}
