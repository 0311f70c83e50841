// The four pages of the settings sheet: each page's own state, kept on the
// page window while the sheet is open, and the procedures the sheet runs
// them with.
#pragma once
#include <windows.h>
#include <prsht.h>

#include <cstdint>
#include <string>

#include "settings/base_page.h"
#include "settings/display_page.h"
#include "settings/network_page.h"
#include "settings/win32/settings_sheet_host.h"
#include "platform/win32/window_guard.h"

// A sample's background brush, made again from its colour when marked.
struct SampleBrush {
    HBRUSH brush = nullptr;
    bool rebuild = true;

    HBRUSH For(COLORREF colour) {
        if (rebuild || brush == nullptr) {
            Free();
            brush = CreateSolidBrush(colour);
            rebuild = false;
        }
        return brush;
    }
    void Free() {
        if (brush != nullptr) DeleteObject(brush);
        brush = nullptr;
    }
};

// The text every sample shows.
inline constexpr char kSampleText[] = "abcXYZあいうエオ";

struct BasePage {
    SettingsSheetHost* host = nullptr;
    uint32_t own_colour = 0;  // the working colour of the user's own text
    BasePageOpening opening;
    SampleBrush sample;
};

struct SendReceivePage {
    SettingsSheetHost* host = nullptr;
};

struct DisplayPage {
    SettingsSheetHost* host = nullptr;
    DisplayChoice working;
    HFONT sample_font[3] = {};
    SampleBrush sample[3];
    bool output_font_changed = false;
    char opening_view[4] = {};
};

struct NetworkPage {
    SettingsSheetHost* host = nullptr;
    HostListEdit hosts;
};

// Every page's record, for one opening of the sheet, each holding the host
// the sheet was opened with.
struct SettingsPages {
    explicit SettingsPages(SettingsSheetHost& host) {
        base.host = &host;
        send_receive.host = &host;
        display.host = &host;
        network.host = &host;
    }
    BasePage base;
    SendReceivePage send_receive;
    DisplayPage display;
    NetworkPage network;
};

INT_PTR BasePageProcedure(BasePage& page, HWND window, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR SendReceivePageProcedure(SendReceivePage& page, HWND window, UINT message, WPARAM wparam,
                                 LPARAM lparam);
INT_PTR DisplayPageProcedure(DisplayPage& page, HWND window, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR NetworkPageProcedure(NetworkPage& page, HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// A page is given its record through the lParam of its page description;
// the procedure keeps it in the page's user data from WM_INITDIALOG on.
// Messages before it (or to a page without one) are not handled.
template <class T, INT_PTR (*Handler)(T&, HWND, UINT, WPARAM, LPARAM)>
INT_PTR PageWithRecord(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        const auto* description = reinterpret_cast<const PROPSHEETPAGEW*>(lparam);
        SetWindowLongPtrW(window, GWLP_USERDATA, description != nullptr ? description->lParam : 0);
    }
    T* record = WindowRecord<T>(window);
    return record != nullptr ? Handler(*record, window, message, wparam, lparam) : FALSE;
}

// Small helpers the pages share.
inline bool IsTicked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }
inline void SetTicked(HWND page, int id, bool on) { CheckDlgButton(page, id, on ? BST_CHECKED : BST_UNCHECKED); }
// The text of a control as CP932, at most `limit` bytes, cut at a whole
// character.
std::string PageText(HWND page, int id, int limit);
// The notification code of a WM_NOTIFY from the sheet: PSN_APPLY, PSN_RESET, ...
inline UINT SheetNotification(LPARAM lparam) { return reinterpret_cast<const NMHDR*>(lparam)->code; }
// Answers PSN_APPLY: the sheet may close.
INT_PTR AppliedNoError(HWND page);
// The internal-error report for a page whose writes failed (nothing for step 0).
void ReportPageFailure(uint16_t operation, uint16_t step);
