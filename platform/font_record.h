// A logical-font record, laid out field for field like Windows' LOGFONTA so
// the Windows side can copy it straight into one.
#pragma once
#include <cstdint>

struct FontRecord {
    int32_t lfHeight = 0;
    int32_t lfWidth = 0;
    int32_t lfEscapement = 0;
    int32_t lfOrientation = 0;
    int32_t lfWeight = 0;
    uint8_t lfItalic = 0;
    uint8_t lfUnderline = 0;
    uint8_t lfStrikeOut = 0;
    uint8_t lfCharSet = 0;
    uint8_t lfOutPrecision = 0;
    uint8_t lfClipPrecision = 0;
    uint8_t lfQuality = 0;
    uint8_t lfPitchAndFamily = 0;
    char lfFaceName[32] = {};
};

// Height 14, weight 400, Shift-JIS, character precision, "ＭＳ Ｐゴシック".
FontRecord DefaultFontRecord();
