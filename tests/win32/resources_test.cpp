// The compiled resources: the Japanese menu texts must survive the resource
// build (windres drops them silently without the code-page pragma), the
// accelerators and the pictures must load as the program loads them.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "resources/command_ids.h"
#include "shell/win32/common_controls.h"

namespace {

HINSTANCE Module() { return GetModuleHandleA(nullptr); }

std::string Bytes(std::initializer_list<unsigned char> bytes) { return std::string(bytes.begin(), bytes.end()); }

std::string MenuText(HMENU menu, UINT position) {
    char text[128] = {};
    GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    return text;
}

// The command ids of a popup menu, 0 standing for a separator.
std::vector<UINT> MenuIds(HMENU menu) {
    std::vector<UINT> ids;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        UINT id = GetMenuItemID(menu, i);
        ids.push_back(id == static_cast<UINT>(-1) ? 0 : id);
    }
    return ids;
}

class MenuResource : public ::testing::Test {
protected:
    void SetUp() override {
        menu = LoadMenuA(Module(), RES_MENU);
        ASSERT_NE(nullptr, menu);
    }
    void TearDown() override { DestroyMenu(menu); }
    HMENU menu = nullptr;
};

TEST_F(MenuResource, JapaneseTextsArriveAsShiftJisBytes) {
    // "コマンド(&C)" and "開始(&B)" spelled out byte by byte.
    EXPECT_EQ(Bytes({0x83, 0x52, 0x83, 0x7d, 0x83, 0x93, 0x83, 0x68, '(', '&', 'C', ')'}), MenuText(menu, 0));
    EXPECT_EQ(Bytes({0x8a, 0x4a, 0x8e, 0x6e, '(', '&', 'B', ')'}), MenuText(GetSubMenu(menu, 0), 0));
    // "タスクトレイで待機(&W)\tCtrl+W": the tab and the hint survive too.
    EXPECT_EQ(Bytes({0x83, 0x5e, 0x83, 0x58, 0x83, 0x4e, 0x83, 0x67, 0x83, 0x8c, 0x83, 0x43, 0x82, 0xc5, 0x91,
                     0xd2, 0x8b, 0x40, '(', '&', 'W', ')', '\t', 'C', 't', 'r', 'l', '+', 'W'}),
              MenuText(GetSubMenu(menu, 3), 2));
}

TEST_F(MenuResource, FiveMenusWithTheirItemsInOrder) {
    ASSERT_EQ(5, GetMenuItemCount(menu));
    EXPECT_EQ("コマンド(&C)", MenuText(menu, 0));
    EXPECT_EQ("送信形式(&S)", MenuText(menu, 1));
    EXPECT_EQ("ツール(&T)", MenuText(menu, 2));
    EXPECT_EQ("その他(&O)", MenuText(menu, 3));
    EXPECT_EQ("ヘルプ(&H)", MenuText(menu, 4));

    EXPECT_EQ((std::vector<UINT>{IDM_START, IDM_END, IDM_USERCHECK, IDM_SEND, 0, IDM_EXIT}),
              MenuIds(GetSubMenu(menu, 0)));
    EXPECT_EQ((std::vector<UINT>{IDM_PERSONALMODE, IDM_POPUPMODE}), MenuIds(GetSubMenu(menu, 1)));
    EXPECT_EQ((std::vector<UINT>{IDM_WHITEBOARD, IDM_STATUS, IDM_MACHINEINFO, IDM_SHOWLOG, IDM_CLEAR}),
              MenuIds(GetSubMenu(menu, 2)));
    EXPECT_EQ((std::vector<UINT>{IDM_SETTINGS, 0, IDM_GOTOTRAY}), MenuIds(GetSubMenu(menu, 3)));
    EXPECT_EQ((std::vector<UINT>{IDM_HELPCONTENTS, 0, IDM_VERSION}), MenuIds(GetSubMenu(menu, 4)));

    HMENU command = GetSubMenu(menu, 0);
    EXPECT_EQ("終了(&E)", MenuText(command, 1));
    EXPECT_EQ("利用者チェック(&H)", MenuText(command, 2));
    EXPECT_EQ("送信(&S)", MenuText(command, 3));
    EXPECT_EQ("Mosswickの終了(&X)", MenuText(command, 5));
    EXPECT_EQ("個人送信(&B)", MenuText(GetSubMenu(menu, 1), 0));
    EXPECT_EQ("ポップアップ送信(&P)", MenuText(GetSubMenu(menu, 1), 1));
    HMENU tools = GetSubMenu(menu, 2);
    EXPECT_EQ("白板(&B)...\tCtrl+B", MenuText(tools, 0));
    EXPECT_EQ("状態変更(&T)...\tCtrl+T", MenuText(tools, 1));
    EXPECT_EQ("マシン情報(&U)...\tCtrl+U", MenuText(tools, 2));
    EXPECT_EQ("ログの表示(&L)\tCtrl+L", MenuText(tools, 3));
    EXPECT_EQ("画面のクリア(&C)", MenuText(tools, 4));
    EXPECT_EQ("設定(&O)...\tCtrl+O", MenuText(GetSubMenu(menu, 3), 0));
    EXPECT_EQ("目次(&C)", MenuText(GetSubMenu(menu, 4), 0));
    EXPECT_EQ("バージョン情報(&A)", MenuText(GetSubMenu(menu, 4), 2));
}

TEST_F(MenuResource, EveryItemStartsEnabledAndUnchecked) {
    for (int m = 0; m < GetMenuItemCount(menu); ++m) {
        HMENU popup = GetSubMenu(menu, m);
        for (int i = 0; i < GetMenuItemCount(popup); ++i) {
            UINT state = GetMenuState(popup, i, MF_BYPOSITION);
            if (state & MF_SEPARATOR) continue;
            EXPECT_EQ(0u, state & (MF_GRAYED | MF_DISABLED | MF_CHECKED)) << "menu " << m << " item " << i;
        }
    }
}

TEST(AcceleratorResource, SevenCtrlKeys) {
    HACCEL table = LoadAcceleratorsA(Module(), RES_ACCEL);
    ASSERT_NE(nullptr, table);
    ACCEL entries[16] = {};
    ASSERT_EQ(7, CopyAcceleratorTableA(table, entries, 16));
    const struct {
        WORD key, command;
    } expected[7] = {{'B', IDM_WHITEBOARD}, {'L', IDM_SHOWLOG},   {'O', IDM_SETTINGS},     {'T', IDM_STATUS},
                     {'U', IDM_MACHINEINFO}, {VK_RETURN, IDM_CTRLENTER}, {'W', IDM_GOTOTRAY}};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(expected[i].key, entries[i].key) << i;
        EXPECT_EQ(expected[i].command, entries[i].cmd) << i;
        EXPECT_EQ(FVIRTKEY | FCONTROL | FNOINVERT, entries[i].fVirt & (FVIRTKEY | FCONTROL | FNOINVERT | FSHIFT | FALT))
            << i;
    }
}

TEST(PictureResources, IconsAndCursorsLoad) {
    for (const char* name : {RES_TARNICON, RES_ICON_YELLOW, RES_ICON_GREEN, RES_ICON_SKYBLUE, RES_ICON_RED}) {
        HICON icon = static_cast<HICON>(LoadImageA(Module(), name, IMAGE_ICON, 16, 16, 0));
        EXPECT_NE(nullptr, icon) << name;
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(icon, &info)) << name;
        BITMAP bm = {};
        GetObjectA(info.hbmColor, sizeof bm, &bm);
        EXPECT_EQ(16, bm.bmWidth) << name;
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
    for (const char* name : {RES_SPLITH_CUR, RES_SPLITV_CUR, RES_PEN_CUR}) {
        HCURSOR cursor = LoadCursorA(Module(), name);
        EXPECT_NE(nullptr, cursor) << name;
    }
}

// The toolbar strip loads at 208 x 16, and its background takes the button
// face colour through the 3-D colour mapping.
TEST(PictureResources, ToolbarStripMapsItsBackground) {
    HBITMAP strip = static_cast<HBITMAP>(LoadImageA(Module(), RES_TOOLBAR, IMAGE_BITMAP, 208, 16, LR_LOADMAP3DCOLORS));
    ASSERT_NE(nullptr, strip);
    BITMAP bm = {};
    GetObjectA(strip, sizeof bm, &bm);
    EXPECT_EQ(TOOLBAR_IMAGE_COUNT * TOOLBAR_IMAGE_SIZE, bm.bmWidth);
    EXPECT_EQ(TOOLBAR_IMAGE_SIZE, bm.bmHeight);

    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, strip);
    EXPECT_EQ(GetSysColor(COLOR_3DFACE), GetPixel(dc, 0, 0));
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(strip);
}

TEST(CommonControls, VersionRuleAndProbe) {
    EXPECT_FALSE(IsNewCommonControlsVersion(4, 71));
    EXPECT_TRUE(IsNewCommonControlsVersion(4, 72));
    EXPECT_TRUE(IsNewCommonControlsVersion(5, 0));
    EXPECT_TRUE(IsNewCommonControlsVersion(6, 10));
    EXPECT_FALSE(IsNewCommonControlsVersion(3, 99));
    EXPECT_TRUE(IsNewCommonControls());
}

}  // namespace
