// The part of a fuzzer's socket that every fuzzer shares: it opens, binds and
// closes without a network; each fuzzer says what sending and receiving do.
#pragma once
#include "platform/datagram_socket.h"

class FuzzSocketBase : public DatagramSocket {
public:
    bool open = true;

    bool Open() override { return open = true; }
    bool EnableBroadcast() override { return true; }
    bool RequestNotifications() override { return true; }
    bool Bind(int) override { return true; }
    void Close() override { open = false; }
    bool IsOpen() const override { return open; }
};
