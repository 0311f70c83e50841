#include "platform/font_record.h"

#include <cstring>

FontRecord DefaultFontRecord() {
    FontRecord f;
    f.lfHeight = 14;
    f.lfWeight = 400;
    f.lfCharSet = 128;       // SHIFTJIS_CHARSET
    f.lfOutPrecision = 2;    // OUT_CHARACTER_PRECIS
    std::strncpy(f.lfFaceName, "ＭＳ Ｐゴシック", sizeof f.lfFaceName - 1);
    return f;
}
