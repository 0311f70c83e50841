// Placement of popup windows (cascade), of dialogs opened while the program
// waits in the tray (bottom-right corner) and the screens a saved window
// rectangle may go back to.
#pragma once
#include <windows.h>

#include "platform/window_placement.h"

// Moves the window by the next cascade offset (right and down from where it
// is) and shows it, without resizing or changing the z-order.
void CascadePlacement(HWND window);

// While the main window is shown (`main_shown`): nothing. Otherwise the window
// is moved to the bottom-right corner of the work area of the monitor its
// owner (the main window, hidden in the tray) is on, and shown.
void CornerPlacement(HWND window, bool main_shown);

// The primary screen's full-screen client area and every display monitor
// there is now, for IsSavedRectOnScreen.
Screens CurrentScreens();
