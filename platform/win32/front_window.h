// Windows that must be seen when they open (a popup message, the arrival
// notice), also while the user works in another program.
#pragma once
#include <windows.h>

// Asks for the foreground for a window that is opening. Where Windows grants
// it, the window is in front and active, as any window the user opens.
// Where Windows refuses it (another program is in the user's hands), the
// window is kept above the other programs' windows and its taskbar button
// flashes until the user looks at it.
void OpenInFront(HWND window);

// To be called when the window is activated: once it has the foreground it
// no longer needs to stay above everything, and takes its place among the
// other windows again.
void SettleWhenActive(HWND window);
