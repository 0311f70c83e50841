#include "settings/win32/settings_sheet.h"

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <memory>
#include <vector>

#include "platform/error_report.h"
#include "settings/win32/settings_pages.h"
#include "resources/command_ids.h"

namespace {

constexpr uint16_t kSheetReport = 0x0015;

// Once the sheet window exists: no context-help button in its title bar.
int CALLBACK SheetCallback(HWND sheet, UINT message, LPARAM) {
    if (message == PSCB_INITIALIZED) {
        LONG_PTR style = GetWindowLongPtrA(sheet, GWL_EXSTYLE);
        SetWindowLongPtrA(sheet, GWL_EXSTYLE, style & ~static_cast<LONG_PTR>(WS_EX_CONTEXTHELP));
    }
    return 0;
}

struct PageParts {
    const char* title;
    const char* resource;
    DLGPROC procedure;
    void* record;
    uint16_t failure_step;
};

HPROPSHEETPAGE CreatePage(const PageParts& parts) {
    PROPSHEETPAGEA page = {};
    page.dwSize = sizeof page;
    page.dwFlags = PSP_USETITLE;
    page.hInstance = GetModuleHandleA(nullptr);
    page.pszTemplate = parts.resource;
    page.pfnDlgProc = parts.procedure;
    page.pszTitle = parts.title;
    page.lParam = reinterpret_cast<LPARAM>(parts.record);
    return CreatePropertySheetPageA(&page);
}

void DestroyPages(const std::vector<HPROPSHEETPAGE>& pages) {
    for (HPROPSHEETPAGE page : pages) DestroyPropertySheetPage(page);
}

}  // namespace

std::string PageText(HWND page, int id, int limit) {
    std::string text(static_cast<size_t>(limit) + 1, '\0');
    int got = GetDlgItemTextA(page, id, text.data(), limit + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

INT_PTR AppliedNoError(HWND page) {
    SetWindowLongPtrA(page, DWLP_MSGRESULT, PSNRET_NOERROR);
    return TRUE;
}

void ReportPageFailure(uint16_t operation, uint16_t step) {
    if (step != 0) ReportInternalError(operation, step);
}

int OpenSettingsSheet(HWND main_window, SettingsSheetHost& host) {
    SettingsPages records(host);
    const PageParts pages_wanted[] = {
        {"基本", RES_DLG_BASE, GuardedDialog<PageWithRecord<BasePage, BasePageProcedure>>, &records.base, 0x10},
        {"送信・受信", RES_DLG_SENDRECV, GuardedDialog<PageWithRecord<SendReceivePage, SendReceivePageProcedure>>,
         &records.send_receive, 0x20},
        {"画面", RES_DLG_COLOR, GuardedDialog<PageWithRecord<DisplayPage, DisplayPageProcedure>>, &records.display,
         0x40},
        {"ネットワーク", RES_DLG_NETWORK, GuardedDialog<PageWithRecord<NetworkPage, NetworkPageProcedure>>,
         &records.network, 0x50},
    };
    std::vector<HPROPSHEETPAGE> pages;
    for (const PageParts& parts : pages_wanted) {
        HPROPSHEETPAGE page = CreatePage(parts);
        if (page == nullptr) {
            DestroyPages(pages);
            ReportInternalError(kSheetReport, parts.failure_step);
            return 0;
        }
        pages.push_back(page);
    }

    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_NOAPPLYNOW | PSH_USECALLBACK;
    header.hwndParent = main_window;
    header.hInstance = GetModuleHandleA(nullptr);
    header.pszCaption = "Mosswick - 設定";
    header.nPages = static_cast<UINT>(pages.size());
    header.nStartPage = 0;
    header.phpage = pages.data();
    header.pfnCallback = SheetCallback;
    // The sheet takes the pages over: it destroys them when it closes.
    INT_PTR ran = PropertySheetA(&header);
    if (ran < 0) {
        ReportInternalError(kSheetReport, 0x60);
        return 0;
    }
    return 1;
}
