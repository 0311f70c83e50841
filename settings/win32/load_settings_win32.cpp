#include "settings/win32/load_settings_win32.h"

#include "settings/load_settings.h"
#include "settings/settings.h"
#include "platform/win32/font_record_win32.h"

namespace {

void CreatePaneFonts() {
    for (int pane = PANE_OUTPUT; pane <= PANE_USER; ++pane) {
        const LOGFONTW lf = ToLogFontW(g_settings.pane_font[pane]);
        g_settings.pane_font_object[pane] = CreateFontIndirectW(&lf);
    }
}

}  // namespace

int LoadSettings(HWND, RECT* rect) {
    WindowRect saved;
    if (!LoadSettings(&saved)) return 0;
    if (rect != nullptr) {
        rect->left = saved.left;
        rect->top = saved.top;
        rect->right = saved.right;
        rect->bottom = saved.bottom;
    }
    DeletePaneFonts();
    CreatePaneFonts();
    return 1;
}

void DeletePaneFonts() {
    for (void*& font : g_settings.pane_font_object) {
        if (font != nullptr) DeleteObject(static_cast<HFONT>(font));
        font = nullptr;
    }
}
