// The message log file (Mosslog.txt), opened for appending in binary mode.
// Failures are reported through the internal-error report (operation 0x001F).
#pragma once
#include <cstddef>

bool LogOpen(const char* path);
bool LogWrite(const char* bytes, size_t count);
bool LogClose();
void LogFlush();
bool LogIsOpen();
