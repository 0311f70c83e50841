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

std::string HostIdentityWin32::LoginName() {
    // A name that needs more than 19 bytes does not fit: the name is empty then.
    char buf[20] = {};
    DWORD size = sizeof buf;
    if (!GetUserNameA(buf, &size)) return std::string();
    buf[sizeof buf - 1] = '\0';
    return buf;
}
