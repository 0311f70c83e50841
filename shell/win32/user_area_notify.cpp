#include "shell/win32/user_area_notify.h"

#include <map>
#include <string>

#include "net/peer_table.h"
#include "settings/settings.h"
#include "settings/window_modes.h"
#include "shell/user_row_colour.h"
#include "shell/user_sort.h"
#include "shell/win32/user_area_rows.h"
#include "platform/win32/window_guard.h"

namespace {

constexpr int kSortTextBytes = 31;     // the column text compared when sorting
constexpr int kAddressTextBytes = 20;  // the IP column read for a row's colour

// Each list's sort directions, kept on the list from its first sort on.
struct SortRecord : SubclassRecord {
    static constexpr wchar_t kProperty[] = L"Mosswick.UserAreaSort";
    SortDirections directions;
};

// The texts of the column being sorted, by each row's item data, and the
// directions in force. They are read before the sort starts, so the
// comparison never looks into the list while the list rearranges itself.
struct SortRun {
    std::map<LPARAM, std::string> texts;
    int column = 0;
    SortDirections directions;
};

LPARAM RowData(HWND list, int row) {
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return item.lParam;
}

int CALLBACK CompareRows(LPARAM a, LPARAM b, LPARAM run_pointer) {
    const SortRun* run = reinterpret_cast<const SortRun*>(run_pointer);
    auto text_of = [run](LPARAM data) {
        auto found = run->texts.find(data);
        return found != run->texts.end() ? found->second.c_str() : "";
    };
    return run->directions.Compare(run->column, text_of(a), text_of(b));
}

// Outside personal mode a row that becomes selected is deselected again:
// selected rows are the recipients of a personal message.
void OnItemChanged(const NMLISTVIEW* change) {
    if (g_modes.personal_mode || (change->uNewState & LVIS_SELECTED) == 0) return;
    KeepUserAreaRowUnselected(change->hdr.hwndFrom, change->iItem);
}

LRESULT OnCustomDraw(NMLVCUSTOMDRAW* draw) {
    if (UsAreaTextColorForceOn(g_settings)) return CDRF_DODEFAULT;  // every row in the forced colour
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if (draw->nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
    std::string address = UserAreaCellText(draw->nmcd.hdr.hwndFrom, static_cast<int>(draw->nmcd.dwItemSpec),
                                           kUserColumnAddress, kAddressTextBytes);
    // Read on the user-interface thread, the only one that changes the table.
    std::optional<uint32_t> colour = UserRowColour(address.c_str(), g_peer_table);
    if (!colour) return CDRF_DODEFAULT;
    draw->clrText = *colour;
    return CDRF_NEWFONT;
}

}  // namespace

void SortUserAreaByColumn(HWND list, int column) {
    if (column < 0 || column >= kUserColumns) return;
    SortRecord* record = ControlRecord<SortRecord>(list);
    if (record == nullptr) return;
    record->directions.Flip(column);
    SortRun run;
    run.column = column;
    run.directions = record->directions;
    int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        run.texts[RowData(list, row)] = UserAreaCellText(list, row, column, kSortTextBytes);
    }
    SendMessageW(list, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&run), reinterpret_cast<LPARAM>(CompareRows));
}

LRESULT OnUserAreaNotify(NMHDR* header) {
    switch (header->code) {
        case LVN_COLUMNCLICK:
            SortUserAreaByColumn(header->hwndFrom, reinterpret_cast<NMLISTVIEW*>(header)->iSubItem);
            return 0;
        case LVN_ITEMCHANGED: OnItemChanged(reinterpret_cast<NMLISTVIEW*>(header)); return 0;
        case NM_CUSTOMDRAW: return OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(header));
        default: return 0;
    }
}
