#include "net/presence.h"

#include <cassert>

#include "net/counters.h"
#include "net/datagram.h"
#include "net/lock_order.h"
#include "net/peer_table.h"
#include "net/pending_acks.h"
#include "net/transport.h"
#include "net/user_rows.h"
#include "platform/inet_address.h"
#include "settings/settings.h"
#include "platform/error_report.h"
#include "platform/platform.h"
#include "platform/bars_view.h"

namespace {

constexpr int kHostIpBoxChars = 15;

// The host IP box's address, or 0 when the box holds nothing to send to: no
// text, not an address, 0, a fourth octet of 255 or a first octet of 127.
uint32_t HostIpBoxAddress() {
    if (g_platform.bars == nullptr) return 0;
    std::string text = g_platform.bars->HostIpBoxText().substr(0, kHostIpBoxChars);
    if (text.empty()) return 0;
    uint32_t address = ParseInetAddress(text.c_str());
    if (address == 0 || address == kInetAddressNone) return 0;
    if (AddressOctet(address, 3) == 255 || AddressOctet(address, 0) == 127) return 0;
    return address;
}

void ShowStartEnd(StartEndState state) {
    if (g_platform.bars != nullptr) g_platform.bars->ShowStartEndState(state);
}

// A datagram of `kind` carrying the own entry at `address`; the datagram
// counter is advanced for it. `buf` holds kOwnEntryDatagramSize bytes.
int BuildOwnEntryDatagram(uint8_t* buf, int16_t kind, uint32_t address) {
    UserEntry own = BuildOwnEntry(address);
    return BuildEntryDatagram(buf, kOwnEntryDatagramSize, kind, address, NextDatagramCount(), &own, 1);
}

// Sends to every peer in the table (entries 1 onward) in table order, one
// unicast datagram each; stops at the first failure. The caller holds the
// peer-table lock.
bool SendToEachPeer(uint8_t* datagram, int length, bool keep) {
    assert(HoldingPeerTableLock());
    for (int i = 1; i < g_peer_table.count; ++i)
        if (!SendDatagram(datagram, length, g_peer_table.entries[i].addr, g_settings.Port_Number, keep))
            return false;
    return true;
}

// Keeps only the own entry, releases the lock, and leaves the own row alone in
// the user area.
void ResetToOwnEntry(PeerTableLock* lock) {
    KeepOnlyOwnEntry();
    lock->Unlock();
    ResetUserAreaToOwnRow();
}

// The datagram's corrected sender address.
uint32_t SenderOf(const uint8_t* datagram, int length) { return ReadHeader(datagram, length).addr; }

}  // namespace

bool StartSequence(StartMode mode) {
    uint8_t datagram[kOwnEntryDatagramSize];
    UserEntry own = BuildOwnEntry(g_transport.host_address);
    int length = BuildEntryDatagram(datagram, sizeof datagram, KIND_START, g_transport.host_address,
                                    CurrentDatagramCount(), &own, 1);

    if (mode == StartMode::StartUp) {
        if (!TakeEntries(datagram, length)) {
            ReportInternalError(OP_START_SEQUENCE, 0x10);
            return false;
        }
        if (!StartSendOn(g_settings)) {
            ShowStartEnd(StartEndState::Ended);
            return true;
        }
        ShowStartEnd(StartEndState::Started);
        g_transport.started = true;
    }

    if (!SendDatagram(datagram, length, 0, g_settings.Port_Number, false)) {
        ReportInternalError(OP_START_SEQUENCE, 0x30);
        return false;
    }
    uint32_t box = HostIpBoxAddress();
    if (box != 0 && !SendDatagram(datagram, length, box, g_settings.Port_Number, false)) {
        ReportInternalError(OP_START_SEQUENCE, 0x20);
        return false;
    }
    return true;
}

bool EndAnnouncement() {
    uint8_t datagram[kEndDatagramSize];
    int length = BuildEndDatagram(datagram, OwnAddress(), NextDatagramCount());
    PeerTableLock lock;
    bool sent = SendToEachPeer(datagram, length, false);
    ResetToOwnEntry(&lock);
    PendingClear();
    if (!sent) {
        ReportInternalError(OP_END_ANNOUNCE, 0x10);
        return false;
    }
    return true;
}

bool UserCheck() {
    uint8_t datagram[kOwnEntryDatagramSize];
    int length = BuildOwnEntryDatagram(datagram, KIND_CHECK, OwnAddress());
    PeerTableLock lock;
    if (!SendToEachPeer(datagram, length, true)) {
        lock.Unlock();
        ReportInternalError(OP_USER_CHECK, 0x10);
        return false;
    }
    ResetToOwnEntry(&lock);
    return true;
}

bool AnnounceOwnChange() {
    UserEntry own = BuildOwnEntry(OwnAddress());
    uint8_t datagram[kOwnEntryDatagramSize];
    int length = BuildEntryDatagram(datagram, sizeof datagram, KIND_STATUS, own.addr,
                                    NextDatagramCount(), &own, 1);
    PeerTableLock lock;
    if (!SendToEachPeer(datagram, length, true)) {
        lock.Unlock();
        ReportInternalError(OP_OWN_CHANGE, 0x10);
        return false;
    }
    StoreOwnEntry(own);
    lock.Unlock();
    SetUserRowNameAndStatus(own.addr, own.from, OwnStatus());
    return true;
}

bool SendWholeTable(const uint8_t*, int) {
    uint8_t table[kMaxDatagramSize];
    int length;
    {
        PeerTableLock lock;
        length = BuildEntryDatagram(table, sizeof table, KIND_USERLIST, OwnAddress(),
                                    NextDatagramCount(), g_peer_table.entries, g_peer_table.count);
    }
    int count = length > 0 ? ReadHeader(table, length).num : 0;
    for (int i = 1; i < count; ++i) {
        uint32_t address = ReadAddress(table + kHeaderSize + i * kUserEntrySize + kEntryOffsetAddr);
        if (!SendDatagram(table, length, address, g_settings.Port_Number, false)) {
            ReportInternalError(OP_WHOLE_TABLE, 0x10);
            return false;
        }
    }
    return true;
}

bool ReplyWithOwnEntry(const uint8_t* datagram, int length) {
    uint32_t sender = SenderOf(datagram, length);
    uint8_t reply[kOwnEntryDatagramSize];
    int reply_length = BuildOwnEntryDatagram(reply, KIND_USERLIST, OwnAddress());
    // With no sender address the reply would fan out to the host address list.
    if (sender == 0 ||
        !SendDatagram(reply, reply_length, sender, g_settings.Port_Number, true)) {
        ReportInternalError(OP_CHECK_REPLY, 0x10);
        return false;
    }
    return true;
}

bool TakeEntries(const uint8_t* datagram, int length) {
    RowChanges rows;
    bool merged = MergeEntries(datagram, length, &rows);
    ApplyRowChanges(rows);
    return merged;
}

bool RemoveSender(const uint8_t* datagram, int length) {
    uint32_t sender = SenderOf(datagram, length);
    if (RemovePeer(sender)) DeleteUserRowOf(sender);
    return true;
}

bool UpdateSender(const uint8_t* datagram, int length) {
    UserEntry incoming;
    if (!ReadCarriedEntry(datagram, length, &incoming)) return true;
    incoming.addr = SenderOf(datagram, length);
    PeerEntry stored;
    if (UpdatePeer(incoming, &stored)) SetUserRowNameAndStatus(stored.addr, stored.from, stored.cond);
    return true;
}
