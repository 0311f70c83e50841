// Host identity from the POSIX name services: the host name doubles as the
// computer name; the login name comes from the password database.
#pragma once
#include "platform/host_identity.h"

class HostIdentityPosix : public HostIdentity {
public:
    std::string HostName() override;
    int LastSocketError() override { return last_error_; }
    bool ComputerName(std::string* name) override;
    bool Resolve(const std::string& name, std::vector<uint32_t>* addresses) override;
    bool SourceAddressToward(uint32_t destination, uint32_t* local) override;
    std::string LoginName(size_t buffer_size) override;

private:
    int last_error_ = 0;
};
