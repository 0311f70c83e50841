// The stored form of a font, and its way through the settings file.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/posix/profile_store_posix.h"
#include "settings/font_value.h"
#include "settings/load_settings.h"
#include "settings/settings.h"
#include "settings/window_modes.h"
#include "tests/settings/temp_ini.h"

namespace {

bool SameFont(const FontRecord& a, const FontRecord& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

std::string Format(const FontRecord& f) {
    char value[kFontValueSize];
    FormatFontValue(f, value);
    return value;
}

FontRecord Unusual() {
    FontRecord f;
    f.lfHeight = -19;
    f.lfWidth = 7;
    f.lfEscapement = 900;
    f.lfOrientation = -900;
    f.lfWeight = 700;
    f.lfItalic = 255;
    f.lfUnderline = 1;
    f.lfStrikeOut = 129;
    f.lfCharSet = 128;
    f.lfOutPrecision = 3;
    f.lfClipPrecision = 200;
    f.lfQuality = 5;
    f.lfPitchAndFamily = 0x31;
    std::strcpy(f.lfFaceName, "ＭＳ 明朝");
    return f;
}

TEST(FontValue, DefaultFontFormat) {
    EXPECT_EQ(Format(DefaultFontRecord()), "14:0:0:0:400:0:0:0:128:2:0:0:0:ＭＳ Ｐゴシック");
}

TEST(FontValue, FormatThenParseGivesTheSameRecord) {
    for (const FontRecord& f : {Unusual(), DefaultFontRecord()}) {
        FontRecord back;  // leftovers that parsing must replace, face bytes included
        back.lfHeight = 1234;
        back.lfQuality = 9;
        std::strcpy(back.lfFaceName, "junkjunkjunkjunkjunkjunkjunkjun");
        ASSERT_EQ(ParseFontValue(Format(f).c_str(), &back), 1);
        EXPECT_TRUE(SameFont(back, f)) << Format(back);
    }
    EXPECT_EQ(Format(Unusual()), "-19:7:900:-900:700:255:1:129:128:3:200:5:49:ＭＳ 明朝");
}

TEST(FontValue, SplitLikeStrtok) {
    FontRecord f;
    ASSERT_EQ(ParseFontValue("::14:0::0:0:400:0:0:0:128:2:0:0:0::ＭＳ Ｐゴシック:extra", &f), 1);
    EXPECT_TRUE(SameFont(f, DefaultFontRecord()));
    // The face name is the fourteenth piece; without it the value is unreadable.
    EXPECT_EQ(ParseFontValue("14:0:0:0:400:0:0:0:128:2:0:0:0:", &f), 0);
    EXPECT_EQ(ParseFontValue("14:0:0:0:400:0:0:0:128:2:0:0:0", &f), 0);
    EXPECT_EQ(ParseFontValue("14:0:0:0:400:0:0:0:128:2:0:0::::", &f), 0);
    EXPECT_EQ(ParseFontValue("", &f), 0);
}

TEST(FontValue, FieldsHeldToTheirSizes) {
    FontRecord f;
    ASSERT_EQ(ParseFontValue("x:0:0:0:400:300:-1:0:128:2:0:0:0:"
                             "abcdefghijklmnopqrstuvwxyz0123456789", &f), 1);
    EXPECT_EQ(f.lfHeight, 0);        // not a number
    EXPECT_EQ(f.lfItalic, 44);       // low 8 bits of 300
    EXPECT_EQ(f.lfUnderline, 255);   // low 8 bits of -1
    EXPECT_STREQ(f.lfFaceName, "abcdefghijklmnopqrstuvwxyz01234");
    // Sixteen double-byte characters are 32 bytes: fifteen fit in 31.
    ASSERT_EQ(ParseFontValue("1:0:0:0:0:0:0:0:0:0:0:0:0:あいうえおかきくけこさしすせそた", &f), 1);
    EXPECT_STREQ(f.lfFaceName, "あいうえおかきくけこさしすせそ");
}

TEST(FontValue, WrittenKeyLoadsBack) {
    TempIni file;
    PosixProfileStore store;
    ASSERT_EQ(WriteFontKey(store, file.path(), "UsArea_Font", Unusual()), 1);
    EXPECT_EQ(file.Slurp(),
              "[Client_Definition]\r\nUsArea_Font=-19:7:900:-900:700:255:1:129:128:3:200:5:49:ＭＳ 明朝\r\n");
    Settings s;
    WindowModes flags;
    LoadSettingsFrom(store, file.path(), "", &s, &flags, nullptr);
    EXPECT_TRUE(SameFont(s.pane_font[PANE_USER], Unusual()));
    EXPECT_TRUE(SameFont(s.pane_font[PANE_OUTPUT], DefaultFontRecord()));

    std::string missing_dir = file.dir() + "/missing/Mosswick.ini";
    EXPECT_EQ(WriteFontKey(store, missing_dir.c_str(), "UsArea_Font", Unusual()), 0);
}

}  // namespace
