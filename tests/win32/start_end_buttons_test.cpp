// The Start and End states on a real toolbar and the program's own menu, read
// back the way an outside observer reads them.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "resources/command_ids.h"
#include "shell/win32/common_controls.h"
#include "shell/win32/start_end_buttons.h"

namespace {

class StartEndButtons : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterCommonControls();
        menu = LoadMenuA(GetModuleHandleA(nullptr), RES_MENU);
        ASSERT_NE(nullptr, menu);
        toolbar = CreateWindowExA(0, TOOLBARCLASSNAMEA, "", 0, 0, 0, 200, 30, HWND_MESSAGE, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(nullptr, toolbar);
        SendMessageA(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
        TBBUTTON buttons[3] = {};
        const int ids[3] = {IDM_START, IDM_END, IDM_USERCHECK};
        for (int i = 0; i < 3; ++i) {
            buttons[i].iBitmap = i;
            buttons[i].idCommand = ids[i];
            buttons[i].fsState = TBSTATE_ENABLED;
            buttons[i].fsStyle = TBSTYLE_BUTTON;
        }
        SendMessageA(toolbar, TB_ADDBUTTONSA, 3, reinterpret_cast<LPARAM>(buttons));
    }
    void TearDown() override {
        DestroyWindow(toolbar);
        DestroyMenu(menu);
    }

    bool Pressed(int id) const { return SendMessageA(toolbar, TB_ISBUTTONCHECKED, id, 0) != 0; }
    bool Greyed(int id) const { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0; }

    HMENU menu = nullptr;
    HWND toolbar = nullptr;
};

TEST_F(StartEndButtons, StartedAndEndedAreMirrorImagesAndSwitchBackAndForth) {
    for (int round = 0; round < 2; ++round) {
        ShowStartEndButtons(toolbar, menu, StartEndState::Started);
        EXPECT_TRUE(Pressed(IDM_START));
        EXPECT_FALSE(Pressed(IDM_END));
        EXPECT_TRUE(Greyed(IDM_START));
        EXPECT_FALSE(Greyed(IDM_END));

        ShowStartEndButtons(toolbar, menu, StartEndState::Ended);
        EXPECT_FALSE(Pressed(IDM_START));
        EXPECT_TRUE(Pressed(IDM_END));
        EXPECT_FALSE(Greyed(IDM_START));
        EXPECT_TRUE(Greyed(IDM_END));
    }
    // The user check is neither pressed nor greyed by either state.
    EXPECT_FALSE(Pressed(IDM_USERCHECK));
    EXPECT_FALSE(Greyed(IDM_USERCHECK));
}

TEST_F(StartEndButtons, AMissingToolbarStillSetsTheMenu) {
    ShowStartEndButtons(nullptr, menu, StartEndState::Started);
    EXPECT_TRUE(Greyed(IDM_START));
    EXPECT_FALSE(Greyed(IDM_END));
    EXPECT_FALSE(Pressed(IDM_START));
}

}  // namespace
