// Between the portable font record and Windows' LOGFONTA, field by field.
#pragma once
#include <windows.h>

#include "platform/font_record.h"

LOGFONTA ToLogFont(const FontRecord& font);
FontRecord FromLogFont(const LOGFONTA& font);
