#include "platform/win32/host_identity_win32.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <cstring>

#include "platform/win32/wide_text.h"

namespace {
// Characters the name functions are given room for: the longest host name
// (255) and the longest login name (UNLEN, 256), with the NUL.
constexpr int kHostNameChars = 256;
constexpr DWORD kNameChars = 257;
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

bool HostIdentityWin32::Resolve(const std::string& name, uint32_t* address) {
    ADDRINFOW hints = {};
    hints.ai_family = AF_INET;
    ADDRINFOW* result = nullptr;
    if (GetAddrInfoW(WideFromCp932(name).c_str(), nullptr, &hints, &result) != 0 || result == nullptr) return false;
    bool found = false;
    for (const ADDRINFOW* entry = result; entry != nullptr && !found; entry = entry->ai_next) {
        if (entry->ai_family != AF_INET || entry->ai_addr == nullptr || entry->ai_addrlen < sizeof(sockaddr_in)) {
            continue;
        }
        std::memcpy(address, &reinterpret_cast<const sockaddr_in*>(entry->ai_addr)->sin_addr, 4);
        found = true;
    }
    FreeAddrInfoW(result);
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
