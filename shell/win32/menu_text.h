// Items of the menus the program builds at run time (the tray's and the
// output area's context menus), their texts given in CP932.
#pragma once
#include <windows.h>

void AppendMenuText(HMENU menu, UINT id, const char* text);
void AppendMenuSeparator(HMENU menu);
