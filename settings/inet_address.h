// IPv4 address text to a network-order address, accepting what Windows
// Sockets' inet_addr accepts.
#pragma once
#include <cstdint>

// The address 255.255.255.255, also the answer for text that is no address.
constexpr uint32_t kInetAddressNone = 0xFFFFFFFFu;

// Forms "a.b.c.d", "a.b.c" (c fills 16 bits), "a.b" (b fills 24 bits) and "a"
// (32 bits); each part decimal, octal (leading 0) or hexadecimal (0x). The
// text ends at its end or at a blank (what follows the blank is ignored).
// The result is in network byte order, first part in the lowest byte in
// memory, as inet_addr returns it.
uint32_t ParseInetAddress(const char* text);
