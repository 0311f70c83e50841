#include "platform/win32/pickers.h"

#include <commdlg.h>

#include "platform/win32/font_record_win32.h"

namespace {
COLORREF g_custom_colors[kCustomColorCount];
}

void ResetCustomColors() {
    for (COLORREF& c : g_custom_colors) c = RGB(255, 255, 255);
}

int PickColor(HWND owner, COLORREF* color) {
    CHOOSECOLORW cc = {};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = owner;
    cc.rgbResult = *color;
    cc.lpCustColors = g_custom_colors;
    cc.Flags = CC_FULLOPEN | CC_RGBINIT;
    if (!ChooseColorW(&cc)) return 0;
    *color = cc.rgbResult;
    return 1;
}

int PickFont(HWND owner, FontRecord* font) {
    // The dialog works on the face name in UTF-16; the record keeps CP932.
    LOGFONTW lf = ToLogFontW(*font);
    CHOOSEFONTW cf = {};
    cf.lStructSize = sizeof cf;
    cf.hwndOwner = owner;
    cf.hDC = nullptr;
    cf.lpLogFont = &lf;
    cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT;
    if (!ChooseFontW(&cf)) return 0;
    *font = FromLogFontW(lf);
    return 1;
}
