// The stored form of a font: the thirteen numeric fields of a logical-font
// record, each followed by a colon, then the face name:
//   14:0:0:0:400:0:0:0:128:2:0:0:0:ＭＳ Ｐゴシック
#pragma once
#include <cstddef>

#include "platform/font_record.h"

class ProfileStore;

// Room for the longest font value and its NUL.
constexpr size_t kFontValueSize = 150;

// Formats the record as a font value into out (kFontValueSize bytes). The
// byte fields are written as unsigned values 0-255; the face name is cut to
// 31 bytes, never inside a double-byte character.
void FormatFontValue(const FontRecord& font, char* out);

// Fills the record from a font value. The text is split at colons the way
// strtok splits it (a run of colons is one separator, so no field is empty);
// the first thirteen pieces are read as numbers (the byte fields keep their
// low 8 bits, a piece that is no number gives 0) and the fourteenth is the
// face name, cut to 31 bytes. Returns 1, or 0 when there are fewer than
// fourteen pieces; the record may then be partly filled.
int ParseFontValue(const char* text, FontRecord* font);

// Writes the font value of `font` under `key` in Client_Definition.
// Returns 1 on success, 0 when the write fails.
int WriteFontKey(ProfileStore& store, const char* ini_path, const char* key, const FontRecord& font);

// The same into the program's settings file (g_platform.profile, g_program_paths).
int WriteFontKey(const char* key, const FontRecord& font);
