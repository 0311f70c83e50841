#include "tools/driver/listview_reader.h"

#include <commctrl.h>

#include "platform/win32/wide_text.h"
#include "tools/driver/remote_memory.h"

namespace {

constexpr int kTextCapacity = 1024;  // characters

// The item record followed by its text buffer, in the list view's process.
// The text is asked for in UTF-16 and converted with code page 932 here.
class RemoteItem {
public:
    explicit RemoteItem(HWND list_view)
        : memory_(list_view, sizeof(LVITEMW) + kTextCapacity * sizeof(wchar_t)) {}

    bool Usable() const { return memory_.Usable(); }

    bool ReadText(HWND list_view, int row, int column, std::string* text) {
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.iSubItem = column;
        item.pszText = reinterpret_cast<LPWSTR>(memory_.Address() + sizeof(LVITEMW));
        item.cchTextMax = kTextCapacity;
        wchar_t zero = 0;
        if (!memory_.Write(0, &item, sizeof item)) return false;
        if (!memory_.Write(sizeof(LVITEMW), &zero, sizeof zero)) return false;
        LRESULT length = SendMessageW(list_view, LVM_GETITEMTEXTW, row, memory_.AsParam());
        if (length < 0) length = 0;
        if (length >= kTextCapacity) length = kTextCapacity - 1;
        std::wstring buffer(static_cast<size_t>(length), L'\0');
        if (length > 0 && !memory_.Read(sizeof(LVITEMW), buffer.data(), buffer.size() * sizeof(wchar_t))) {
            return false;
        }
        *text = Cp932FromWide(buffer);
        return true;
    }

private:
    RemoteMemory memory_;
};

int ColumnCount(HWND list_view) {
    HWND header = reinterpret_cast<HWND>(SendMessageA(list_view, LVM_GETHEADER, 0, 0));
    if (!header) return 1;
    LRESULT columns = SendMessageA(header, HDM_GETITEMCOUNT, 0, 0);
    return columns > 0 ? static_cast<int>(columns) : 1;
}

}  // namespace

bool ReadListViewRows(HWND list_view, std::vector<std::vector<std::string>>* rows) {
    rows->clear();
    RemoteItem remote(list_view);
    if (!remote.Usable()) return false;
    int count = static_cast<int>(SendMessageA(list_view, LVM_GETITEMCOUNT, 0, 0));
    int columns = ColumnCount(list_view);
    for (int row = 0; row < count; ++row) {
        std::vector<std::string> texts;
        for (int column = 0; column < columns; ++column) {
            std::string text;
            if (!remote.ReadText(list_view, row, column, &text)) return false;
            texts.push_back(text);
        }
        rows->push_back(texts);
    }
    return true;
}

std::vector<UINT> ListViewStates(HWND list_view, UINT mask) {
    std::vector<UINT> states;
    int count = static_cast<int>(SendMessageA(list_view, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        states.push_back(static_cast<UINT>(SendMessageA(list_view, LVM_GETITEMSTATE, row, mask)));
    }
    return states;
}

bool ListViewRowRect(HWND list_view, int row, RECT* rect) {
    RemoteMemory memory(list_view, sizeof(RECT));
    RECT asked = {};
    asked.left = LVIR_BOUNDS;
    if (!memory.Write(0, &asked, sizeof asked)) return false;
    if (!SendMessageA(list_view, LVM_GETITEMRECT, row, memory.AsParam())) return false;
    return memory.Read(0, rect, sizeof *rect);
}
