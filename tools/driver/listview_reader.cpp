#include "tools/driver/listview_reader.h"

#include <commctrl.h>

namespace {

constexpr int kTextCapacity = 1024;

// The item record followed by its text buffer, in the list view's process.
class RemoteItem {
public:
    explicit RemoteItem(HWND list_view) {
        DWORD pid = 0;
        GetWindowThreadProcessId(list_view, &pid);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process_) {
            memory_ = static_cast<char*>(VirtualAllocEx(process_, nullptr, sizeof(LVITEMA) + kTextCapacity,
                                                        MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        }
    }
    ~RemoteItem() {
        if (memory_) VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
        if (process_) CloseHandle(process_);
    }
    RemoteItem(const RemoteItem&) = delete;
    RemoteItem& operator=(const RemoteItem&) = delete;

    bool Usable() const { return memory_ != nullptr; }

    bool ReadText(HWND list_view, int row, int column, std::string* text) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.iSubItem = column;
        item.pszText = memory_ + sizeof(LVITEMA);
        item.cchTextMax = kTextCapacity;
        char zero = 0;
        if (!WriteProcessMemory(process_, memory_, &item, sizeof item, nullptr)) return false;
        if (!WriteProcessMemory(process_, item.pszText, &zero, 1, nullptr)) return false;
        LRESULT length = SendMessageA(list_view, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(memory_));
        if (length < 0) length = 0;
        if (length >= kTextCapacity) length = kTextCapacity - 1;
        std::string buffer(static_cast<size_t>(length), '\0');
        if (length > 0 && !ReadProcessMemory(process_, item.pszText, buffer.data(), buffer.size(), nullptr)) {
            return false;
        }
        *text = buffer;
        return true;
    }

private:
    HANDLE process_ = nullptr;
    char* memory_ = nullptr;
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
