#include "platform/win32/font_record_wide.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <string>
#include <string_view>

#include "platform/win32/wide_text.h"

LOGFONTW ToLogFontW(const FontRecord& font) {
    LOGFONTW lf{};
    lf.lfHeight = font.lfHeight;
    lf.lfWidth = font.lfWidth;
    lf.lfEscapement = font.lfEscapement;
    lf.lfOrientation = font.lfOrientation;
    lf.lfWeight = font.lfWeight;
    lf.lfItalic = font.lfItalic;
    lf.lfUnderline = font.lfUnderline;
    lf.lfStrikeOut = font.lfStrikeOut;
    lf.lfCharSet = font.lfCharSet;
    lf.lfOutPrecision = font.lfOutPrecision;
    lf.lfClipPrecision = font.lfClipPrecision;
    lf.lfQuality = font.lfQuality;
    lf.lfPitchAndFamily = font.lfPitchAndFamily;
    // The record's name may fill its field without a NUL.
    const std::wstring face =
        WideFromCp932(std::string_view(font.lfFaceName, strnlen(font.lfFaceName, sizeof font.lfFaceName)));
    const size_t chars = std::min(face.size(), static_cast<size_t>(LF_FACESIZE - 1));
    std::wmemcpy(lf.lfFaceName, face.data(), chars);
    lf.lfFaceName[chars] = L'\0';
    return lf;
}

FontRecord FromLogFontW(const LOGFONTW& lf) {
    FontRecord font;
    font.lfHeight = lf.lfHeight;
    font.lfWidth = lf.lfWidth;
    font.lfEscapement = lf.lfEscapement;
    font.lfOrientation = lf.lfOrientation;
    font.lfWeight = lf.lfWeight;
    font.lfItalic = lf.lfItalic;
    font.lfUnderline = lf.lfUnderline;
    font.lfStrikeOut = lf.lfStrikeOut;
    font.lfCharSet = lf.lfCharSet;
    font.lfOutPrecision = lf.lfOutPrecision;
    font.lfClipPrecision = lf.lfClipPrecision;
    font.lfQuality = lf.lfQuality;
    font.lfPitchAndFamily = lf.lfPitchAndFamily;
    const std::string face =
        Cp932FromWide(std::wstring_view(lf.lfFaceName, wcsnlen(lf.lfFaceName, LF_FACESIZE)),
                      sizeof font.lfFaceName - 1);
    std::memcpy(font.lfFaceName, face.data(), face.size());
    font.lfFaceName[face.size()] = '\0';
    return font;
}
