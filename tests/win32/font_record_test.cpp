// Font records and LOGFONTW: the face name is CP932 in the record and UTF-16
// in Windows, converted with code page 932 whatever the system's code page.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <cwchar>
#include <string>

#include "platform/win32/font_record_win32.h"

namespace {

TEST(FontRecordWide, TheDefaultFontGoesThereAndBackUnchanged) {
    const FontRecord record = DefaultFontRecord();
    const LOGFONTW lf = ToLogFontW(record);
    EXPECT_EQ(std::wstring(L"ＭＳ Ｐゴシック"), lf.lfFaceName);
    EXPECT_EQ(14, lf.lfHeight);
    EXPECT_EQ(400, lf.lfWeight);
    EXPECT_EQ(SHIFTJIS_CHARSET, lf.lfCharSet);

    const FontRecord back = FromLogFontW(lf);
    EXPECT_EQ(0, std::memcmp(&record, &back, sizeof record));
}

TEST(FontRecordWide, FaceNamesAreBoundedBothWays) {
    // A character CP932 lacks becomes "?"; the record's 31 bytes then hold
    // 14 double-byte characters, the 15th being cut whole.
    LOGFONTW lf{};
    std::wcscpy(lf.lfFaceName, L"软软あいうえおかきくけこさしすせそた");
    const FontRecord record = FromLogFontW(lf);
    EXPECT_EQ(std::string("??あいうえおかきくけこさしすせ"), record.lfFaceName);

    // A record read from elsewhere may fill its face without a NUL.
    FontRecord full;
    std::memset(full.lfFaceName, 'A', sizeof full.lfFaceName);
    EXPECT_EQ(std::wstring(LF_FACESIZE - 1, L'A'), ToLogFontW(full).lfFaceName);
}

}  // namespace
