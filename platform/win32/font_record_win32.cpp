#include "platform/win32/font_record_win32.h"

#include <cstring>
#include <cwchar>
#include <string>

#include "platform/win32/wide_text.h"

namespace {

// Every field but the face name, which each direction converts on its own.
template <class To, class From>
void CopyMetrics(To& to, const From& from) {
    to.lfHeight = from.lfHeight;
    to.lfWidth = from.lfWidth;
    to.lfEscapement = from.lfEscapement;
    to.lfOrientation = from.lfOrientation;
    to.lfWeight = from.lfWeight;
    to.lfItalic = from.lfItalic;
    to.lfUnderline = from.lfUnderline;
    to.lfStrikeOut = from.lfStrikeOut;
    to.lfCharSet = from.lfCharSet;
    to.lfOutPrecision = from.lfOutPrecision;
    to.lfClipPrecision = from.lfClipPrecision;
    to.lfQuality = from.lfQuality;
    to.lfPitchAndFamily = from.lfPitchAndFamily;
}

// The record's face name up to its NUL, never past its array (a record read
// from elsewhere may lack the NUL).
std::string_view FaceOf(const FontRecord& font) {
    return std::string_view(font.lfFaceName, strnlen(font.lfFaceName, sizeof font.lfFaceName));
}

}  // namespace

LOGFONTW ToLogFontW(const FontRecord& font) {
    LOGFONTW lf{};
    CopyMetrics(lf, font);
    const std::wstring face = WideFromCp932(FaceOf(font));
    const size_t length = face.size() < LF_FACESIZE ? face.size() : LF_FACESIZE - 1;
    std::wmemcpy(lf.lfFaceName, face.data(), length);
    lf.lfFaceName[length] = L'\0';
    return lf;
}

FontRecord FromLogFontW(const LOGFONTW& lf) {
    FontRecord font;
    CopyMetrics(font, lf);
    const std::wstring_view face(lf.lfFaceName, wcsnlen(lf.lfFaceName, LF_FACESIZE));
    const std::string cp932 = Cp932FromWide(face, sizeof font.lfFaceName - 1);
    std::memcpy(font.lfFaceName, cp932.data(), cp932.size());
    font.lfFaceName[cp932.size()] = '\0';
    return font;
}
