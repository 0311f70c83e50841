// HostIdentity on Windows Sockets 1.1 and the kernel's name functions.
// Windows Sockets must have been started (WSAStartup) before use.
#pragma once
#include "platform/host_identity.h"

class HostIdentityWin32 final : public HostIdentity {
public:
    std::string HostName() override;
    int LastSocketError() override;
    bool ComputerName(std::string* name) override;
    bool Resolve(const std::string& name, uint32_t* address) override;
    std::string LoginName(size_t buffer_size) override;
};
