#include "shell/win32/font_object.h"

#include <cstddef>
#include <cstring>
#include <type_traits>

static_assert(sizeof(FontRecord) == sizeof(LOGFONTA));
static_assert(offsetof(FontRecord, lfWeight) == offsetof(LOGFONTA, lfWeight));
static_assert(offsetof(FontRecord, lfCharSet) == offsetof(LOGFONTA, lfCharSet));
static_assert(offsetof(FontRecord, lfFaceName) == offsetof(LOGFONTA, lfFaceName));
static_assert(std::is_trivially_copyable_v<FontRecord>);

LOGFONTA ToLogFont(const FontRecord& font) {
    LOGFONTA lf;
    std::memcpy(&lf, static_cast<const void*>(&font), sizeof lf);
    return lf;
}

FontRecord FromLogFont(const LOGFONTA& lf) {
    FontRecord font;
    std::memcpy(static_cast<void*>(&font), &lf, sizeof font);
    return font;
}

HFONT CreateFontObject(const FontRecord& font) {
    LOGFONTA lf = ToLogFont(font);
    return CreateFontIndirectA(&lf);
}
