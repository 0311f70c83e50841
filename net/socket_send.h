// Sending through the program's one socket: one datagram to one address,
// dumped into the log first while Debug is on.
#pragma once
#include <cstdint>

// An open socket is set in the platform record.
bool SocketExists();

// Sends the whole datagram to one address; a send the system takes only in
// part goes on with the rest. False when there is no open socket or a send
// fails.
bool SendRaw(uint8_t* datagram, int length, uint32_t destination, int port);

// The same, except that with no open socket there is nothing to send
// through and that counts as success (the program runs on without network).
bool SendToAddress(uint8_t* datagram, int length, uint32_t destination, int port);
