// The user area's rows, which mirror the peer table: one row per entry,
// column 0 the name, column 1 the status, column 2 the dotted address. Rows
// are found again by text, searching from the last row towards the first.
// After a row changes, the status column (and the address column where the
// address may have changed) is fitted to its contents; the name column keeps
// its width.
//
// These run on the user-interface thread and never under the peer-table lock:
// the table is changed under the lock first, the rows after it is released.
#pragma once
#include <cstdint>

#include "net/peer_table.h"

// The row changes a merge asked for, in order: a new row at the end for a
// new entry; name, status and address of an overwritten entry's row, found by
// its dotted address in column 2 or (the own entry matched by name) by its
// name in column 0. A row that cannot be found is left alone.
void ApplyRowChanges(const RowChanges& rows);
// Sets name and status of the row showing `address`.
void SetUserRowNameAndStatus(uint32_t address, const char* name, const char* status);
// Deletes the row showing `address`.
void DeleteUserRowOf(uint32_t address);
// Deletes every row, then adds the own row (Name, the own status text, the own
// entry's address). While the table has no own entry (before network start)
// the area stays empty.
void ResetUserAreaToOwnRow();
