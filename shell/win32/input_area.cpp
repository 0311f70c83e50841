#include "shell/win32/input_area.h"

#include <imm.h>

#include <vector>

#include "platform/cp932.h"
#include "settings/settings.h"

std::string InputAreaText(HWND input) {
    if (input == nullptr) return {};
    int length = GetWindowTextLengthA(input);
    if (length <= 0) return {};
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    int got = GetWindowTextA(input, buffer.data(), static_cast<int>(buffer.size()));
    if (got <= 0) return {};
    size_t bytes = Cp932Cut(buffer.data(), static_cast<size_t>(got), kInputTextMax);
    return std::string(buffer.data(), bytes);
}

void ClearInputArea(HWND input) {
    if (input != nullptr) SetWindowTextA(input, "");
}

void SwitchOnInputMethod(HWND input) {
    if (input == nullptr || !ImeAutoChangeOn(g_settings)) return;
    HIMC context = ImmGetContext(input);
    if (context == nullptr) return;
    if (!ImmGetOpenStatus(context)) ImmSetOpenStatus(context, TRUE);
    ImmReleaseContext(input, context);
}
