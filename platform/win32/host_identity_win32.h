// HostIdentity on Windows Sockets and the kernel's name functions, the wide
// ones, with the names converted to CP932 (code page 932, whatever the
// system's code page). Windows Sockets must have been started (WSAStartup)
// before use.
#pragma once
#include "platform/host_identity.h"

class HostIdentityWin32 final : public HostIdentity {
public:
    std::string HostName() override;
    int LastSocketError() override;
    bool ComputerName(std::string* name) override;
    bool Resolve(const std::string& name, std::vector<uint32_t>* addresses) override;
    bool SourceAddressToward(uint32_t destination, uint32_t* local) override;
    std::string LoginName(size_t buffer_size) override;
};
