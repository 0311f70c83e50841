#include "shell/win32/input_area.h"

#include <imm.h>

#include "platform/win32/wide_text.h"
#include "settings/settings.h"

// The one place what the user typed turns from the area's UTF-16 into the
// CP932 a message carries.
std::string InputAreaText(HWND input) { return WindowTextCp932(input, kInputTextMax); }

void ClearInputArea(HWND input) {
    if (input != nullptr) SetWindowTextW(input, L"");
}

void SwitchOnInputMethod(HWND input) {
    if (input == nullptr || !ImeAutoChangeOn(g_settings)) return;
    HIMC context = ImmGetContext(input);
    if (context == nullptr) return;
    if (!ImmGetOpenStatus(context)) ImmSetOpenStatus(context, TRUE);
    ImmReleaseContext(input, context);
}
