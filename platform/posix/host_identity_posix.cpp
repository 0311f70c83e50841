#include "platform/posix/host_identity_posix.h"

#include <cerrno>
#include <netdb.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

namespace {
constexpr int kHostNameBuffer = 256;
constexpr int kComputerNameBuffer = 257;
constexpr int kWsaEfault = 10014;
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

bool HostIdentityPosix::Resolve(const std::string& name, uint32_t* address) {
    addrinfo hints;
    std::memset(&hints, 0, sizeof hints);
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* result = nullptr;
    if (::getaddrinfo(name.c_str(), nullptr, &hints, &result) != 0 || result == nullptr) return false;
    *address = reinterpret_cast<const sockaddr_in*>(result->ai_addr)->sin_addr.s_addr;
    ::freeaddrinfo(result);
    return true;
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
