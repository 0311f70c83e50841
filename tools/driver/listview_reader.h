// Reads the rows of a list view that belongs to another process. The item
// record and the text buffer must live in that process's memory, so they are
// allocated there and copied back.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// One entry per row, each holding the texts of its columns. False when the
// other process's memory cannot be reached.
bool ReadListViewRows(HWND list_view, std::vector<std::vector<std::string>>* rows);
