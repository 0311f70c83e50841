// IPv4 addresses in network order (the four bytes as they stand, first octet
// first, held in a uint32_t the way inet_addr returns them): their octets,
// their text as inet_addr reads it and as inet_ntoa shows it, without the
// socket library, which the portable core cannot include.
#pragma once
#include <cstdint>
#include <string>

// The address 255.255.255.255, also the answer for text that is no address.
constexpr uint32_t kInetAddressNone = 0xFFFFFFFFu;

// Forms "a.b.c.d", "a.b.c" (c fills 16 bits), "a.b" (b fills 24 bits) and "a"
// (32 bits); each part decimal, octal (leading 0) or hexadecimal (0x). The
// text ends at its end or at a blank (what follows the blank is ignored).
// The result is in network byte order, first part in the lowest byte in
// memory, as inet_addr returns it.
uint32_t ParseInetAddress(const char* text);

// The address a user names: a row of the user area or a typed recipient, of
// which the first 19 characters count (what the user area's address column
// holds), read as ParseInetAddress reads them. 0 when the text is no address:
// neither 0 nor 255.255.255.255 names one user, and sending there would reach
// the host address list or the whole network.
uint32_t UserAddressOf(const std::string& text);

// "192.168.1.5" for an address in network order.
std::string FormatDottedAddress(uint32_t address);

uint8_t AddressOctet(uint32_t address, int index);  // index 0 is the first octet
uint32_t MakeAddress(uint8_t a, uint8_t b, uint8_t c, uint8_t d);
uint32_t WithFourthOctet(uint32_t address, uint8_t octet);
