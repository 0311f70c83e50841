#include "platform/inet_address.h"

#include <cstdio>
#include <cstring>

namespace {

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

// One part at *p; advances *p past it. False when the part is malformed or
// does not fit 32 bits.
bool ReadPart(const char** p, uint64_t* value) {
    const char* s = *p;
    if (*s < '0' || *s > '9') return false;
    int base = 10;
    if (*s == '0') {
        base = 8;
        if (s[1] == 'x' || s[1] == 'X') {
            base = 16;
            s += 2;
            if (DigitValue(*s) >= 16) return false;
        }
    }
    uint64_t v = 0;
    for (;;) {
        int d = DigitValue(*s);
        if (d >= base) {
            // An 8 or 9 in an octal part spoils it; any other character ends it.
            if (base == 8 && d < 10) return false;
            break;
        }
        v = v * base + d;
        if (v > 0xFFFFFFFFu) return false;
        ++s;
    }
    *p = s;
    *value = v;
    return true;
}

}  // namespace

uint32_t ParseInetAddress(const char* text) {
    if (text == nullptr) return kInetAddressNone;
    uint64_t parts[4] = {};
    int count = 0;
    const char* p = text;
    for (;;) {
        if (!ReadPart(&p, &parts[count])) return kInetAddressNone;
        ++count;
        if (*p != '.') break;
        if (count == 4) return kInetAddressNone;
        ++p;
    }
    if (*p != '\0' && !IsBlank(*p)) return kInetAddressNone;

    uint64_t host = 0;  // the address with its first part in the top byte
    switch (count) {
        case 1:
            host = parts[0];
            break;
        case 2:
            if (parts[0] > 0xFF || parts[1] > 0xFFFFFF) return kInetAddressNone;
            host = parts[0] << 24 | parts[1];
            break;
        case 3:
            if (parts[0] > 0xFF || parts[1] > 0xFF || parts[2] > 0xFFFF) return kInetAddressNone;
            host = parts[0] << 24 | parts[1] << 16 | parts[2];
            break;
        default:
            for (uint64_t part : parts) {
                if (part > 0xFF) return kInetAddressNone;
            }
            host = parts[0] << 24 | parts[1] << 16 | parts[2] << 8 | parts[3];
            break;
    }
    const unsigned char bytes[4] = {static_cast<unsigned char>(host >> 24),
                                    static_cast<unsigned char>(host >> 16),
                                    static_cast<unsigned char>(host >> 8),
                                    static_cast<unsigned char>(host)};
    uint32_t network = 0;
    std::memcpy(&network, bytes, sizeof network);
    return network;
}

std::string FormatDottedAddress(uint32_t address) {
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", AddressOctet(address, 0),
                  AddressOctet(address, 1), AddressOctet(address, 2), AddressOctet(address, 3));
    return text;
}

uint8_t AddressOctet(uint32_t address, int index) {
    uint8_t octets[4];
    std::memcpy(octets, &address, 4);
    return octets[index & 3];
}

uint32_t MakeAddress(uint8_t a, uint8_t b, uint8_t c, uint8_t d) {
    const uint8_t octets[4] = {a, b, c, d};
    uint32_t address;
    std::memcpy(&address, octets, 4);
    return address;
}

uint32_t WithFourthOctet(uint32_t address, uint8_t octet) {
    uint8_t octets[4];
    std::memcpy(octets, &address, 4);
    octets[3] = octet;
    std::memcpy(&address, octets, 4);
    return address;
}

uint32_t UserAddressOf(const std::string& text) {
    constexpr size_t kUserAddressChars = 19;
    uint32_t address = ParseInetAddress(text.substr(0, kUserAddressChars).c_str());
    return address == kInetAddressNone ? 0 : address;
}
