#include "messaging/win32/popup_window.h"

#include <windows.h>
#include <imm.h>

#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>
#include <thread>

#include "messaging/popup_limit.h"
#include "messaging/popup_message.h"
#include "platform/binary_semaphore.h"
#include "settings/settings.h"
#include "resources/command_ids.h"
#include "platform/win32/byte_limit.h"
#include "platform/win32/front_window.h"
#include "platform/win32/placement.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/window_guard.h"

namespace {

constexpr int kMinWidth = 270;
constexpr int kMinHeight = 240;
constexpr size_t kTextLimit = 255;  // CP932 bytes of a popup's text
// Marks the popup windows among the process's top-level windows.
constexpr wchar_t kPopupMark[] = L"Mosswick.Popup";

// One popup window's own state, kept on the window; freed with it.
struct PopupWindow {
    std::unique_ptr<PopupRecord> record;
    PopupParts parts;
    HBRUSH brush = nullptr;
};

void ReplaceBrush(PopupWindow* popup) {
    if (popup->brush != nullptr) DeleteObject(popup->brush);
    popup->brush = CreateSolidBrush(static_cast<COLORREF>(popup->record->back_colour));
}

void SetCaptionWithTime(HWND dialog) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    char caption[64];
    std::snprintf(caption, sizeof caption, "Mosswick - 受信 - %2d時%2d分", now.wHour, now.wMinute);
    SetWindowTextCp932(dialog, caption);
}

void SetLabel(HWND dialog, const char* lead, const PopupRecord& record) {
    std::string label = std::string(lead) + record.name;
    SetDialogItemTextCp932(dialog, IDC_POPUP_LABEL, label.c_str());
}

void OnInitDialog(HWND dialog, PopupWindow* popup) {
    SetPropW(dialog, kPopupMark, dialog);
    SendMessageW(dialog, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(LoadIconW(GetModuleHandleW(nullptr), WIDE_NAME(RES_TARNICON))));
    SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(popup->parts.small_icon));
    HWND edit = GetDlgItem(dialog, IDC_POPUP_TEXT);
    if (popup->parts.font != nullptr)
        SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(popup->parts.font), TRUE);
    SetCaptionWithTime(dialog);
    CascadePlacement(dialog);
    if (LookUpPopupSender(popup->record.get())) ReplaceBrush(popup);
    SetLabel(dialog, "送信者： ", *popup->record);
    SetWindowTextCp932(edit, PopupText(*popup->record).c_str());
    OpenInFront(dialog);
}

void PlaceControls(HWND dialog, int w, int h) {
    struct Place {
        int id, x, y, width, height;
    } places[] = {
        {IDC_POPUP_LABEL, 16, 8, w - 32, 16},
        {IDC_POPUP_TEXT, 16, 26, w - 32, h - 68},
        {IDC_POPUP_REPLY, 16, h - 36, 72, 28},
        {IDC_POPUP_SEND, w / 2 - 36, h - 36, 72, 28},
        {IDOK, w - 88, h - 36, 72, 28},
    };
    HDWP batch = BeginDeferWindowPos(5);
    for (const Place& p : places) {
        if (batch == nullptr) return;
        batch = DeferWindowPos(batch, GetDlgItem(dialog, p.id), nullptr, p.x, p.y, p.width < 0 ? 0 : p.width,
                               p.height < 0 ? 0 : p.height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (batch != nullptr) EndDeferWindowPos(batch);
}

// The edit's colours, read-only or editable: the record's, once it has a brush.
INT_PTR OnEditColours(PopupWindow* popup, HDC dc, HWND control, HWND dialog) {
    if (control != GetDlgItem(dialog, IDC_POPUP_TEXT) || popup->brush == nullptr) return FALSE;
    SetTextColor(dc, static_cast<COLORREF>(popup->record->text_colour));
    SetBkColor(dc, static_cast<COLORREF>(popup->record->back_colour));
    return reinterpret_cast<INT_PTR>(popup->brush);
}

// The input method opens for a reply; the message read before it is left
// alone.
void OpenInputMethod(HWND edit) {
    if (!ImeAutoChangeOn(g_settings) || (GetWindowLongPtrW(edit, GWL_STYLE) & ES_READONLY) != 0) return;
    HIMC context = ImmGetContext(edit);
    if (context == nullptr) return;
    if (!ImmGetOpenStatus(context)) ImmSetOpenStatus(context, TRUE);
    ImmReleaseContext(edit, context);
}

void SwitchToReply(HWND dialog, PopupWindow* popup) {
    HWND reply = GetDlgItem(dialog, IDC_POPUP_REPLY), send = GetDlgItem(dialog, IDC_POPUP_SEND);
    ShowWindow(reply, SW_HIDE);
    EnableWindow(reply, FALSE);
    ShowWindow(send, SW_SHOW);
    EnableWindow(send, TRUE);
    SetWindowTextCp932(dialog, "Mosswick - 返信");
    SetReplyColours(popup->record.get());
    ReplaceBrush(popup);
    SetLabel(dialog, "送信先： ", *popup->record);
    HWND edit = GetDlgItem(dialog, IDC_POPUP_TEXT);
    SendMessageW(edit, EM_SETREADONLY, FALSE, 0);
    SetWindowTextCp932(edit, "");
    // The reply typed here goes on the wire, which counts CP932 bytes; the
    // message shown before it is left as it came.
    LimitEditToCp932Bytes(edit, kTextLimit);
    SetFocus(edit);
    OpenInputMethod(edit);  // the edit may have had the focus already
}

void Close(HWND dialog, PopupWindow* popup) {
    if (popup->brush != nullptr) DeleteObject(popup->brush);
    popup->brush = nullptr;
    EndDialog(dialog, IDOK);
}

void SendReply(HWND dialog, PopupWindow* popup) {
    const std::string text = DialogItemTextCp932(dialog, IDC_POPUP_TEXT, kTextLimit);
    if (SendPopupReply(*popup->record, text)) Close(dialog, popup);
}

void OnCommand(HWND dialog, PopupWindow* popup, int id, int code) {
    switch (id) {
        case IDC_POPUP_TEXT:
            if (code == EN_SETFOCUS) OpenInputMethod(GetDlgItem(dialog, IDC_POPUP_TEXT));
            break;
        case IDC_POPUP_REPLY: SwitchToReply(dialog, popup); break;
        case IDC_POPUP_SEND:
            // Enter in the message asks for the default button, which only
            // sends once the popup is in reply mode.
            if (IsWindowEnabled(GetDlgItem(dialog, IDC_POPUP_SEND))) SendReply(dialog, popup);
            break;
        case IDOK:
        case IDCANCEL: Close(dialog, popup); break;
        default: break;
    }
}

INT_PTR PopupProcedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        auto* popup = reinterpret_cast<PopupWindow*>(lparam);  // kept on the window by the guard
        OnInitDialog(dialog, popup);
        // The message takes the focus, with nothing selected: a key typed
        // while the popup comes up (Enter, Space) does nothing to it. The
        // reply button is reached with Tab, Alt+R or the mouse.
        HWND edit = GetDlgItem(dialog, IDC_POPUP_TEXT);
        SetFocus(edit);
        SendMessageW(edit, EM_SETSEL, 0, 0);
        return FALSE;
    }
    PopupWindow* popup = WindowRecord<PopupWindow>(dialog);
    if (popup == nullptr) return FALSE;
    switch (message) {
        case WM_GETMINMAXINFO: {
            auto* info = reinterpret_cast<MINMAXINFO*>(lparam);
            info->ptMinTrackSize = {kMinWidth, kMinHeight};
            return TRUE;
        }
        case WM_SIZE: PlaceControls(dialog, LOWORD(lparam), HIWORD(lparam)); return TRUE;
        case WM_ACTIVATE:
            if (LOWORD(wparam) != WA_INACTIVE) SettleWhenActive(dialog);
            return FALSE;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
            return OnEditColours(popup, reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam), dialog);
        case WM_COMMAND: OnCommand(dialog, popup, LOWORD(wparam), HIWORD(wparam)); return TRUE;
        case WM_DESTROY: RemovePropW(dialog, kPopupMark); return FALSE;
        default: return FALSE;
    }
}

// The popup's thread: hands the start lock back, runs the window, and frees
// the record (and the count of open windows) when it has ended.
void PopupThread(PopupWindow* raw) {
    std::unique_ptr<PopupWindow> popup(raw);
    if (BinarySemaphore* lock = popup->parts.start_lock) lock->Release();
    DialogBoxParamW(GetModuleHandleW(nullptr), WIDE_NAME(RES_DLG_MSGBOX), nullptr, GuardedDialog<PopupProcedure>,
                    reinterpret_cast<LPARAM>(popup.get()));
    if (popup->brush != nullptr) DeleteObject(popup->brush);
    popup.reset();
    g_popup_limit.Closed();  // the thread uses nothing of the program's any more
}

// A popup and a message box over it are dialogs, and close on WM_CLOSE.
BOOL CALLBACK CloseDialog(HWND window, LPARAM) {
    wchar_t name[16] = {};
    const bool dialog = GetClassNameW(window, name, 16) > 0 && std::wcscmp(name, L"#32770") == 0;
    if (dialog) PostMessageW(window, WM_CLOSE, 0, 0);
    return TRUE;
}

BOOL CALLBACK ClosePopupThread(HWND window, LPARAM) {
    DWORD process = 0;
    const DWORD thread = GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && GetPropW(window, kPopupMark) != nullptr)
        EnumThreadWindows(thread, CloseDialog, 0);
    return TRUE;
}

}  // namespace

PopupStart ShowPopupMessage(const uint8_t* datagram, int length, const PopupParts& parts) {
    if (!g_popup_limit.TryOpen()) return PopupStart::PutOff;
    auto popup = std::make_unique<PopupWindow>();
    popup->record = MakePopupRecord(datagram, length);
    popup->parts = parts;
    BinarySemaphore* lock = parts.start_lock;
    if (lock != nullptr) lock->Wait();
    try {
        std::thread(PopupThread, popup.get()).detach();
    } catch (const std::system_error&) {
        if (lock != nullptr) lock->Release();
        g_popup_limit.Closed();
        return PopupStart::Failed;
    }
    popup.release();  // the thread owns it now
    return PopupStart::Opened;
}

int AskPopupsToClose() {
    EnumWindows(ClosePopupThread, 0);
    return g_popup_limit.open();
}
