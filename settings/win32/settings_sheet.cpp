#include "settings/win32/settings_sheet.h"

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/error_report.h"
#include "platform/win32/wide_text.h"
#include "settings/win32/settings_pages.h"
#include "resources/command_ids.h"

namespace {

constexpr uint16_t kSheetReport = 0x0015;

// Once the sheet window exists: no context-help button in its title bar.
int CALLBACK SheetCallback(HWND sheet, UINT message, LPARAM) {
    if (message == PSCB_INITIALIZED) {
        LONG_PTR style = GetWindowLongPtrW(sheet, GWL_EXSTYLE);
        SetWindowLongPtrW(sheet, GWL_EXSTYLE, style & ~static_cast<LONG_PTR>(WS_EX_CONTEXTHELP));
    }
    return 0;
}

struct PageParts {
    const char* title;  // CP932
    const wchar_t* resource;
    DLGPROC procedure;
    void* record;
    uint16_t failure_step;
};

// `title` is the page's title in UTF-16, kept by the caller while the sheet
// runs.
HPROPSHEETPAGE CreatePage(const PageParts& parts, const std::wstring& title) {
    PROPSHEETPAGEW page = {};
    page.dwSize = sizeof page;
    page.dwFlags = PSP_USETITLE;
    page.hInstance = GetModuleHandleW(nullptr);
    page.pszTemplate = parts.resource;
    page.pfnDlgProc = parts.procedure;
    page.pszTitle = title.c_str();
    page.lParam = reinterpret_cast<LPARAM>(parts.record);
    return CreatePropertySheetPageW(&page);
}

void DestroyPages(const std::vector<HPROPSHEETPAGE>& pages) {
    for (HPROPSHEETPAGE page : pages) DestroyPropertySheetPage(page);
}

}  // namespace

std::string PageText(HWND page, int id, int limit) {
    return DialogItemTextCp932(page, id, limit > 0 ? static_cast<size_t>(limit) : 0);
}

INT_PTR AppliedNoError(HWND page) {
    SetWindowLongPtrW(page, DWLP_MSGRESULT, PSNRET_NOERROR);
    return TRUE;
}

void ReportPageFailure(uint16_t operation, uint16_t step) {
    if (step != 0) ReportInternalError(operation, step);
}

int OpenSettingsSheet(HWND main_window, SettingsSheetHost& host) {
    SettingsPages records(host);
    const PageParts pages_wanted[] = {
        {"基本", WIDE_NAME(RES_DLG_BASE), GuardedDialog<PageWithRecord<BasePage, BasePageProcedure>>,
         &records.base, 0x10},
        {"送信・受信", WIDE_NAME(RES_DLG_SENDRECV),
         GuardedDialog<PageWithRecord<SendReceivePage, SendReceivePageProcedure>>, &records.send_receive, 0x20},
        {"画面", WIDE_NAME(RES_DLG_COLOR), GuardedDialog<PageWithRecord<DisplayPage, DisplayPageProcedure>>,
         &records.display, 0x40},
        {"ネットワーク", WIDE_NAME(RES_DLG_NETWORK), GuardedDialog<PageWithRecord<NetworkPage, NetworkPageProcedure>>,
         &records.network, 0x50},
    };
    // The titles and the caption, in UTF-16, live until the sheet has closed.
    std::vector<std::wstring> titles;
    for (const PageParts& parts : pages_wanted) titles.push_back(WideFromCp932(parts.title));
    const std::wstring caption = WideFromCp932("Mosswick - 設定");
    std::vector<HPROPSHEETPAGE> pages;
    for (size_t i = 0; i < titles.size(); ++i) {
        const PageParts& parts = pages_wanted[i];
        HPROPSHEETPAGE page = CreatePage(parts, titles[i]);
        if (page == nullptr) {
            DestroyPages(pages);
            ReportInternalError(kSheetReport, parts.failure_step);
            return 0;
        }
        pages.push_back(page);
    }

    PROPSHEETHEADERW header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_NOAPPLYNOW | PSH_USECALLBACK;
    header.hwndParent = main_window;
    header.hInstance = GetModuleHandleW(nullptr);
    header.pszCaption = caption.c_str();
    header.nPages = static_cast<UINT>(pages.size());
    header.nStartPage = 0;
    header.phpage = pages.data();
    header.pfnCallback = SheetCallback;
    // The sheet takes the pages over: it destroys them when it closes.
    INT_PTR ran = PropertySheetW(&header);
    if (ran < 0) {
        ReportInternalError(kSheetReport, 0x60);
        return 0;
    }
    return 1;
}
