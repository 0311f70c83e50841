// Which of this host's addresses the peers know it by, when its name
// resolves to several: an office PC may have a VPN, a virtual switch or a
// second adapter beside the one its peers are on, and the system lists
// their addresses in no particular order.
#pragma once
#include <cstdint>
#include <vector>

class HostIdentity;

// Of the addresses the host name resolves to (at least one): the only one;
// else the one the system would send from toward `peer` (the first host-list
// address sent to), or toward the default route when `peer` is 0; else, when
// the system cannot say or names none of them, the first one.
uint32_t ChooseOwnAddress(const std::vector<uint32_t>& resolved, uint32_t peer, HostIdentity* host);
