#include "platform/posix/udp_socket_posix.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

namespace {
sockaddr_in MakeSockaddr(uint32_t address, int port) {
    sockaddr_in sa;
    std::memset(&sa, 0, sizeof sa);
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = address;
    sa.sin_port = htons(static_cast<uint16_t>(port));
    return sa;
}
}  // namespace

UdpSocketPosix::~UdpSocketPosix() { Close(); }

bool UdpSocketPosix::Open() {
    Close();
    fd_ = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (fd_ < 0) return false;
    int flags = ::fcntl(fd_, F_GETFL, 0);
    if (flags < 0 || ::fcntl(fd_, F_SETFL, flags | O_NONBLOCK) < 0) {
        Close();
        return false;
    }
    return true;
}

bool UdpSocketPosix::EnableBroadcast() {
    int on = 1;
    return fd_ >= 0 && ::setsockopt(fd_, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) == 0;
}

bool UdpSocketPosix::RequestNotifications() { return fd_ >= 0; }

bool UdpSocketPosix::Bind(int port) {
    if (fd_ < 0) return false;
    sockaddr_in sa = MakeSockaddr(bind_address_, port);
    return ::bind(fd_, reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0;
}

void UdpSocketPosix::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

int UdpSocketPosix::SendTo(const uint8_t* data, int length, uint32_t address, int port) {
    if (fd_ < 0 || length < 0) return -1;
    sockaddr_in sa = MakeSockaddr(address, port);
    ssize_t n;
    do {
        n = ::sendto(fd_, data, static_cast<size_t>(length), 0, reinterpret_cast<sockaddr*>(&sa),
                     sizeof sa);
    } while (n < 0 && errno == EINTR);
    return n < 0 ? -1 : static_cast<int>(n);
}

int UdpSocketPosix::ReceiveFrom(uint8_t* buf, int capacity, uint32_t* from) {
    if (fd_ < 0 || capacity < 0) return -1;
    sockaddr_in sa;
    socklen_t sa_len = sizeof sa;
    std::memset(&sa, 0, sizeof sa);
    ssize_t n;
    do {
        // MSG_TRUNC makes the call return the datagram's real length, so that a
        // datagram longer than the buffer is recognised and refused.
        n = ::recvfrom(fd_, buf, static_cast<size_t>(capacity), MSG_TRUNC,
                       reinterpret_cast<sockaddr*>(&sa), &sa_len);
    } while (n < 0 && errno == EINTR);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return kNothingWaiting;
    // Only a socket that asked for them (IP_RECVERR) hears of unreachable
    // ports on an unconnected socket; taken as Windows reports them.
    if (n < 0 && errno == ECONNREFUSED) return kPeerGone;
    if (n < 0 || n > capacity) return -1;
    if (from != nullptr) *from = sa.sin_addr.s_addr;
    return static_cast<int>(n);
}

bool UdpSocketPosix::SetReceiveBuffer(int bytes) {
    if (fd_ < 0) return false;
    return ::setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes) == 0;
}

int UdpSocketPosix::LocalPort() const {
    if (fd_ < 0) return 0;
    sockaddr_in sa;
    socklen_t sa_len = sizeof sa;
    if (::getsockname(fd_, reinterpret_cast<sockaddr*>(&sa), &sa_len) != 0) return 0;
    return ntohs(sa.sin_port);
}

bool UdpSocketPosix::SetSendBuffer(int bytes) {
    if (fd_ < 0) return false;
    return ::setsockopt(fd_, SOL_SOCKET, SO_SNDBUF, &bytes, sizeof bytes) == 0;
}
