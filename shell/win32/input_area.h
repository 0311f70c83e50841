// The input area's text: what the send command sends.
#pragma once
#include <windows.h>

#include <string>

// The text a message can carry: at most 255 bytes. The edit control counts
// its limit in characters, so a text of double-byte characters can be longer
// in bytes; it is cut at the last whole character that fits.
constexpr size_t kInputTextMax = 255;

std::string InputAreaText(HWND input);
void ClearInputArea(HWND input);

// The input area got the focus: open the input method unless automatic
// switching is off. It is never closed here.
void SwitchOnInputMethod(HWND input);
