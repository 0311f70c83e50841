// Host address texts, converted as inet_addr converts them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/inet_address.h"

namespace {

std::string Dotted(uint32_t address) {
    unsigned char b[4];
    std::memcpy(b, &address, 4);
    return std::to_string(b[0]) + "." + std::to_string(b[1]) + "." + std::to_string(b[2]) + "." +
           std::to_string(b[3]);
}

TEST(HostAddressText, AcceptedForms) {
    const char* const cases[][2] = {
        {"10.0.0.5", "10.0.0.5"},      {"198.18.0.255", "198.18.0.255"},
        {"1.2.3", "1.2.0.3"},          {"1.65536", "1.1.0.0"},
        {"16909060", "1.2.3.4"},       {"0x7f.1", "127.0.0.1"},
        {"010.0.0.1", "8.0.0.1"},      {"1.2.3.0377", "1.2.3.255"},
        {"1.2.3.4 junk", "1.2.3.4"},   {"1.2.3.4\t", "1.2.3.4"},
    };
    for (const auto& c : cases) EXPECT_EQ(Dotted(ParseInetAddress(c[0])), c[1]) << c[0];
}

TEST(HostAddressText, NonAddressesGiveAllOnes) {
    for (const char* text : {"", "abc", "host.example", " 1.2.3.4", "1.2.3.4x", "1.2.3.4.",
                             "1.2.3.4.5", "256.1.1.1", "1.256.1", "1.2.65536", "4294967296",
                             "1..2.3", "08.1.1.1", "0x", "0x100.1.1.1", "-1.2.3.4", "+1.2.3.4",
                             "@10.0.0.5"}) {
        EXPECT_EQ(ParseInetAddress(text), kInetAddressNone) << text;
    }
    EXPECT_EQ(ParseInetAddress(nullptr), kInetAddressNone);
}

}  // namespace
