// The rows of the user area, a report-view list view with three columns:
// 0 name, 1 status, 2 dotted address. Each row carries an item-data value
// (its lParam) that no other row present carries, so that the sort
// comparison can find the row again.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

constexpr int kUserColumnName = 0;
constexpr int kUserColumnStatus = 1;
constexpr int kUserColumnAddress = 2;

// The text of one cell (a row's text in one column) as CP932: at most
// `max_bytes`, cut at a whole character. Every reader of the list's texts
// goes through this one. The list itself is Unicode; the texts given to the
// functions below are CP932 too.
std::string UserAreaCellText(HWND list, int row, int column, int max_bytes);

// The last row (searching from the end towards the first) whose text in
// `column` equals `text` byte for byte; -1 when none does.
int FindUserAreaRow(HWND list, int column, const char* text);

// Appends a row at the end; returns its index, or -1 when the list refused it.
int AddUserAreaRow(HWND list, const char* name, const char* status, const char* address);

// Sets the texts of a row; a null text leaves its column as it is.
void SetUserAreaRow(HWND list, int row, const char* name, const char* status, const char* address);

void DeleteUserAreaRow(HWND list, int row);
void DeleteAllUserAreaRows(HWND list);

// Fits column 1 (and column 2 when `address_too`) to its contents, never
// narrower than its heading. Column 0 keeps its width.
void FitUserAreaColumns(HWND list, bool address_too);

// The address column of every selected row, in list order, each at most
// kUserAddressChars bytes.
constexpr int kUserAddressChars = 19;
std::vector<std::string> SelectedUserAreaAddresses(HWND list);

// Outside personal mode no row stays selected: a row that became selected
// is deselected again (-1: every row).
void KeepUserAreaRowUnselected(HWND list, int row);
