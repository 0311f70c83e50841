#include "net/user_rows.h"

#include <cassert>
#include <string>

#include "platform/inet_address.h"
#include "net/lock_order.h"
#include "settings/settings.h"
#include "platform/platform.h"
#include "platform/user_area_view.h"

namespace {

// The views, checked not to be reached under the peer-table lock: a window
// notification that reads the table under the lock would wait for itself.
UserAreaView* RowViews() {
    assert(!HoldingPeerTableLock() && "user-area rows changed under the peer-table lock");
    return g_platform.user_area;
}

// A text of a fixed field, ending at its NUL or the end of the field.
std::string FieldText(const char* field, size_t size) {
    return std::string(field, BoundedLength(field, size));
}

void AppendUserRow(UserAreaView* views, const PeerEntry& entry) {
    views->AddUserRow(FieldText(entry.from, sizeof entry.from).c_str(),
                      FieldText(entry.cond, sizeof entry.cond).c_str(),
                      FormatDottedAddress(entry.addr).c_str());
    views->FitUserColumns(true);
}

void SetUserRowOf(UserAreaView* views, bool by_address, const PeerEntry& entry) {
    std::string name = FieldText(entry.from, sizeof entry.from);
    std::string address = FormatDottedAddress(entry.addr);
    int row = by_address ? views->FindUserRow(2, address.c_str()) : views->FindUserRow(0, name.c_str());
    if (row < 0) return;
    views->SetUserRow(row, name.c_str(), FieldText(entry.cond, sizeof entry.cond).c_str(),
                      address.c_str());
    views->FitUserColumns(true);
}

}  // namespace

void ApplyRowChanges(const RowChanges& rows) {
    UserAreaView* views = RowViews();
    if (views == nullptr) return;
    for (int i = 0; i < rows.count; ++i) {
        const RowChange& change = rows.changes[i];
        switch (change.kind) {
            case RowChange::Kind::Append: AppendUserRow(views, change.entry); break;
            case RowChange::Kind::SetByAddress: SetUserRowOf(views, true, change.entry); break;
            case RowChange::Kind::SetByName: SetUserRowOf(views, false, change.entry); break;
        }
    }
}

void SetUserRowNameAndStatus(uint32_t address, const char* name, const char* status) {
    UserAreaView* views = RowViews();
    if (views == nullptr) return;
    int row = views->FindUserRow(2, FormatDottedAddress(address).c_str());
    if (row < 0) return;
    views->SetUserRow(row, name, status, nullptr);
    views->FitUserColumns(false);
}

void DeleteUserRowOf(uint32_t address) {
    UserAreaView* views = RowViews();
    if (views == nullptr) return;
    int row = views->FindUserRow(2, FormatDottedAddress(address).c_str());
    if (row >= 0) views->DeleteUserRow(row);
}

void ResetUserAreaToOwnRow() {
    UserAreaView* views = RowViews();
    if (views == nullptr) return;
    views->DeleteAllUserRows();
    if (g_peer_table.count == 0) return;
    views->AddUserRow(FieldText(g_settings.Name, sizeof g_settings.Name).c_str(), OwnStatus(),
                      FormatDottedAddress(OwnAddress()).c_str());
    views->FitUserColumns(true);
}
