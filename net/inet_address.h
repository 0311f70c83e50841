// Dotted IPv4 addresses, converted the way inet_addr and inet_ntoa do it,
// without the socket library: the portable core cannot include it.
#pragma once
#include <cstdint>
#include <string>

constexpr uint32_t kAddressNone = 0xFFFFFFFF;  // INADDR_NONE

// "a.b.c.d", "a.b.c", "a.b" or "a"; each part decimal, octal (leading 0) or
// hexadecimal (leading 0x); the last part fills the remaining bytes. The text
// ends at its end or at a blank (what follows the blank is ignored), as with
// inet_addr. Returns the address in network order, or kAddressNone when the
// text is not an address.
uint32_t ParseDottedAddress(const char* text);

// "192.168.1.5" for an address in network order.
std::string FormatDottedAddress(uint32_t address);
