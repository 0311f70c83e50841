// Who and where this machine is: host name and address, computer and login name.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

class HostIdentity {
public:
    virtual ~HostIdentity() = default;
    // gethostname into a zero-filled 256-byte buffer; empty on failure.
    virtual std::string HostName() = 0;
    // The last socket error code (WSAGetLastError), e.g. 10014 for WSAEFAULT.
    virtual int LastSocketError() = 0;
    // GetComputerNameA with a 257-byte buffer. False on failure.
    virtual bool ComputerName(std::string* name) = 0;
    // gethostbyname: the first address of the result, network order.
    virtual bool Resolve(const std::string& name, uint32_t* address) = 0;
    // GetUserNameA into a buffer of `buffer_size` bytes: empty when the name
    // and its NUL do not fit.
    virtual std::string LoginName(size_t buffer_size) = 0;
};

// The login name as the settings take it (the default of Name): at most 19
// bytes, else none.
constexpr size_t kLoginNameBuffer = 20;
