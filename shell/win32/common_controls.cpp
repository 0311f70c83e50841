#include "shell/win32/common_controls.h"

#include <windows.h>
#include <commctrl.h>
#include <shlwapi.h>

void RegisterCommonControls() {
    INITCOMMONCONTROLSEX icc = {};
    icc.dwSize = sizeof icc;  // 8
    // The list view, and the toolbar, status bar and tooltips.
    icc.dwICC = ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES;
    if (!InitCommonControlsEx(&icc)) InitCommonControls();
}

bool IsNewCommonControlsVersion(unsigned long major, unsigned long minor) {
    return major > 4 || (major == 4 && minor >= 72);
}

// The common controls the program is linked with are already loaded: their
// version is asked of that very library, with no search for another.
bool IsNewCommonControls() {
    HMODULE library = GetModuleHandleW(L"comctl32.dll");
    if (library == nullptr) return false;
    bool is_new = false;
    auto get_version = reinterpret_cast<DLLGETVERSIONPROC>(
        reinterpret_cast<void*>(GetProcAddress(library, "DllGetVersion")));
    if (get_version != nullptr) {
        DLLVERSIONINFO info = {};
        info.cbSize = sizeof info;  // 20
        if (SUCCEEDED(get_version(&info))) is_new = IsNewCommonControlsVersion(info.dwMajorVersion, info.dwMinorVersion);
    }
    return is_new;
}
