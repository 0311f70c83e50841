// The pressed look of the Start and End toolbar buttons and the enabled
// state of their menu items. Start and End are exclusive: the one pressed
// on the toolbar is the one greyed in the menu.
#pragma once
#include <windows.h>

#include "platform/views.h"

// Either handle may be null; the other is still set.
void ShowStartEndButtons(HWND toolbar, HMENU menu, StartEndState state);
