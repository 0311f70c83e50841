// The input area's text as the send command reads it, on a real Unicode
// edit control.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "platform/win32/wide_text.h"
#include "shell/win32/input_area.h"

namespace {

// The text is read as CP932 and cut at the last whole character within 255
// bytes, also where nothing limits the area itself; a character CP932
// cannot hold goes as "?".
TEST(InputArea, TextIsReadAsCp932CutToWholeCharactersWithin255Bytes) {
    HWND input = CreateWindowExW(0, L"EDIT", L"", ES_MULTILINE, 0, 0, 100, 20, HWND_MESSAGE, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, input);
    EXPECT_EQ("", InputAreaText(input));
    SetWindowTextCp932(input, "こんにちは");
    EXPECT_EQ("こんにちは", InputAreaText(input));
    SetWindowTextW(input, L"a\u8FD9b");  // a simplified Chinese character between two letters
    EXPECT_EQ("a?b", InputAreaText(input));

    std::string text = "a";
    for (int i = 0; i < 150; ++i) text += "表";  // 0x95 0x5C each
    SetWindowTextCp932(input, text.c_str());
    EXPECT_EQ(text.substr(0, 255), InputAreaText(input));  // "a" and 127 whole characters
    SetWindowTextW(input, std::wstring(300, L'x').c_str());
    EXPECT_EQ(std::string(255, 'x'), InputAreaText(input));

    ClearInputArea(input);
    EXPECT_EQ(0, GetWindowTextLengthW(input));
    DestroyWindow(input);
}

}  // namespace

#include <imm.h>

#include <cstring>

#include "settings/settings.h"
#include "shell/win32/main_window.h"

namespace {

// The input method is only ever opened on focus, and only when automatic
// switching is on.
TEST(InputArea, FocusOpensTheInputMethodOnlyWhenSwitchingIsOn) {
    HWND input = CreateWindowExA(0, "EDIT", "", WS_POPUP | ES_MULTILINE, 0, 0, 100, 20, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    if (input == nullptr) GTEST_SKIP() << "no display";
    HIMC context = ImmGetContext(input);
    if (context == nullptr) {
        DestroyWindow(input);
        GTEST_SKIP() << "no input context here";
    }
    ImmSetOpenStatus(context, FALSE);
    std::strcpy(g_settings.IME_Auto_Change, "No");
    SwitchOnInputMethod(input);
    EXPECT_FALSE(ImmGetOpenStatus(context));
    std::strcpy(g_settings.IME_Auto_Change, "Yes");
    SwitchOnInputMethod(input);
    EXPECT_TRUE(ImmGetOpenStatus(context));
    SwitchOnInputMethod(input);  // already open: stays open
    EXPECT_TRUE(ImmGetOpenStatus(context));
    ImmReleaseContext(input, context);
    DestroyWindow(input);
}

// The input area draws in the user's own message colour unless its own
// colour is forced, on its background colour, with a brush made anew once
// the colours changed.
TEST(InputArea, ColoursFollowTheForceFlagAndTheBrushIsRemadeWhenDirty) {
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(nullptr, dc);
    g_settings.InArea_TextColor = RGB(0, 128, 0);
    g_settings.InArea_BackColor = RGB(255, 255, 224);
    g_settings.Msg_TextColor = RGB(255, 0, 0);
    std::strcpy(g_settings.InArea_TextColor_Force, "No");
    g_main.input_brush_dirty = true;
    HBRUSH first = InputAreaColors(dc);
    EXPECT_EQ(RGB(255, 0, 0), GetTextColor(dc));
    EXPECT_EQ(RGB(255, 255, 224), GetBkColor(dc));
    LOGBRUSH brush = {};
    ASSERT_NE(0, GetObjectA(first, sizeof brush, &brush));
    EXPECT_EQ(RGB(255, 255, 224), brush.lbColor);

    std::strcpy(g_settings.InArea_TextColor_Force, "Yes");
    EXPECT_EQ(first, InputAreaColors(dc));  // not dirty: the same brush
    EXPECT_EQ(RGB(0, 128, 0), GetTextColor(dc));

    g_settings.InArea_BackColor = RGB(0, 0, 64);
    g_main.input_brush_dirty = true;
    HBRUSH second = InputAreaColors(dc);
    ASSERT_NE(0, GetObjectA(second, sizeof brush, &brush));
    EXPECT_EQ(RGB(0, 0, 64), brush.lbColor);
    EXPECT_FALSE(g_main.input_brush_dirty);
    DeleteObject(second);
    g_main.input_brush = nullptr;
    DeleteDC(dc);
}

}  // namespace
