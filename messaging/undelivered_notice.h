// Telling the user of a chat line or popup that never arrived: after its
// last resend went unacknowledged, a line in the output area names the
// receiver and the text. The line is the program's own: it is not logged and
// nothing is sent.
#pragma once
#include <cstdint>
#include <string>

// The line for a kept datagram (CP932, ending in "\r\n"): empty for a
// datagram that is neither a chat line nor a popup. `receiver` is the name
// the table holds for the address, empty when none.
std::string UndeliveredLine(const std::string& receiver, uint32_t destination, const uint8_t* datagram, int length);

// The handler of the pending list: shows the line in the output area unless
// Undelivered_Notice begins with "N".
void ShowUndelivered(uint32_t destination, const uint8_t* datagram, int length);

// The colour of the line: a dark red, apart from any sender's colour.
constexpr uint32_t kUndeliveredColour = 0x000000B0;
