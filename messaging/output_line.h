// Appending a line to the output area and to the message log.
#pragma once
#include <cstdint>

// Appends a NUL-terminated line (ending in "\r\n") to the output area in
// `colour` (0x00BBGGRR), or in OuArea_TextColor when OuArea_TextColor_Force
// begins with "Y". While logging is on, the line is then written to the log,
// also when the output area was full and did not show it. A failed write
// closes the log and ends logging; the status bar keeps its "LOG".
void AppendOutputLine(const char* line, uint32_t colour);
