#include "shell/win32/main_views.h"

#include <windows.h>
#include <commctrl.h>

#include "messaging/win32/popup_window.h"
#include "platform/win32/wide_text.h"
#include "resources/command_ids.h"
#include "shell/win32/arrival_notice.h"
#include "shell/win32/input_area.h"
#include "shell/win32/main_window.h"
#include "shell/win32/output_area.h"
#include "shell/win32/start_end_buttons.h"
#include "shell/win32/user_area_rows.h"
#include "whiteboard/win32/board_window.h"

unsigned BoxIconStyle(BoxIcon icon) {
    switch (icon) {
        case BoxIcon::Information: return MB_ICONINFORMATION;
        case BoxIcon::Warning: return MB_ICONWARNING;
        case BoxIcon::Error: return MB_ICONERROR;
        case BoxIcon::Exclamation: return MB_ICONEXCLAMATION;
    }
    return 0;
}

namespace {

// Owned by the main window; on another thread (a popup window's), by nothing:
// a box must not be owned by a window of a thread that waits for it.
HWND BoxOwner() {
    HWND owner = g_main.window;
    if (owner != nullptr && GetWindowThreadProcessId(owner, nullptr) != GetCurrentThreadId()) owner = nullptr;
    return owner;
}

}  // namespace

void MainViews::ShowMessage(const char* text, const char* title, BoxIcon icon) {
    MessageBoxCp932(BoxOwner(), text, title, MB_OK | BoxIconStyle(icon));
}

bool MainViews::AskYesNo(const char* text, const char* title) {
    return MessageBoxCp932(BoxOwner(), text, title, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void MainViews::SetStatusPart(int part, const char* text) { ShowStatusPart(part, text); }

void MainViews::DeliverBoardData(const uint8_t* datagram, int length) { DeliverToWhiteboard(datagram, length); }

PopupStart MainViews::StartPopupWindow(const uint8_t* datagram, int length) {
    return ShowPopupMessage(datagram, length, {g_main.normal_icon, g_main.default_font_object, PopupStartLock()});
}

int MainViews::FindUserRow(int column, const char* text) { return FindUserAreaRow(g_main.user_list, column, text); }

void MainViews::AddUserRow(const char* name, const char* status, const char* address) {
    AddUserAreaRow(g_main.user_list, name, status, address);
}

void MainViews::SetUserRow(int row, const char* name, const char* status, const char* address) {
    SetUserAreaRow(g_main.user_list, row, name, status, address);
}

void MainViews::DeleteUserRow(int row) { DeleteUserAreaRow(g_main.user_list, row); }

void MainViews::DeleteAllUserRows() { DeleteAllUserAreaRows(g_main.user_list); }

void MainViews::FitUserColumns(bool address_too) { FitUserAreaColumns(g_main.user_list, address_too); }

void MainViews::ShowStartEndState(StartEndState state) { ShowStartEndButtons(g_main.toolbar, g_main.menu, state); }

std::string MainViews::HostIpBoxText() { return ::HostIpBoxText(); }


bool MainViews::AppendOutput(const char* line, uint32_t colour) {
    return AppendOutputAreaLine(g_main.output, line, static_cast<COLORREF>(colour));
}

void MainViews::HoldDrawing() { HoldOutputAreaDrawing(g_main.output); }

void MainViews::DrawHeld() { DrawHeldOutputArea(g_main.output); }

void MainViews::Notify(ArrivalNotice notice, const char* sender) {
    switch (notice) {
        case ArrivalNotice::TitleBlink: StartTitleBlink(g_main.window); break;
        case ArrivalNotice::ShownNotice: StartShownArrivalNotice(g_main.window, sender); break;
        case ArrivalNotice::TrayBlink: StartTrayBlink(g_main.window); break;
        case ArrivalNotice::TrayNotice: StartTrayArrivalNotice(g_main.window, sender); break;
    }
}
