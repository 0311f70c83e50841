// What the main window does with the user area's notifications: sorting by a
// clicked column, keeping rows unselected outside personal mode, and drawing
// each row in the colour its user announced.
#pragma once
#include <windows.h>
#include <commctrl.h>

// The answer to a WM_NOTIFY from the user area.
LRESULT OnUserAreaNotify(NMHDR* header);

// Sorts the list by a column after flipping that column's direction (the
// first click on a column sorts it ascending). The directions are the
// list's own, kept on the list.
void SortUserAreaByColumn(HWND list, int column);
