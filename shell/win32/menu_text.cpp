#include "shell/win32/menu_text.h"

#include "platform/win32/wide_text.h"

void AppendMenuText(HMENU menu, UINT id, const char* text) {
    AppendMenuW(menu, MF_STRING, id, WideFromCp932(text).c_str());
}

void AppendMenuSeparator(HMENU menu) { AppendMenuW(menu, MF_SEPARATOR, 0, nullptr); }
