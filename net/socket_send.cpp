#include "net/socket_send.h"

#include "net/datagram.h"
#include "net/dump.h"
#include "platform/datagram_socket.h"
#include "platform/platform.h"
#include "settings/settings.h"

// "None" is a value of its own: no socket object, or one that is not open.
bool SocketExists() { return g_platform.socket != nullptr && g_platform.socket->IsOpen(); }

bool SendRaw(uint8_t* datagram, int length, uint32_t destination, int port) {
    if (!SocketExists() || length < 0) return false;
    int offset = 0;
    do {
        const uint8_t* rest = datagram + offset;
        int remaining = length - offset;
        if (DebugOn(g_settings) && ReadKind(rest, remaining) != KIND_END)
            DumpDatagram(DumpDirection::Sent, rest, remaining, destination);
        int sent = g_platform.socket->SendTo(rest, remaining, destination, port);
        // A call that sends nothing of a non-empty rest would repeat forever.
        if (sent < 0 || sent > remaining || (sent == 0 && remaining > 0)) return false;
        offset += sent;
    } while (offset < length);
    return true;
}

bool SendToAddress(uint8_t* datagram, int length, uint32_t destination, int port) {
    if (!SocketExists()) return true;
    return SendRaw(datagram, length, destination, port);
}
