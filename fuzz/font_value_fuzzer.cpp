// Feeds arbitrary text to the font value reader, as the loader hands it a
// value read from the settings file: at most 149 bytes and a NUL, in a block
// of exactly that size, so that a read past the text is caught.
//
// What parsed must survive a round trip: formatted and parsed again it gives
// the same record, byte for byte. The input is also taken as a raw font
// record (the first 60 bytes), which must format into a value that fits its
// buffer and parses back to the record with its face name as the writer cuts
// it.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/cp932.h"
#include "settings/font_value.h"

namespace {

bool SameFont(const FontRecord& a, const FontRecord& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// A record as parsing leaves it: the face name ends within its field, with
// zeros after it, and holds no colon (the colon ends a piece).
void CheckParsed(const FontRecord& font) {
    const char* face = font.lfFaceName;
    const size_t n = strnlen(face, sizeof font.lfFaceName);
    if (n == 0 || n >= sizeof font.lfFaceName) std::abort();
    for (size_t i = n; i < sizeof font.lfFaceName; ++i)
        if (face[i] != 0) std::abort();
    if (std::memchr(face, ':', n) != nullptr) std::abort();
}

// Formats the record and parses it back; the value must end within its
// buffer and give `expected`.
void CheckRoundTrip(const FontRecord& font, const FontRecord& expected) {
    auto value = std::make_unique<char[]>(kFontValueSize);
    FormatFontValue(font, value.get());
    if (std::memchr(value.get(), 0, kFontValueSize) == nullptr) std::abort();
    FontRecord back;
    std::memset(back.lfFaceName, 'x', sizeof back.lfFaceName);  // leftovers to be replaced
    if (ParseFontValue(value.get(), &back) != 1) std::abort();
    if (!SameFont(back, expected)) std::abort();
}

// The face name as the writer keeps it: up to its NUL or its 32 bytes, cut to
// 31 bytes at a character boundary, zeros after.
void CutFaceName(FontRecord* font) {
    const char* face = font->lfFaceName;
    size_t n = Cp932Cut(face, strnlen(face, sizeof font->lfFaceName), sizeof font->lfFaceName - 1);
    std::memset(font->lfFaceName + n, 0, sizeof font->lfFaceName - n);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const size_t n = size < kFontValueSize - 1 ? size : kFontValueSize - 1;
    auto text = std::make_unique<char[]>(n + 1);
    if (n > 0) std::memcpy(text.get(), data, n);
    text[n] = '\0';

    FontRecord font;
    if (ParseFontValue(text.get(), &font) == 1) {
        CheckParsed(font);
        CheckRoundTrip(font, font);
    }

    if (size >= sizeof(FontRecord)) {
        FontRecord raw;
        std::memcpy(&raw, data, sizeof raw);
        FontRecord expected = raw;
        CutFaceName(&expected);
        // An empty face name leaves the value one piece short, and a colon
        // in it splits it: neither can come back whole.
        const size_t face = strnlen(expected.lfFaceName, sizeof expected.lfFaceName);
        if (face > 0 && std::memchr(expected.lfFaceName, ':', face) == nullptr)
            CheckRoundTrip(raw, expected);
    }
    return 0;
}
