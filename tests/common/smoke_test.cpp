#include <gtest/gtest.h>

#include <cstring>

#include "platform/font_record.h"

// The default face name must reach run time as CP932 bytes.
TEST(Charset, DefaultFaceNameIsShiftJis) {
    FontRecord f = DefaultFontRecord();
    const unsigned char expected[] = {0x82, 0x6c, 0x82, 0x72, 0x20, 0x82, 0x6f, 0x83, 0x53, 0x83, 0x56, 0x83, 0x62, 0x83, 0x4e, 0};
    EXPECT_EQ(0, std::memcmp(f.lfFaceName, expected, sizeof expected));
}
