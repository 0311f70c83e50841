// The Display page: text colour, enforcement, background and font of the
// output, input and user areas, each with a live sample, and the screen
// type. OK hands the new fonts and colours to the live panes at once and,
// when the screen type changed, switches the layout.
#include <windows.h>
#include <prsht.h>

#include <cstring>

#include "platform/platform.h"
#include "settings/display_page.h"
#include "settings/page_writes.h"
#include "settings/settings.h"
#include "platform/win32/font_record_win32.h"
#include "settings/win32/settings_pages.h"
#include "resources/command_ids.h"
#include "platform/win32/pickers.h"
#include "platform/win32/wide_text.h"

namespace {

// The controls of one pane's group, by PaneFont.
struct PaneControls {
    int text, force, back, sample, font;
};

constexpr PaneControls kPaneControls[3] = {
    {IDC_DISP_OUT_TEXT, IDC_DISP_OUT_FORCE, IDC_DISP_OUT_BACK, IDC_DISP_OUT_SAMPLE, IDC_DISP_OUT_FONT},
    {IDC_DISP_IN_TEXT, IDC_DISP_IN_FORCE, IDC_DISP_IN_BACK, IDC_DISP_IN_SAMPLE, IDC_DISP_IN_FONT},
    {IDC_DISP_US_TEXT, IDC_DISP_US_FORCE, IDC_DISP_US_BACK, IDC_DISP_US_SAMPLE, IDC_DISP_US_FONT},
};

HFONT FontObjectOf(const FontRecord& record) {
    const LOGFONTW lf = ToLogFontW(record);
    return CreateFontIndirectW(&lf);
}

void SetSampleFont(DisplayPage& page, HWND window, int pane) {
    if (page.sample_font[pane] != nullptr) DeleteObject(page.sample_font[pane]);
    page.sample_font[pane] = FontObjectOf(page.working.pane[pane].font);
    SendDlgItemMessageW(window, kPaneControls[pane].sample, WM_SETFONT,
                        reinterpret_cast<WPARAM>(page.sample_font[pane]), TRUE);
}

void Repaint(HWND window, int id) { InvalidateRect(GetDlgItem(window, id), nullptr, TRUE); }

void FreeSamples(DisplayPage& page) {
    for (int pane = 0; pane < 3; ++pane) {
        page.sample[pane].Free();
        if (page.sample_font[pane] != nullptr) DeleteObject(page.sample_font[pane]);
        page.sample_font[pane] = nullptr;
    }
}

void OnInit(DisplayPage& page, HWND window) {
    page.working = DisplayChoiceOf(g_settings);
    page.output_font_changed = false;
    for (int pane = 0; pane < 3; ++pane) {
        const PaneControls& c = kPaneControls[pane];
        SetSampleFont(page, window, pane);
        SetDialogItemTextCp932(window, c.sample, kSampleText);
        page.sample[pane].rebuild = true;
        SetTicked(window, c.force, page.working.pane[pane].text_forced);
        EnableWindow(GetDlgItem(window, c.text), page.working.pane[pane].text_forced);
    }
    SetTicked(window, page.working.type2 ? IDC_DISP_TYPE2 : IDC_DISP_TYPE1, true);
    std::memcpy(page.opening_view, g_settings.UserArea_View, sizeof page.opening_view);
}

void PickText(DisplayPage& page, HWND window, int pane) {
    COLORREF colour = page.working.pane[pane].text;
    if (!PickColor(window, &colour)) return;
    page.working.pane[pane].text = colour;
    Repaint(window, kPaneControls[pane].sample);
}

void PickBack(DisplayPage& page, HWND window, int pane) {
    COLORREF colour = page.working.pane[pane].back;
    if (!PickColor(window, &colour)) return;
    page.working.pane[pane].back = colour;
    page.sample[pane].rebuild = true;
    Repaint(window, kPaneControls[pane].sample);
}

void PickPaneFont(DisplayPage& page, HWND window, int pane) {
    if (!PickFont(window, &page.working.pane[pane].font)) return;
    SetSampleFont(page, window, pane);
    if (pane == PANE_OUTPUT) page.output_font_changed = true;
}

void OnForceBox(HWND window, int pane) {
    EnableWindow(GetDlgItem(window, kPaneControls[pane].text), IsTicked(window, kPaneControls[pane].force));
}

// The pane and the action of a button of the page; false for none.
bool OnPaneButton(DisplayPage& page, HWND window, int id) {
    for (int pane = 0; pane < 3; ++pane) {
        const PaneControls& c = kPaneControls[pane];
        if (id == c.text) PickText(page, window, pane);
        else if (id == c.back) PickBack(page, window, pane);
        else if (id == c.font) PickPaneFont(page, window, pane);
        else if (id == c.force) OnForceBox(window, pane);
        else continue;
        return true;
    }
    return false;
}

// The page's fonts become the panes' fonts. The output area is given its
// font only when it changed (setting a font there recolours the text shown);
// its font object is then kept as it is.
void HandFontsToPanes(DisplayPage& page, bool output_changed) {
    for (int pane = 0; pane < 3; ++pane) {
        if (pane == PANE_OUTPUT && !output_changed) continue;
        if (g_settings.pane_font_object[pane] != nullptr)
            DeleteObject(static_cast<HFONT>(g_settings.pane_font_object[pane]));
        g_settings.pane_font_object[pane] = page.sample_font[pane];
        page.sample_font[pane] = nullptr;
    }
    for (int pane = 0; pane < 3; ++pane) {
        if (pane == PANE_OUTPUT && !output_changed) continue;
        HWND target = page.host->PaneWindow(pane);
        if (target != nullptr)
            SendMessageW(target, WM_SETFONT, reinterpret_cast<WPARAM>(g_settings.pane_font_object[pane]), TRUE);
    }
}

void RepaintPanes(SettingsSheetHost& host) {
    for (int pane = 0; pane < 3; ++pane) {
        if (HWND target = host.PaneWindow(pane)) InvalidateRect(target, nullptr, TRUE);
    }
}

INT_PTR OnApply(DisplayPage& page, HWND window) {
    for (int pane = 0; pane < 3; ++pane) page.working.pane[pane].text_forced = IsTicked(window, kPaneControls[pane].force);
    page.working.type2 = IsTicked(window, IDC_DISP_TYPE2);
    DisplayResult result = ApplyDisplayPage(page.working, page.opening_view);
    if (result.type_changed) page.host->ResizeForScreenType(page.working.type2);
    HandFontsToPanes(page, page.output_font_changed);
    page.host->ApplyPaneColors();
    RepaintPanes(*page.host);
    FreeSamples(page);
    ReportPageFailure(kDisplayPageReport, result.failed_step);
    return AppliedNoError(window);
}

INT_PTR OnSampleColours(DisplayPage& page, HWND control, HDC dc) {
    const int id = GetDlgCtrlID(control);
    for (int pane = 0; pane < 3; ++pane) {
        if (id != kPaneControls[pane].sample) continue;
        SetTextColor(dc, page.working.pane[pane].text);
        SetBkColor(dc, page.working.pane[pane].back);
        return reinterpret_cast<INT_PTR>(page.sample[pane].For(page.working.pane[pane].back));
    }
    return FALSE;
}

INT_PTR OnNotify(DisplayPage& page, HWND window, LPARAM lparam) {
    switch (SheetNotification(lparam)) {
        case PSN_APPLY: return OnApply(page, window);
        case PSN_RESET: FreeSamples(page); return TRUE;
        default: return FALSE;
    }
}

}  // namespace

INT_PTR DisplayPageProcedure(DisplayPage& page, HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG: OnInit(page, window); return TRUE;
        case WM_COMMAND:
            return HIWORD(wparam) == BN_CLICKED && OnPaneButton(page, window, LOWORD(wparam));
        case WM_NOTIFY: return OnNotify(page, window, lparam);
        case WM_CTLCOLORSTATIC:
            return OnSampleColours(page, reinterpret_cast<HWND>(lparam), reinterpret_cast<HDC>(wparam));
        case WM_DESTROY: FreeSamples(page); return FALSE;
        default: return FALSE;
    }
}
