// Who and where this machine is: host name and address, computer and login name.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class HostIdentity {
public:
    virtual ~HostIdentity() = default;
    // The host name (gethostname; GetHostNameW on Windows), CP932, at most
    // 255 bytes; empty on failure.
    virtual std::string HostName() = 0;
    // The last socket error code (WSAGetLastError), e.g. 10014 for WSAEFAULT.
    virtual int LastSocketError() = 0;
    // The computer name (GetComputerNameW on Windows), CP932. False on failure.
    virtual bool ComputerName(std::string* name) = 0;
    // Every IPv4 address the name resolves to, each once, in the order the
    // system gives them, network order. False when there is none.
    virtual bool Resolve(const std::string& name, std::vector<uint32_t>* addresses) = 0;
    // The local address the system would send from to reach `destination`
    // (both network order), found without sending anything. False when the
    // system cannot say (no route there, for one).
    virtual bool SourceAddressToward(uint32_t destination, uint32_t* local) = 0;
    // The login name (GetUserNameW on Windows) as CP932, as GetUserNameA
    // gives it into a buffer of `buffer_size` bytes on a Japanese Windows:
    // empty when the name and its NUL do not fit.
    virtual std::string LoginName(size_t buffer_size) = 0;
};

// The login name as the settings take it (the default of Name): at most 19
// bytes, else none.
constexpr size_t kLoginNameBuffer = 20;
