// Presence: the start sequence, the end announcement, the user check, the
// announcement of own changes, and the handlers the receive path calls for
// announcements, lists, checks, departures and status changes. Each keeps the
// peer table and the user area's rows in step.
#pragma once
#include <cstdint>
#include <string>

enum class StartMode { StartUp, Command };

// Builds the KIND_START. In start-up mode puts the own entry into the table
// (and its row into the user area), then either shows Start and End as ended
// and stops there (Start_Send begins with "N"), or shows them as started and
// sets the started flag. Then announces to the host address list (and the
// local broadcast address) and to the host IP box's address. Command mode only
// announces: the Start command switches the buttons itself. Reports use
// operation 0x0029.
bool StartSequence(StartMode mode);

// The leave announcement to every peer, stopping at the first failure; then
// the table and the user area shrink to the own entry and every kept datagram
// is forgotten. Reports 0x0023.
bool EndAnnouncement();

// The user check: sends a kept KIND_CHECK to every peer; when all were sent,
// the table and the user area shrink to the own entry, and the peers' replies
// fill them again. A failed send leaves both as they were. Reports 0x0021.
bool UserCheck();

// Tells every peer of a change of the own status, name or message colour (a
// kept KIND_STATUS); when all were sent, the own entry and the own row take
// the change. Reports 0x0027.
bool AnnounceOwnChange();

// Handlers of the receive path; each gets the datagram after its sender
// address was corrected, and the bytes received.
// KIND_START, KIND_USERLIST and KIND_CHECK: the carried entries merged into
// the table (MergeEntries), then the user area's rows changed to match.
bool TakeEntries(const uint8_t* datagram, int length);
// After a KIND_START: the whole table to every peer, as a KIND_USERLIST sent
// from a copy made under the lock. Reports 0x0028.
bool SendWholeTable(const uint8_t* datagram, int length);
// After a KIND_CHECK: a kept KIND_USERLIST of the own entry to the sender.
// Reports 0x0026.
bool ReplyWithOwnEntry(const uint8_t* datagram, int length);
// KIND_END: the sender leaves the table and the user area.
bool RemoveSender(const uint8_t* datagram, int length);
// KIND_STATUS: the sender's entry and row take the carried entry; a sender
// not in the table is not added.
bool UpdateSender(const uint8_t* datagram, int length);
