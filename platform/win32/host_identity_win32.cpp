#include "platform/win32/host_identity_win32.h"

#include <windows.h>
#include <winsock.h>

#include <cstring>

std::string HostIdentityWin32::HostName() {
    char name[256] = {};
    if (gethostname(name, sizeof name) != 0) return std::string();
    name[sizeof name - 1] = '\0';
    return name;
}

int HostIdentityWin32::LastSocketError() { return WSAGetLastError(); }

bool HostIdentityWin32::ComputerName(std::string* name) {
    char buf[257] = {};
    DWORD size = sizeof buf;
    if (!GetComputerNameA(buf, &size)) return false;
    buf[sizeof buf - 1] = '\0';
    *name = buf;
    return true;
}

bool HostIdentityWin32::Resolve(const std::string& name, uint32_t* address) {
    const hostent* host = gethostbyname(name.c_str());
    if (host == nullptr || host->h_addrtype != AF_INET || host->h_length != 4 ||
        host->h_addr_list == nullptr || host->h_addr_list[0] == nullptr) {
        return false;
    }
    std::memcpy(address, host->h_addr_list[0], 4);
    return true;
}

std::string HostIdentityWin32::LoginName(size_t buffer_size) {
    // A name that does not fit the buffer with its NUL gives none.
    std::string buf(buffer_size, '\0');
    DWORD size = static_cast<DWORD>(buffer_size);
    if (buffer_size == 0 || !GetUserNameA(buf.data(), &size)) return std::string();
    return std::string(buf.c_str());
}
