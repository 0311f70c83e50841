// The message log file (Mosslog.txt), opened for appending in binary mode.
// Failures are reported through the internal-error report (operation 0x001F).
#pragma once
#include <cstddef>

// Logging on or off, the switch every part of the program uses: on opens the
// log at `path` for appending unless it is open, off closes it unless it is
// closed. True when logging is then as asked; a log that cannot be opened is
// reported and logging stays off.
bool SwitchLogging(bool on, const char* path);
// True while the log is open.
bool LoggingOn();
// Deletes the log file at `path`; while logging, a new empty log follows.
// False when that new log could not be opened: logging is then off.
bool DeleteLog(const char* path);

// Writes the bytes to the open log, flushed at once. A write that fails is
// reported and gives false; so does a write while logging is off.
bool LogWrite(const char* bytes, size_t count);
// The same, except that while logging is off nothing is written and nothing
// reported (for the datagram dump, which writes only while logging).
bool LogWriteWhileOn(const char* bytes, size_t count);
void LogFlush();

// The steps under the switch; opening an open log and closing a closed one
// are reported as failures.
bool LogOpen(const char* path);
bool LogClose();
