// Windows Sockets 2 for WSAIoctl; its header must come before <windows.h>,
// which the class's header includes.
#include <winsock2.h>

#include "platform/win32/udp_socket_win32.h"

// The control code as Microsoft documents it, for headers that lack it.
#ifndef SIO_UDP_CONNRESET
#define SIO_UDP_CONNRESET _WSAIOW(IOC_VENDOR, 12)
#endif

namespace {

// Since Windows 2000 a datagram that meets "port unreachable" makes the
// socket's next recvfrom fail with WSAECONNRESET; every peer that has gone
// would do that to the receive path. SIO_UDP_CONNRESET set to FALSE asks
// Windows not to report it:
// https://learn.microsoft.com/en-us/windows/win32/winsock/winsock-ioctls
// https://learn.microsoft.com/en-us/windows/win32/api/winsock2/nf-winsock2-wsaioctl
// A socket that refuses the request still works; ReceiveFrom tells such a
// report from a failure.
void StopUnreachableReports(SOCKET socket) {
    BOOL report = FALSE;
    DWORD returned = 0;
    WSAIoctl(socket, SIO_UDP_CONNRESET, &report, sizeof report, nullptr, 0, &returned, nullptr, nullptr);
}

}  // namespace

UdpSocketWin32::UdpSocketWin32(HWND notify_window, UINT notify_message)
    : notify_window_(notify_window), notify_message_(notify_message), socket_(INVALID_SOCKET) {}

UdpSocketWin32::~UdpSocketWin32() { Close(); }

bool UdpSocketWin32::Open() {
    Close();
    socket_ = socket(AF_INET, SOCK_DGRAM, 0);
    if (socket_ == INVALID_SOCKET) return false;
    StopUnreachableReports(socket_);
    return true;
}

bool UdpSocketWin32::EnableBroadcast() {
    if (socket_ == INVALID_SOCKET) return false;
    int on = 1;
    return setsockopt(socket_, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on),
                      sizeof on) == 0;
}

bool UdpSocketWin32::RequestNotifications() {
    if (socket_ == INVALID_SOCKET) return false;
    notifying_ = WSAAsyncSelect(socket_, notify_window_, notify_message_, FD_READ | FD_WRITE | FD_CLOSE) == 0;
    return notifying_;
}

bool UdpSocketWin32::Bind(int port) {
    if (socket_ == INVALID_SOCKET) return false;
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = htons(static_cast<u_short>(port & 0xFFFF));
    return bind(socket_, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0;
}

// Whether Windows posts FD_WRITE after a bind on a connectionless socket is
// implementation-dependent, though such a socket can send as soon as it is
// bound:
// https://learn.microsoft.com/en-us/windows/win32/api/winsock/nf-winsock-wsaasyncselect
// The event is posted here as Windows would post it; the owner takes a
// second one, from Windows, as already seen.
void UdpSocketWin32::QueueWritableEvent() {
    if (socket_ == INVALID_SOCKET || !notifying_) return;
    PostMessageW(notify_window_, notify_message_, socket_, WSAMAKESELECTREPLY(FD_WRITE, 0));
}

void UdpSocketWin32::Close() {
    notifying_ = false;
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
    if (received == SOCKET_ERROR) {
        // On a datagram socket WSAECONNRESET means an earlier send met "port
        // unreachable", and WSAENETRESET that its time to live ran out:
        // https://learn.microsoft.com/en-us/windows/win32/api/winsock/nf-winsock-recvfrom
        switch (WSAGetLastError()) {
            case WSAEWOULDBLOCK: return kNothingWaiting;
            case WSAECONNRESET:
            case WSAENETRESET: return kPeerGone;
            default: return -1;
        }
    }
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
