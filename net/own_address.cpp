#include "net/own_address.h"

#include <algorithm>

#include "platform/host_identity.h"
#include "platform/inet_address.h"

namespace {

// Outside every local network (192.0.2.0/24 is kept for documentation): the
// way there is the default route.
uint32_t OutsideAddress() { return MakeAddress(192, 0, 2, 1); }

}  // namespace

uint32_t ChooseOwnAddress(const std::vector<uint32_t>& resolved, uint32_t peer, HostIdentity* host) {
    if (resolved.size() == 1) return resolved.front();
    uint32_t local = 0;
    if (host->SourceAddressToward(peer != 0 ? peer : OutsideAddress(), &local) &&
        std::find(resolved.begin(), resolved.end(), local) != resolved.end())
        return local;
    return resolved.front();
}
