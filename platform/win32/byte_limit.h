// Edit controls whose text is limited in CP932 bytes, as the settings file,
// the wire and the log count it, while the control itself is Unicode and
// counts characters. Typing, pasting or the input method never take the text
// past the limit (the change is refused with a beep); a text set by other
// means (WM_SETTEXT) is cut at the last whole character that fits.
#pragma once
#include <windows.h>

#include <cstddef>

// Limits `edit` to `bytes` CP932 bytes. False when the control cannot take
// the limit (no control, or the procedure cannot be set).
bool LimitEditToCp932Bytes(HWND edit, size_t bytes);
