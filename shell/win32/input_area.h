// The input area's text: what the send command sends.
#pragma once
#include <windows.h>

#include <string>

// The text a message can carry: at most 255 CP932 bytes. The area is a
// Unicode edit limited to as many CP932 bytes where it is made.
constexpr size_t kInputTextMax = 255;

// The area's text as CP932, cut at the last whole character within
// kInputTextMax bytes; a character CP932 cannot hold is "?".
std::string InputAreaText(HWND input);
void ClearInputArea(HWND input);

// The input area got the focus: open the input method unless automatic
// switching is off. It is never closed here.
void SwitchOnInputMethod(HWND input);
