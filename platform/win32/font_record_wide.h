// Between the portable font record, whose face name is CP932, and Windows'
// LOGFONTW, whose face name is UTF-16.
#pragma once
#include <windows.h>

#include "platform/font_record.h"

// The face name converted with code page 932; the other fields copied.
LOGFONTW ToLogFontW(const FontRecord& font);
// The face name converted to CP932 and cut at a whole character to what the
// record holds; the other fields copied.
FontRecord FromLogFontW(const LOGFONTW& font);
