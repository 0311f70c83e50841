// Reads the rows of a list view that belongs to another process. The item
// record and the text buffer must live in that process's memory, so they are
// allocated there and copied back.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// One entry per row, in display order, each holding the texts of its
// columns. False when the other process's memory cannot be reached.
bool ReadListViewRows(HWND list_view, std::vector<std::vector<std::string>>* rows);

// The state bits (LVIS_*) of every row, in display order.
std::vector<UINT> ListViewStates(HWND list_view, UINT mask);

// The row's whole rectangle (LVIR_BOUNDS) in the list view's client
// coordinates. False when the row does not exist or cannot be asked for.
bool ListViewRowRect(HWND list_view, int row, RECT* rect);
