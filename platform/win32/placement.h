// Placement of popup windows (cascade) and of dialogs opened while the
// program waits in the tray (bottom-right corner).
#pragma once
#include <windows.h>

// Moves the window by the next cascade offset (right and down from where it
// is) and shows it, without resizing or changing the z-order.
void CascadePlacement(HWND window);

// While the main window is shown (`main_shown`): nothing. Otherwise the window
// is moved to the bottom-right corner of the screen and shown.
void CornerPlacement(HWND window, bool main_shown);
