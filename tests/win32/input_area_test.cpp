// The input area's text as the send command reads it, on a real edit control.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "shell/win32/input_area.h"

namespace {

// The edit control limits characters, not bytes: a text of double-byte
// characters is cut at the last whole one within 255 bytes.
TEST(InputArea, TextIsCutToWholeCharactersWithin255Bytes) {
    HWND input = CreateWindowExA(0, "EDIT", "", ES_MULTILINE, 0, 0, 100, 20, HWND_MESSAGE, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, input);
    EXPECT_EQ("", InputAreaText(input));
    SetWindowTextA(input, "こんにちは");
    EXPECT_EQ("こんにちは", InputAreaText(input));

    std::string text = "a";
    for (int i = 0; i < 150; ++i) text += "表";  // 0x95 0x5C each
    SetWindowTextA(input, text.c_str());
    EXPECT_EQ(text.substr(0, 255), InputAreaText(input));  // "a" and 127 whole characters
    SetWindowTextA(input, std::string(300, 'x').c_str());
    EXPECT_EQ(std::string(255, 'x'), InputAreaText(input));

    ClearInputArea(input);
    EXPECT_EQ(0, GetWindowTextLengthA(input));
    DestroyWindow(input);
}

}  // namespace
