#include "net/presence.h"

#include "net/counters.h"
#include "net/datagram.h"
#include "net/peer_table.h"
#include "net/transport.h"
#include "settings/inet_address.h"
#include "settings/settings.h"
#include "shell/error_report.h"
#include "shell/shell_state.h"

std::string (*g_host_ip_box_text)() = nullptr;

namespace {

constexpr int kHostIpBoxChars = 15;

// The host IP box's address, or 0 when the box holds nothing to send to: no
// text, not an address, 0, a fourth octet of 255 or a first octet of 127.
uint32_t HostIpBoxAddress() {
    if (g_host_ip_box_text == nullptr) return 0;
    std::string text = g_host_ip_box_text().substr(0, kHostIpBoxChars);
    if (text.empty()) return 0;
    uint32_t address = ParseInetAddress(text.c_str());
    if (address == 0 || address == kInetAddressNone) return 0;
    if (AddressOctet(address, 3) == 255 || AddressOctet(address, 0) == 127) return 0;
    return address;
}

}  // namespace

bool StartSequence(StartMode mode) {
    uint8_t datagram[kOwnEntryDatagramSize];
    UserEntry own = BuildOwnEntry(g_transport.host_address);
    int length = BuildEntryDatagram(datagram, sizeof datagram, KIND_START, g_transport.host_address,
                                    CurrentDatagramCount(), &own, 1);

    if (mode == StartMode::StartUp) {
        if (!MergeEntries(datagram, length)) {
            ReportInternalError(OP_START_SEQUENCE, 0x10);
            return false;
        }
        if (!FlagNotN(g_settings.Start_Send)) return true;
        g_flags.started = true;
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

// The handlers below take their full form with the presence exchanges; until
// then they accept the datagram and change nothing.

bool SendWholeTable(const uint8_t*, int) { return true; }

bool ReplyWithOwnEntry(const uint8_t*, int) { return true; }

bool RemoveSender(const uint8_t*, int) { return true; }

bool UpdateSender(const uint8_t*, int) { return true; }

bool EndAnnouncement() { return true; }

bool UserCheck() { return true; }

bool AnnounceOwnChange() { return true; }
