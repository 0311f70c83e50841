// The whiteboard window: one at most, modeless, its picture in an off-screen
// bitmap that exists only while the window is open.
#pragma once
#include <windows.h>

// Opens the board, unless it is open already.
void OpenWhiteboard(HWND main_window);
