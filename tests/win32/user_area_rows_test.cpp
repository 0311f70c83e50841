// The user area's rows on a real list view: found by text from the last row,
// texts set column by column, item data that stays unique through deletes,
// columns fitted to their contents. The list is Unicode and read here in
// UTF-16, converted with code page 932, as the program's own list is; the
// texts come out right whatever the system's code page.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <set>
#include <string>
#include <vector>

#include "platform/win32/wide_text.h"
#include "shell/win32/common_controls.h"
#include "shell/win32/user_area_notify.h"
#include "shell/win32/user_area_rows.h"

namespace {

class UserAreaRows : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterCommonControls();
        // A report view's columns live in its header, a child window, which
        // Wine makes only with a display (message-only windows get no children).
        list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_POPUP | LVS_REPORT, 0, 0, 400, 200, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
        if (list == nullptr) GTEST_SKIP() << "no display: a list view with columns cannot be made here";
        AddColumn(0, "名前", 80);
        AddColumn(1, "状態", 50);
        AddColumn(2, "IPｱﾄﾞﾚｽ", 80);
    }
    void TearDown() override {
        if (list != nullptr) DestroyWindow(list);
    }

    void AddColumn(int index, const char* heading, int width) {
        std::wstring text = WideFromCp932(heading);
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.cx = width;
        column.pszText = text.data();
        column.iSubItem = index;
        SendMessageW(list, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
    }

    int Rows() const { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

    std::string Text(int row, int column) const {
        wchar_t buffer[64] = {};
        LVITEMW item = {};
        item.iSubItem = column;
        item.pszText = buffer;
        item.cchTextMax = 64;
        SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
        return Cp932FromWide(buffer);
    }

    std::string Row(int row) const { return Text(row, 0) + "|" + Text(row, 1) + "|" + Text(row, 2); }

    LPARAM ItemData(int row) const {
        LVITEMW item = {};
        item.mask = LVIF_PARAM;
        item.iItem = row;
        SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        return item.lParam;
    }

    int FindByItemData(LPARAM data) const {
        LVFINDINFOW find = {};
        find.flags = LVFI_PARAM;
        find.lParam = data;
        return static_cast<int>(SendMessageW(list, LVM_FINDITEMW, -1, reinterpret_cast<LPARAM>(&find)));
    }

    void Select(int row, bool on) const {
        LVITEMW item = {};
        item.stateMask = LVIS_SELECTED;
        item.state = on ? LVIS_SELECTED : 0;
        SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
    }

    int Width(int column) const { return static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0)); }

    int TextWidth(const char* text) const {
        return static_cast<int>(
            SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(WideFromCp932(text).c_str())));
    }

    HWND list = nullptr;
};

TEST_F(UserAreaRows, RowsAreAppendedAtTheEndWithTheirThreeTexts) {
    EXPECT_EQ(0, AddUserAreaRow(list, "山田", "受信可", "198.18.0.11"));
    EXPECT_EQ(1, AddUserAreaRow(list, "佐藤", "会議中", "198.18.0.12"));
    ASSERT_EQ(2, Rows());
    EXPECT_EQ("山田|受信可|198.18.0.11", Row(0));
    EXPECT_EQ("佐藤|会議中|198.18.0.12", Row(1));
}

TEST_F(UserAreaRows, FindTakesTheLastRowWhoseWholeTextMatches) {
    AddUserAreaRow(list, "山田", "受信可", "198.18.0.11");
    AddUserAreaRow(list, "佐藤", "受信可", "198.18.0.1");
    AddUserAreaRow(list, "山田", "外出中", "198.18.0.13");

    EXPECT_EQ(2, FindUserAreaRow(list, kUserColumnName, "山田"));
    EXPECT_EQ(2, FindUserAreaRow(list, kUserColumnStatus, "外出中"));
    EXPECT_EQ(1, FindUserAreaRow(list, kUserColumnStatus, "受信可"));
    // A whole-text match: neither a prefix nor a longer text counts.
    EXPECT_EQ(1, FindUserAreaRow(list, kUserColumnAddress, "198.18.0.1"));
    EXPECT_EQ(0, FindUserAreaRow(list, kUserColumnAddress, "198.18.0.11"));
    EXPECT_EQ(-1, FindUserAreaRow(list, kUserColumnAddress, "198.18.0."));
    EXPECT_EQ(-1, FindUserAreaRow(list, kUserColumnName, "山田 "));
    EXPECT_EQ(-1, FindUserAreaRow(list, kUserColumnName, ""));
    EXPECT_EQ(-1, FindUserAreaRow(list, kUserColumnName, nullptr));
    EXPECT_EQ(-1, FindUserAreaRow(nullptr, kUserColumnName, "山田"));
}

TEST_F(UserAreaRows, FindComparesShiftJisBytesWhoseTrailByteIsABackslash) {
    // "表示" is 0x95 0x5C 0x8E 0xA6; "表" alone is its first two bytes.
    AddUserAreaRow(list, "表示", "", "198.18.0.11");
    AddUserAreaRow(list, "表", "", "198.18.0.12");
    EXPECT_EQ(std::string("\x95\x5c\x8e\xa6"), Text(0, 0));
    EXPECT_EQ(0, FindUserAreaRow(list, kUserColumnName, "表示"));
    EXPECT_EQ(1, FindUserAreaRow(list, kUserColumnName, "表"));
    // Read with a limit in bytes, a text is cut at a whole character.
    EXPECT_EQ("表", UserAreaCellText(list, 0, kUserColumnName, 3));
    EXPECT_EQ("表示", UserAreaCellText(list, 0, kUserColumnName, 4));
    EXPECT_EQ("", UserAreaCellText(list, 0, kUserColumnName, 1));
}

TEST_F(UserAreaRows, SetChangesTheGivenTextsOnly) {
    AddUserAreaRow(list, "山田", "受信可", "198.18.0.11");
    AddUserAreaRow(list, "佐藤", "受信可", "198.18.0.12");

    SetUserAreaRow(list, 1, "佐藤次郎", "会議中", nullptr);
    EXPECT_EQ("佐藤次郎|会議中|198.18.0.12", Row(1));
    SetUserAreaRow(list, 1, "佐藤", "休憩中", "198.18.0.20");
    EXPECT_EQ("佐藤|休憩中|198.18.0.20", Row(1));
    EXPECT_EQ("山田|受信可|198.18.0.11", Row(0));

    // Rows that are not there are left alone.
    SetUserAreaRow(list, 2, "x", "x", "x");
    SetUserAreaRow(list, -1, "x", "x", "x");
    EXPECT_EQ(2, Rows());
    EXPECT_EQ(-1, FindUserAreaRow(list, kUserColumnName, "x"));
}

TEST_F(UserAreaRows, ItemDataStaysUniqueAndFindsItsRowThroughDeletes) {
    AddUserAreaRow(list, "a", "", "198.18.0.11");
    AddUserAreaRow(list, "b", "", "198.18.0.12");
    AddUserAreaRow(list, "c", "", "198.18.0.13");
    DeleteUserAreaRow(list, 1);
    AddUserAreaRow(list, "d", "", "198.18.0.14");
    DeleteUserAreaRow(list, 0);
    AddUserAreaRow(list, "e", "", "198.18.0.15");
    DeleteUserAreaRow(list, 7);   // not there: nothing happens
    DeleteUserAreaRow(list, -1);

    ASSERT_EQ(3, Rows());
    EXPECT_EQ("c", Text(0, 0));
    EXPECT_EQ("d", Text(1, 0));
    EXPECT_EQ("e", Text(2, 0));
    std::set<LPARAM> seen;
    for (int row = 0; row < Rows(); ++row) {
        seen.insert(ItemData(row));
        EXPECT_EQ(row, FindByItemData(ItemData(row)));
    }
    EXPECT_EQ(3u, seen.size());

    // Emptied and refilled: still no value repeated among the rows present.
    DeleteAllUserAreaRows(list);
    EXPECT_EQ(0, Rows());
    AddUserAreaRow(list, "f", "", "198.18.0.16");
    AddUserAreaRow(list, "g", "", "198.18.0.17");
    EXPECT_NE(ItemData(0), ItemData(1));
}

TEST_F(UserAreaRows, FittingWidensStatusAndAddressButNotTheName) {
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 1, MAKELPARAM(20, 0));
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 2, MAKELPARAM(20, 0));
    AddUserAreaRow(list, "とても長い名前の利用者", "とても長い状態の文字", "198.180.100.111");

    FitUserAreaColumns(list, false);
    EXPECT_EQ(80, Width(0));
    EXPECT_GE(Width(1), TextWidth("とても長い状態の文字"));
    EXPECT_EQ(20, Width(2));

    FitUserAreaColumns(list, true);
    EXPECT_EQ(80, Width(0));
    EXPECT_GE(Width(2), TextWidth("198.180.100.111"));
}

TEST_F(UserAreaRows, FittingKeepsHeadingsReadableOverShortTexts) {
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 1, MAKELPARAM(5, 0));
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 2, MAKELPARAM(5, 0));
    AddUserAreaRow(list, "a", "", "");
    FitUserAreaColumns(list, true);
    EXPECT_GT(Width(1), TextWidth("状態"));
    EXPECT_GT(Width(2), TextWidth("IPｱﾄﾞﾚｽ"));
}

TEST_F(UserAreaRows, SelectedAddressesComeInListOrderCutToNineteenCharacters) {
    AddUserAreaRow(list, "a", "", "198.18.0.11");
    AddUserAreaRow(list, "b", "", "198.18.0.12");
    AddUserAreaRow(list, "c", "", "198.18.0.13 and more text");
    AddUserAreaRow(list, "d", "", "198.18.0.14");
    EXPECT_TRUE(SelectedUserAreaAddresses(list).empty());

    Select(3, true);
    Select(0, true);
    Select(2, true);
    std::vector<std::string> expected = {"198.18.0.11", "198.18.0.13 and mor", "198.18.0.14"};
    EXPECT_EQ(expected, SelectedUserAreaAddresses(list));

    // Deselecting one row, and then every row.
    KeepUserAreaRowUnselected(list, 2);
    expected = {"198.18.0.11", "198.18.0.14"};
    EXPECT_EQ(expected, SelectedUserAreaAddresses(list));
    KeepUserAreaRowUnselected(list, -1);
    EXPECT_TRUE(SelectedUserAreaAddresses(list).empty());
    EXPECT_TRUE(SelectedUserAreaAddresses(nullptr).empty());
}

// The sort runs over the rows' own texts, byte by byte, and keeps each row
// whole (its three texts and its item data travel together).
TEST_F(UserAreaRows, ColumnClicksSortByBytesEachColumnFlippingOnItsOwn) {
    AddUserAreaRow(list, "b", "受信可", "192.168.0.9");
    AddUserAreaRow(list, "c", "外出中", "192.168.0.10");
    AddUserAreaRow(list, "a", "会議中", "10.0.0.1");
    LPARAM nine = ItemData(0);
    SortUserAreaByColumn(list, 2);
    EXPECT_EQ("a|会議中|10.0.0.1", Row(0));
    EXPECT_EQ("c|外出中|192.168.0.10", Row(1));
    EXPECT_EQ("b|受信可|192.168.0.9", Row(2));
    EXPECT_EQ(2, FindByItemData(nine));
    SortUserAreaByColumn(list, 2);
    EXPECT_EQ("b|受信可|192.168.0.9", Row(0));
    EXPECT_EQ("a|会議中|10.0.0.1", Row(2));
    SortUserAreaByColumn(list, 0);  // another column starts ascending
    EXPECT_EQ("a", Text(0, 0));
    EXPECT_EQ("c", Text(2, 0));
}

}  // namespace
