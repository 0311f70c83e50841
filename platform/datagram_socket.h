// The one UDP socket the program owns, as the network core sees it.
// Windows: Windows Sockets 1.1 with notifications to the main window.
// POSIX: a non-blocking socket that the console peer polls.
#pragma once
#include <cstdint>

class DatagramSocket {
public:
    virtual ~DatagramSocket() = default;
    // socket(AF_INET, SOCK_DGRAM, 0). False when no socket could be made.
    virtual bool Open() = 0;
    // SO_BROADCAST = 1.
    virtual bool EnableBroadcast() = 0;
    // Readable, writable and closed notifications (WSAAsyncSelect on Windows).
    virtual bool RequestNotifications() = 0;
    // Bind to INADDR_ANY and the port (taken as its low 16 bits).
    virtual bool Bind(int port) = 0;
    // Makes sure a writable event follows, behind the events already waiting:
    // the owner may not otherwise hear one after the bind. A socket whose
    // owner asks the system for readiness itself (poll) needs nothing.
    virtual void QueueWritableEvent() {}
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // One sendto. Returns the bytes sent, or -1 on failure.
    virtual int SendTo(const uint8_t* data, int length, uint32_t address, int port) = 0;
    // One recvfrom into buf (capacity bytes). Returns the datagram's length,
    // 0 for an empty datagram, kNothingWaiting when no datagram is waiting,
    // kPeerGone when instead of a datagram the system tells that an earlier
    // one sent found nobody listening (or ran out of hops) on its way, or -1
    // on any other failure, which includes a datagram longer than the
    // capacity (it is discarded). `from` gets the source address in network
    // order.
    virtual int ReceiveFrom(uint8_t* buf, int capacity, uint32_t* from) = 0;
    static constexpr int kNothingWaiting = -2;
    static constexpr int kPeerGone = -3;
    // Asks for a receive buffer of `bytes` (SO_RCVBUF), so that a burst of
    // datagrams waits there instead of being dropped; the system may give
    // less. False when the request failed; a socket without such a buffer
    // takes the request as done.
    virtual bool SetReceiveBuffer(int /*bytes*/) { return true; }
    // The same for the send buffer (SO_SNDBUF).
    virtual bool SetSendBuffer(int /*bytes*/) { return true; }
};
