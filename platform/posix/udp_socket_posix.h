// The datagram socket over BSD sockets, non-blocking, for the console peer
// and for tests over real sockets. There are no asynchronous notifications:
// the owner polls Fd() and calls the core's socket event itself.
#pragma once
#include <cstdint>

#include "platform/datagram_socket.h"

class UdpSocketPosix : public DatagramSocket {
public:
    // `bind_address` (network order) is the local address bound; 0 (the
    // default) is any address.
    explicit UdpSocketPosix(uint32_t bind_address = 0) : bind_address_(bind_address) {}
    ~UdpSocketPosix() override;

    bool Open() override;
    bool EnableBroadcast() override;
    bool RequestNotifications() override;
    bool Bind(int port) override;
    void Close() override;
    bool IsOpen() const override { return fd_ >= 0; }
    int SendTo(const uint8_t* data, int length, uint32_t address, int port) override;
    int ReceiveFrom(uint8_t* buf, int capacity, uint32_t* from) override;
    bool SetReceiveBuffer(int bytes) override;
    bool SetSendBuffer(int bytes) override;

    int Fd() const { return fd_; }
    // The local port after Bind (useful after binding port 0); 0 when unknown.
    int LocalPort() const;

private:
    uint32_t bind_address_;
    int fd_ = -1;
};
