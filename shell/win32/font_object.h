// Font records (laid out like LOGFONTA) to and from Windows font objects.
#pragma once
#include <windows.h>

#include "settings/font_record.h"

LOGFONTA ToLogFont(const FontRecord& font);
FontRecord FromLogFont(const LOGFONTA& font);
// CreateFontIndirectA of the record.
HFONT CreateFontObject(const FontRecord& font);
