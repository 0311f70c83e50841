// Dotted IPv4 addresses shown the way inet_ntoa shows them, without the
// socket library: the portable core cannot include it. Text is turned into an
// address by ParseInetAddress (settings/inet_address.h).
#pragma once
#include <cstdint>
#include <string>

// "192.168.1.5" for an address in network order.
std::string FormatDottedAddress(uint32_t address);
