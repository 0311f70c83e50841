#include "settings/font_value.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "platform/profile_store.h"
#include "platform/cp932.h"
#include "settings/number_scan.h"
#include "settings/program_paths.h"
#include "settings/settings.h"
#include "platform/platform.h"

namespace {

constexpr size_t kFaceNameBytes = sizeof(FontRecord{}.lfFaceName) - 1;  // 31

void CopyFaceName(std::string_view name, char* face) {
    size_t n = Cp932Cut(name.data(), name.size(), kFaceNameBytes);
    std::memcpy(face, name.data(), n);
    std::memset(face + n, 0, kFaceNameBytes + 1 - n);
}

// The next colon-separated piece of text at *at; empty when none is left.
std::string_view NextPiece(std::string_view text, size_t* at) {
    while (*at < text.size() && text[*at] == ':') ++*at;
    size_t start = *at;
    while (*at < text.size() && text[*at] != ':') ++*at;
    return text.substr(start, *at - start);
}

}  // namespace

void FormatFontValue(const FontRecord& font, char* out) {
    char face[kFaceNameBytes + 1];
    CopyFaceName(std::string_view(font.lfFaceName, strnlen(font.lfFaceName, sizeof font.lfFaceName)),
                 face);
    std::snprintf(out, kFontValueSize, "%d:%d:%d:%d:%d:%u:%u:%u:%u:%u:%u:%u:%u:%s",
                  static_cast<int>(font.lfHeight), static_cast<int>(font.lfWidth),
                  static_cast<int>(font.lfEscapement), static_cast<int>(font.lfOrientation),
                  static_cast<int>(font.lfWeight), unsigned{font.lfItalic}, unsigned{font.lfUnderline},
                  unsigned{font.lfStrikeOut}, unsigned{font.lfCharSet}, unsigned{font.lfOutPrecision},
                  unsigned{font.lfClipPrecision}, unsigned{font.lfQuality},
                  unsigned{font.lfPitchAndFamily}, face);
}

int ParseFontValue(const char* text, FontRecord* font) {
    if (text == nullptr || font == nullptr) return 0;
    std::string_view value(text, strnlen(text, kFontValueSize - 1));
    int32_t* const words[] = {&font->lfHeight, &font->lfWidth, &font->lfEscapement,
                              &font->lfOrientation, &font->lfWeight};
    uint8_t* const bytes[] = {&font->lfItalic,        &font->lfUnderline,     &font->lfStrikeOut,
                              &font->lfCharSet,       &font->lfOutPrecision,  &font->lfClipPrecision,
                              &font->lfQuality,       &font->lfPitchAndFamily};
    size_t at = 0;
    for (int32_t* word : words) {
        std::string_view piece = NextPiece(value, &at);
        if (piece.empty()) return 0;
        *word = ScanNumber(piece);
    }
    for (uint8_t* byte : bytes) {
        std::string_view piece = NextPiece(value, &at);
        if (piece.empty()) return 0;
        *byte = static_cast<uint8_t>(ScanNumber(piece) & 0xFF);
    }
    std::string_view face = NextPiece(value, &at);
    if (face.empty()) return 0;
    CopyFaceName(face, font->lfFaceName);
    return 1;
}

int WriteFontKey(ProfileStore& store, const char* ini_path, const char* key, const FontRecord& font) {
    char value[kFontValueSize];
    FormatFontValue(font, value);
    return store.WriteString(kClientSection, key, value, ini_path) ? 1 : 0;
}

int WriteFontKey(const char* key, const FontRecord& font) {
    if (g_platform.profile == nullptr) return 0;
    return WriteFontKey(*g_platform.profile, g_program_paths.ini_path, key, font);
}
