// The program's one UDP socket: set-up, socket events, sending and receiving.
#pragma once
#include <cstdint>
#include <vector>

// Largest datagram the format defines: a header and a table of 30 users.
constexpr int kReceiveBufferSize = 16 + 30 * 52;

struct TransportState {
    uint32_t host_address = 0;   // from the host identity lookup, network order
    // Every address the host name resolved to, host_address among them: a
    // datagram from any of them is the program's own.
    std::vector<uint32_t> own_addresses;
    bool network_ready = false;  // set once, on the socket's first writable event
    bool started = false;        // Start done and End not yet done
};
extern TransportState g_transport;

// Host identity lookup; fills g_transport.host_address and own_addresses.
// A name with several addresses gives the one of the way to the first
// host-list address sent to, or of the default route (ChooseOwnAddress).
// False when no name at all.
bool LookUpHostIdentity();

// Creates, configures and binds the socket (g_platform.socket), then queues a
// writable event, so that the network starts whether the system sends one or
// not. A bind failure shows its message and still counts as success.
bool SocketSetUp();

// The UM_SOCKETEVENT handler: 1 readable, 2 writable, 32 closed. The first
// writable event starts the network; later ones change nothing.
void SocketEvent(int event);

// Sends to one address, or (destination 0) to the host address list and the
// local broadcast address. `keep` hands a copy of a successful unicast send
// to the pending-ack list.
bool SendDatagram(uint8_t* datagram, int length, uint32_t destination, int port, bool keep);


// Hands a received datagram to the handler of its kind. The sender is the
// corrected source address, already written into the header's addr. Returns
// the step code of a failed handler, or 0; a handler that wants the datagram
// again (its sender resends what is not acknowledged) clears `acknowledge`.
// The program wires in the table of handlers; without one a datagram is only
// acknowledged.
using ReceiveDispatch = uint16_t (*)(uint8_t* datagram, int length, int16_t kind, uint32_t sender,
                                     bool* acknowledge);
void SetReceiveDispatch(ReceiveDispatch dispatch);

// What the network's start and end run beyond the socket, wired in by the
// program beside the receive dispatch: `started` once the network is ready
// (the start sequence), `ending` before the socket closes while it was ready
// (the end announcement). A missing hook is skipped.
struct NetworkHooks {
    void (*started)() = nullptr;
    void (*ending)() = nullptr;
};
void SetNetworkHooks(const NetworkHooks& hooks);

// Reads and handles one datagram: at most kReceiveBufferSize bytes into a
// zero-filled buffer (a longer one is refused and not answered), dumped,
// sender address corrected, dispatched by kind, acknowledged unless it is an
// acknowledgement. Handlers get the buffer and the bytes received. Before the
// network starts a datagram is read and dropped, unanswered. An empty socket
// is not reported, nor is the system's word that an earlier datagram found
// nobody at its address (Skipped: a peer that has gone).
enum class ReceiveOutcome { Handled, Failed, NothingWaiting, Skipped };
ReceiveOutcome ReceiveNext();

// A readable event: every datagram waiting, up to 256 reads, each as
// ReceiveNext handles it, with the output area's drawing held until the last
// is shown. Reads on past a skipped one; stops at the first failure or an
// empty socket. Returns the datagrams handled.
int ReceiveBurst();

// Turns a received datagram into its acknowledgement in place and sends it to
// the datagram's (corrected) addr. The buffer holds at least 25 bytes.
bool SendResp(uint8_t* datagram);

// Shutdown: the `ending` hook when the network started, then the socket is
// closed and forgotten. Safe to run twice.
void ShutdownNetwork();
