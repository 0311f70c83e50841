// The whiteboard window: one at most, modeless, its picture in an off-screen
// bitmap that exists only while the window is open.
#pragma once
#include <windows.h>

#include <cstdint>

// Opens the board, unless it is open already.
void OpenWhiteboard(HWND main_window);
// The board's window while it is open, else null.
HWND WhiteboardWindow();
// A received KIND_BOARD datagram, drawn on the board while it is open;
// without it the stroke is dropped.
void DeliverToWhiteboard(const uint8_t* datagram, int length);
// Closes the board, if it is open (shutdown).
void CloseWhiteboard();
