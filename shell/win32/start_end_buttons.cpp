#include "shell/win32/start_end_buttons.h"

#include <commctrl.h>

#include "resources/command_ids.h"

namespace {

void PressButton(HWND toolbar, int id, bool pressed) {
    if (toolbar != nullptr) SendMessageW(toolbar, TB_CHECKBUTTON, id, MAKELPARAM(pressed ? TRUE : FALSE, 0));
}

void EnableItem(HMENU menu, int id, bool enabled) {
    if (menu != nullptr) EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

}  // namespace

void ShowStartEndButtons(HWND toolbar, HMENU menu, StartEndState state) {
    bool started = state == StartEndState::Started;
    PressButton(toolbar, IDM_START, started);
    PressButton(toolbar, IDM_END, !started);
    EnableItem(menu, IDM_START, !started);
    EnableItem(menu, IDM_END, started);
}
