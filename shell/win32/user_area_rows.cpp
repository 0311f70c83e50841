#include "shell/win32/user_area_rows.h"

#include <commctrl.h>

#include <cstring>
#include <cwchar>
#include <vector>

#include "platform/win32/wide_text.h"

namespace {

// Every text a row holds is short (a 20-byte name or status, a dotted
// address); a key this long or longer matches no row.
constexpr int kRowTextSize = 256;
// Room the column heading needs beside its text.
constexpr int kHeadingPadding = 12;

// Item data for the next row added. It only grows, so no two rows present
// ever carry the same value, whatever was deleted in between.
LPARAM g_next_item_data = 1;

int RowCount(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

// Every text the rows show comes in here, or into the row's first text in
// AddUserAreaRow, as CP932.
void SetColumnText(HWND list, int row, int column, const char* text) {
    if (text == nullptr) return;
    std::wstring wide = WideFromCp932(text);
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = wide.data();
    SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

bool ColumnTextEquals(HWND list, int row, int column, const char* text) {
    return UserAreaCellText(list, row, column, kRowTextSize - 1) == text;
}

int HeadingWidth(HWND list, int column) {
    wchar_t heading[kRowTextSize] = {};
    LVCOLUMNW info = {};
    info.mask = LVCF_TEXT;
    info.pszText = heading;
    info.cchTextMax = kRowTextSize;
    if (!SendMessageW(list, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&info))) return 0;
    heading[kRowTextSize - 1] = L'\0';
    return static_cast<int>(SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(heading))) +
           kHeadingPadding;
}

// The widest text of the column, but at least its heading, so that the
// heading stays readable while the column is empty or its texts are short.
void FitColumn(HWND list, int column) {
    SendMessageW(list, LVM_SETCOLUMNWIDTH, column, MAKELPARAM(LVSCW_AUTOSIZE, 0));
    int contents = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0));
    int heading = HeadingWidth(list, column);
    if (heading > contents) SendMessageW(list, LVM_SETCOLUMNWIDTH, column, MAKELPARAM(heading, 0));
}

}  // namespace

// Every text read from the rows comes out here, as CP932. A character takes
// at least one CP932 byte, so `max_bytes` characters are all the list need
// give; the CP932 text is then cut at a whole character. The text is read
// only up to the buffer's end, whether or not the list put a NUL there.
std::string UserAreaCellText(HWND list, int row, int column, int max_bytes) {
    if (max_bytes < 0) return {};
    const int asked = max_bytes + 1;
    std::vector<wchar_t> buffer(static_cast<size_t>(asked), L'\0');
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = buffer.data();
    item.cchTextMax = asked;
    SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    const wchar_t* text = buffer.data();
    return Cp932FromWide(std::wstring_view(text, wcsnlen(text, buffer.size())), static_cast<size_t>(max_bytes));
}

int FindUserAreaRow(HWND list, int column, const char* text) {
    if (list == nullptr || text == nullptr) return -1;
    if (std::strlen(text) >= kRowTextSize - 1) return -1;
    for (int row = RowCount(list) - 1; row >= 0; --row) {
        if (ColumnTextEquals(list, row, column, text)) return row;
    }
    return -1;
}

int AddUserAreaRow(HWND list, const char* name, const char* status, const char* address) {
    if (list == nullptr) return -1;
    std::wstring first = WideFromCp932(name);
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = RowCount(list);
    item.pszText = first.data();
    item.lParam = g_next_item_data++;
    int row = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (row < 0) return -1;
    SetColumnText(list, row, kUserColumnStatus, status != nullptr ? status : "");
    SetColumnText(list, row, kUserColumnAddress, address != nullptr ? address : "");
    return row;
}

void SetUserAreaRow(HWND list, int row, const char* name, const char* status, const char* address) {
    if (list == nullptr || row < 0 || row >= RowCount(list)) return;
    SetColumnText(list, row, kUserColumnName, name);
    SetColumnText(list, row, kUserColumnStatus, status);
    SetColumnText(list, row, kUserColumnAddress, address);
}

void DeleteUserAreaRow(HWND list, int row) {
    if (list == nullptr || row < 0 || row >= RowCount(list)) return;
    SendMessageW(list, LVM_DELETEITEM, row, 0);
}

void DeleteAllUserAreaRows(HWND list) {
    if (list != nullptr) SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
}

void FitUserAreaColumns(HWND list, bool address_too) {
    if (list == nullptr) return;
    FitColumn(list, kUserColumnStatus);
    if (address_too) FitColumn(list, kUserColumnAddress);
}

std::vector<std::string> SelectedUserAreaAddresses(HWND list) {
    std::vector<std::string> addresses;
    if (list == nullptr) return addresses;
    // Each next selected row after the previous one, starting before the
    // first; never more than there are rows.
    int row = -1;
    for (int n = RowCount(list); n > 0; --n) {
        row = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, row, MAKELPARAM(LVNI_SELECTED, 0)));
        if (row < 0) break;
        addresses.push_back(UserAreaCellText(list, row, kUserColumnAddress, kUserAddressChars));
    }
    return addresses;
}

void KeepUserAreaRowUnselected(HWND list, int row) {
    if (list == nullptr || row < -1) return;  // -1: every row
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED;
    item.state = 0;
    SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}
