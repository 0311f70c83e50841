#include "platform/posix/host_identity_posix.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netdb.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace {
constexpr int kHostNameBuffer = 256;
constexpr int kComputerNameBuffer = 257;
constexpr int kWsaEfault = 10014;
// Any port will do for finding the way out: nothing is sent.
constexpr uint16_t kDiscardPort = 9;
}  // namespace

std::string HostIdentityPosix::HostName() {
    char name[kHostNameBuffer] = {};
    if (::gethostname(name, sizeof name - 1) != 0) {
        last_error_ = errno == EFAULT ? kWsaEfault : errno;
        return {};
    }
    return std::string(name, strnlen(name, sizeof name));
}

bool HostIdentityPosix::ComputerName(std::string* name) {
    char buf[kComputerNameBuffer] = {};
    if (::gethostname(buf, sizeof buf - 1) != 0 || buf[0] == 0) return false;
    *name = buf;
    return true;
}

bool HostIdentityPosix::Resolve(const std::string& name, std::vector<uint32_t>* addresses) {
    addresses->clear();
    addrinfo hints;
    std::memset(&hints, 0, sizeof hints);
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* result = nullptr;
    if (::getaddrinfo(name.c_str(), nullptr, &hints, &result) != 0 || result == nullptr) return false;
    for (const addrinfo* entry = result; entry != nullptr; entry = entry->ai_next) {
        if (entry->ai_family != AF_INET || entry->ai_addr == nullptr || entry->ai_addrlen < sizeof(sockaddr_in)) continue;
        uint32_t address = reinterpret_cast<const sockaddr_in*>(entry->ai_addr)->sin_addr.s_addr;
        if (std::find(addresses->begin(), addresses->end(), address) == addresses->end()) addresses->push_back(address);
    }
    ::freeaddrinfo(result);
    return !addresses->empty();
}

// A datagram socket connected to the destination has the local address of
// the way there; connecting a datagram socket sends nothing. A host list may
// name a directed broadcast, which a socket may be connected to only with
// SO_BROADCAST.
bool HostIdentityPosix::SourceAddressToward(uint32_t destination, uint32_t* local) {
    int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0) return false;
    int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    sockaddr_in to;
    std::memset(&to, 0, sizeof to);
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = destination;
    to.sin_port = htons(kDiscardPort);
    sockaddr_in from;
    std::memset(&from, 0, sizeof from);
    socklen_t from_size = sizeof from;
    bool found = ::connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0 &&
                 ::getsockname(fd, reinterpret_cast<sockaddr*>(&from), &from_size) == 0 &&
                 from.sin_addr.s_addr != 0;
    ::close(fd);
    if (found) *local = from.sin_addr.s_addr;
    return found;
}

std::string HostIdentityPosix::LoginName(size_t buffer_size) {
    std::string name;
    if (const passwd* pw = ::getpwuid(::geteuid()); pw != nullptr && pw->pw_name != nullptr) {
        name = pw->pw_name;
    } else if (const char* login = ::getlogin(); login != nullptr) {
        name = login;
    }
    // The name and its NUL must fit the buffer; otherwise there is none.
    return name.size() < buffer_size ? name : std::string();
}
