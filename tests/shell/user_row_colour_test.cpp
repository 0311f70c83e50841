#include <gtest/gtest.h>

#include "shell/user_row_colour.h"

namespace {

PeerEntry At(uint32_t addr, uint32_t colour) {
    PeerEntry e{};
    e.addr = addr;
    SetEntryColour(&e, colour);
    return e;
}

TEST(UserRowColour, LastEntryWithTheAddressGivesTheColour) {
    const uint32_t red = 0x000000FF, blue = 0x00FF0000;
    PeerTable t;
    const uint32_t a = 0x0A0012C6;  // 198.18.0.10 in network order
    t.entries[0] = At(0x0B0012C6, blue);
    t.entries[1] = At(a, red);
    t.count = 2;
    EXPECT_EQ(red, UserRowColour("198.18.0.10", t));
    t.entries[2] = At(a, blue);  // a second entry for the same address wins
    t.count = 3;
    EXPECT_EQ(blue, UserRowColour("198.18.0.10", t));
    // An address no entry has is drawn black; entries past the count are not looked at.
    t.entries[3] = At(0x0C0012C6, red);
    EXPECT_EQ(0u, UserRowColour("198.18.0.12", t));
}

TEST(UserRowColour, RowsWithoutAnAddressKeepTheDefault) {
    PeerTable t;
    EXPECT_FALSE(UserRowColour("", t));
    EXPECT_FALSE(UserRowColour(nullptr, t));
    EXPECT_FALSE(UserRowColour("名前", t));
}

}  // namespace
