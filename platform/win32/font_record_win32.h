// Between the portable font record (its face name in CP932 bytes) and
// Windows' LOGFONTW (its face name in UTF-16), field by field.
#pragma once
#include <windows.h>

#include "platform/font_record.h"

// The face name converted with code page 932, at most LF_FACESIZE - 1
// characters.
LOGFONTW ToLogFontW(const FontRecord& font);
// The face name converted to CP932, cut at a whole character to the
// record's 31 bytes; a character CP932 cannot hold becomes "?".
FontRecord FromLogFontW(const LOGFONTW& font);

