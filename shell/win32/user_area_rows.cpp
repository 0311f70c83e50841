#include "shell/win32/user_area_rows.h"

#include <commctrl.h>

#include <cstring>
#include <vector>

#include "platform/cp932.h"

namespace {

// Every text a row holds is short (a 20-byte name or status, a dotted
// address); a key this long or longer matches no row.
constexpr int kRowTextSize = 256;
// Room the column heading needs beside its text.
constexpr int kHeadingPadding = 12;

// Item data for the next row added. It only grows, so no two rows present
// ever carry the same value, whatever was deleted in between.
LPARAM g_next_item_data = 1;

int RowCount(HWND list) { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }

void SetColumnText(HWND list, int row, int column, const char* text) {
    if (text == nullptr) return;
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text);
    SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
}

bool ColumnTextEquals(HWND list, int row, int column, const char* text) {
    return UserAreaCellText(list, row, column, kRowTextSize - 1) == text;
}

int HeadingWidth(HWND list, int column) {
    char heading[kRowTextSize] = {};
    LVCOLUMNA info = {};
    info.mask = LVCF_TEXT;
    info.pszText = heading;
    info.cchTextMax = sizeof heading;
    if (!SendMessageA(list, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&info))) return 0;
    return static_cast<int>(SendMessageA(list, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(heading))) +
           kHeadingPadding;
}

// The widest text of the column, but at least its heading, so that the
// heading stays readable while the column is empty or its texts are short.
void FitColumn(HWND list, int column) {
    SendMessageA(list, LVM_SETCOLUMNWIDTH, column, MAKELPARAM(LVSCW_AUTOSIZE, 0));
    int contents = static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0));
    int heading = HeadingWidth(list, column);
    if (heading > contents) SendMessageA(list, LVM_SETCOLUMNWIDTH, column, MAKELPARAM(heading, 0));
}

}  // namespace

// A text longer than the buffer may come back without its NUL, and Wine's
// list view then writes its terminating zero as a wide character at the last
// wide position: the buffer has twice the room it is said to have.
std::string UserAreaCellText(HWND list, int row, int column, int max_bytes) {
    if (max_bytes < 0) return {};
    const int asked = max_bytes + 1;
    std::vector<char> buffer(2 * static_cast<size_t>(asked), '\0');
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = buffer.data();
    item.cchTextMax = asked;
    SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    const char* text = buffer.data();
    return std::string(text, Cp932Cut(text, strnlen(text, asked), max_bytes));
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
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = RowCount(list);
    item.pszText = const_cast<char*>(name != nullptr ? name : "");
    item.lParam = g_next_item_data++;
    int row = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
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
    SendMessageA(list, LVM_DELETEITEM, row, 0);
}

void DeleteAllUserAreaRows(HWND list) {
    if (list != nullptr) SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
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
        row = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, row, MAKELPARAM(LVNI_SELECTED, 0)));
        if (row < 0) break;
        addresses.push_back(UserAreaCellText(list, row, kUserColumnAddress, kUserAddressChars));
    }
    return addresses;
}

void KeepUserAreaRowUnselected(HWND list, int row) {
    if (list == nullptr || row < -1) return;  // -1: every row
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED;
    item.state = 0;
    SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}
