#include "shell/win32/input_area.h"

#include <vector>

#include "settings/cp932.h"

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
