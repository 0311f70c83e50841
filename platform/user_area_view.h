// The user area: one row per peer-table entry, columns 0 name, 1 status,
// 2 dotted address.
#pragma once

class UserAreaView {
public:
    virtual ~UserAreaView() = default;
    // Rows are found by text: the last row (searching from the end) whose
    // column equals the key; -1 when none.
    virtual int FindUserRow(int column, const char* text) = 0;
    virtual void AddUserRow(const char* name, const char* status, const char* address) = 0;
    // A null address leaves column 2 as it is.
    virtual void SetUserRow(int row, const char* name, const char* status, const char* address) = 0;
    virtual void DeleteUserRow(int row) = 0;
    virtual void DeleteAllUserRows() = 0;
    // Fits column 1 (and column 2 when the address may have changed) to its contents.
    virtual void FitUserColumns(bool /*address_too*/) {}
};
