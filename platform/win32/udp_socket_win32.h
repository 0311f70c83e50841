// DatagramSocket on Windows Sockets. Readiness arrives as a window message:
// the socket's events are posted to the given window with the given message
// (wParam the socket, low word of lParam the event).
#pragma once
#include <windows.h>

#include <cstdint>

#include "platform/datagram_socket.h"

class UdpSocketWin32 final : public DatagramSocket {
public:
    UdpSocketWin32(HWND notify_window, UINT notify_message);
    ~UdpSocketWin32() override;
    UdpSocketWin32(const UdpSocketWin32&) = delete;
    UdpSocketWin32& operator=(const UdpSocketWin32&) = delete;

    bool Open() override;
    bool EnableBroadcast() override;
    bool RequestNotifications() override;
    bool Bind(int port) override;
    void QueueWritableEvent() override;
    void Close() override;
    bool IsOpen() const override;
    int SendTo(const uint8_t* data, int length, uint32_t address, int port) override;
    int ReceiveFrom(uint8_t* buf, int capacity, uint32_t* from) override;
    bool SetReceiveBuffer(int bytes) override;
    bool SetSendBuffer(int bytes) override;

private:
    HWND notify_window_;
    UINT notify_message_;
    UINT_PTR socket_;  // INVALID_SOCKET when none
    bool notifying_ = false;  // RequestNotifications succeeded on this socket
};
