#include "net/inet_address.h"

#include <cstdio>

#include "net/datagram.h"

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

int DigitValue(char c, int base) {
    int v = -1;
    if (c >= '0' && c <= '9') v = c - '0';
    else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
    return v < base ? v : -1;
}

// One part of the address at *p; false when there is no number or it
// exceeds 32 bits.
bool ParsePart(const char*& p, uint32_t* value) {
    int base = 10;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        base = 16;
        p += 2;
        if (DigitValue(*p, 16) < 0) return false;
    } else if (p[0] == '0') {
        base = 8;
    }
    if (DigitValue(*p, base) < 0) return false;
    uint64_t v = 0;
    for (int d; (d = DigitValue(*p, base)) >= 0; ++p) {
        v = v * base + d;
        if (v > 0xFFFFFFFFu) return false;
    }
    *value = static_cast<uint32_t>(v);
    return true;
}

}  // namespace

uint32_t ParseDottedAddress(const char* text) {
    if (text == nullptr) return kAddressNone;
    uint32_t parts[4] = {};
    int count = 0;
    const char* p = text;
    for (;;) {
        if (count == 4 || !ParsePart(p, &parts[count])) return kAddressNone;
        ++count;
        if (*p != '.') break;
        ++p;
    }
    if (*p != 0 && !IsSpace(*p)) return kAddressNone;

    // The leading parts are one byte each; the last fills what remains.
    uint32_t host = 0;
    for (int i = 0; i < count - 1; ++i) {
        if (parts[i] > 0xFF) return kAddressNone;
        host |= parts[i] << (24 - 8 * i);
    }
    uint32_t last = parts[count - 1];
    uint32_t last_max = count == 1 ? 0xFFFFFFFFu : (0xFFFFFFFFu >> (8 * (count - 1)));
    if (last > last_max) return kAddressNone;
    host |= last;
    return MakeAddress(static_cast<uint8_t>(host >> 24), static_cast<uint8_t>(host >> 16),
                       static_cast<uint8_t>(host >> 8), static_cast<uint8_t>(host));
}

std::string FormatDottedAddress(uint32_t address) {
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", AddressOctet(address, 0),
                  AddressOctet(address, 1), AddressOctet(address, 2), AddressOctet(address, 3));
    return text;
}
