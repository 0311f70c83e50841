#include "platform/win32/udp_socket_win32.h"

#include <winsock.h>

UdpSocketWin32::UdpSocketWin32(HWND notify_window, UINT notify_message)
    : notify_window_(notify_window), notify_message_(notify_message), socket_(INVALID_SOCKET) {}

UdpSocketWin32::~UdpSocketWin32() { Close(); }

bool UdpSocketWin32::Open() {
    Close();
    socket_ = socket(AF_INET, SOCK_DGRAM, 0);
    return socket_ != INVALID_SOCKET;
}

bool UdpSocketWin32::EnableBroadcast() {
    if (socket_ == INVALID_SOCKET) return false;
    int on = 1;
    return setsockopt(socket_, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on),
                      sizeof on) == 0;
}

bool UdpSocketWin32::RequestNotifications() {
    if (socket_ == INVALID_SOCKET) return false;
    return WSAAsyncSelect(socket_, notify_window_, notify_message_,
                          FD_READ | FD_WRITE | FD_CLOSE) == 0;
}

bool UdpSocketWin32::Bind(int port) {
    if (socket_ == INVALID_SOCKET) return false;
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = htons(static_cast<u_short>(port & 0xFFFF));
    return bind(socket_, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0;
}

void UdpSocketWin32::Close() {
    if (socket_ == INVALID_SOCKET) return;
    closesocket(socket_);
    socket_ = INVALID_SOCKET;
}

bool UdpSocketWin32::IsOpen() const { return socket_ != INVALID_SOCKET; }

int UdpSocketWin32::SendTo(const uint8_t* data, int length, uint32_t address, int port) {
    if (socket_ == INVALID_SOCKET || length < 0) return -1;
    sockaddr_in to = {};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = address;
    to.sin_port = htons(static_cast<u_short>(port & 0xFFFF));
    int sent = sendto(socket_, reinterpret_cast<const char*>(data), length, 0,
                      reinterpret_cast<const sockaddr*>(&to), sizeof to);
    return sent == SOCKET_ERROR ? -1 : sent;
}

int UdpSocketWin32::ReceiveFrom(uint8_t* buf, int capacity, uint32_t* from) {
    if (socket_ == INVALID_SOCKET || capacity < 0) return -1;
    sockaddr_in source = {};
    int source_size = sizeof source;
    // A datagram longer than the buffer fails with WSAEMSGSIZE and is discarded.
    int received = recvfrom(socket_, reinterpret_cast<char*>(buf), capacity, 0,
                            reinterpret_cast<sockaddr*>(&source), &source_size);
    if (received == SOCKET_ERROR) return WSAGetLastError() == WSAEWOULDBLOCK ? kNothingWaiting : -1;
    if (from != nullptr) *from = source.sin_addr.s_addr;
    return received;
}

bool UdpSocketWin32::SetReceiveBuffer(int bytes) {
    if (socket_ == INVALID_SOCKET) return false;
    return setsockopt(socket_, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&bytes), sizeof bytes) == 0;
}

bool UdpSocketWin32::SetSendBuffer(int bytes) {
    if (socket_ == INVALID_SOCKET) return false;
    return setsockopt(socket_, SOL_SOCKET, SO_SNDBUF, reinterpret_cast<const char*>(&bytes), sizeof bytes) == 0;
}
