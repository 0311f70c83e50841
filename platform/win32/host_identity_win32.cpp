#include "platform/win32/host_identity_win32.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "platform/win32/wide_text.h"

namespace {
// Characters the name functions are given room for: the longest host name
// (255) and the longest login name (UNLEN, 256), with the NUL.
constexpr int kHostNameChars = 256;
constexpr DWORD kNameChars = 257;
// Any port will do for finding the way out: nothing is sent.
constexpr u_short kDiscardPort = 9;
}  // namespace

// The names come from the wide functions and are converted with code page
// 932, so that they read the same on any Windows.
std::string HostIdentityWin32::HostName() {
    wchar_t name[kHostNameChars] = {};
    if (GetHostNameW(name, kHostNameChars) != 0) return std::string();
    name[kHostNameChars - 1] = L'\0';
    return Cp932FromWide(name, kHostNameChars - 1);
}

int HostIdentityWin32::LastSocketError() { return WSAGetLastError(); }

bool HostIdentityWin32::ComputerName(std::string* name) {
    wchar_t buf[kNameChars] = {};
    DWORD size = kNameChars;
    if (!GetComputerNameW(buf, &size)) return false;
    buf[kNameChars - 1] = L'\0';
    *name = Cp932FromWide(buf, kNameChars - 1);
    return true;
}

bool HostIdentityWin32::Resolve(const std::string& name, std::vector<uint32_t>* addresses) {
    addresses->clear();
    ADDRINFOW hints = {};
    hints.ai_family = AF_INET;
    ADDRINFOW* result = nullptr;
    if (GetAddrInfoW(WideFromCp932(name).c_str(), nullptr, &hints, &result) != 0 || result == nullptr) return false;
    for (const ADDRINFOW* entry = result; entry != nullptr; entry = entry->ai_next) {
        if (entry->ai_family != AF_INET || entry->ai_addr == nullptr || entry->ai_addrlen < sizeof(sockaddr_in)) {
            continue;
        }
        uint32_t address = 0;
        std::memcpy(&address, &reinterpret_cast<const sockaddr_in*>(entry->ai_addr)->sin_addr, 4);
        if (std::find(addresses->begin(), addresses->end(), address) == addresses->end()) addresses->push_back(address);
    }
    FreeAddrInfoW(result);
    return !addresses->empty();
}

// connect on a datagram socket only sets its default destination, sending
// nothing, and binds the socket to the local address of the way there;
// getsockname gives that address only once the socket is connected. A host
// list may name a directed broadcast, and connecting to a broadcast address
// fails with WSAEACCES unless SO_BROADCAST is on:
// https://learn.microsoft.com/en-us/windows/win32/api/winsock2/nf-winsock2-connect
// https://learn.microsoft.com/en-us/windows/win32/api/winsock/nf-winsock-getsockname
bool HostIdentityWin32::SourceAddressToward(uint32_t destination, uint32_t* local) {
    SOCKET probe = socket(AF_INET, SOCK_DGRAM, 0);
    if (probe == INVALID_SOCKET) return false;
    BOOL on = TRUE;
    setsockopt(probe, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on), sizeof on);
    sockaddr_in to = {};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = destination;
    to.sin_port = htons(kDiscardPort);
    sockaddr_in from = {};
    int from_size = sizeof from;
    bool found = connect(probe, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0 &&
                 getsockname(probe, reinterpret_cast<sockaddr*>(&from), &from_size) == 0 &&
                 from.sin_addr.s_addr != 0;
    closesocket(probe);
    if (found) *local = from.sin_addr.s_addr;
    return found;
}

std::string HostIdentityWin32::LoginName(size_t buffer_size) {
    wchar_t buf[kNameChars] = {};
    DWORD size = kNameChars;
    if (buffer_size == 0 || !GetUserNameW(buf, &size)) return std::string();
    buf[kNameChars - 1] = L'\0';
    // A name whose CP932 form and its NUL do not fit the buffer gives none.
    std::string name = Cp932FromWide(buf);
    return name.size() < buffer_size ? name : std::string();
}
