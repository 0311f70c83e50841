// Presence: the start sequence and the handlers the receive path calls for
// announcements, lists, checks, departures and status changes.
#pragma once
#include <cstdint>
#include <string>

enum class StartMode { StartUp, Command };

// The text of the toolbar's host IP box. Set by the window that owns the box;
// null (or an empty text) means the box is empty.
extern std::string (*g_host_ip_box_text)();

// Builds the KIND_START; in start-up mode puts the own entry into the table
// and stops there when Start_Send begins with "N"; then announces to the host
// address list (and the local broadcast address) and to the host IP box's
// address. Reports use operation 0x0029.
bool StartSequence(StartMode mode);

// Handlers of the receive path; each gets the datagram after its sender
// address was corrected, and the bytes received.
bool SendWholeTable(const uint8_t* datagram, int length);
bool ReplyWithOwnEntry(const uint8_t* datagram, int length);
bool RemoveSender(const uint8_t* datagram, int length);
bool UpdateSender(const uint8_t* datagram, int length);

// The leave announcement to every peer; shrinks the table to the own entry.
bool EndAnnouncement();

// The user check: asks every peer to answer with its own entry and empties
// the table to the own entry, so that only those who answer come back.
bool UserCheck();

// Tells every peer of a change of the own status, name or message colour.
bool AnnounceOwnChange();
