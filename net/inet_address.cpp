#include "net/inet_address.h"

#include <cstdio>

#include "net/datagram.h"

std::string FormatDottedAddress(uint32_t address) {
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", AddressOctet(address, 0),
                  AddressOctet(address, 1), AddressOctet(address, 2), AddressOctet(address, 3));
    return text;
}
