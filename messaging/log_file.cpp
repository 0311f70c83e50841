#include "messaging/log_file.h"

#include <cstdio>
#include <mutex>

#include "platform/error_report.h"
#include "platform/file_access.h"

namespace {
std::FILE* g_log = nullptr;
// The dump may write from a popup window's thread while the user-interface
// thread writes lines. Reports are raised after the mutex is released: a
// report's message box runs a message loop that may log again.
std::mutex g_log_mutex;

// Raises the report for a failed step (0 = none) and gives the result.
bool Finish(uint16_t failed_step) {
    if (failed_step == 0) return true;
    ReportInternalError(OP_LOG_FILE, failed_step);
    return false;
}
// The write under the lock: the step of its failure, or 0. A closed log is
// a failure unless `closed_is_quiet`.
uint16_t WriteOpenLog(const char* bytes, size_t count, bool closed_is_quiet) {
    std::lock_guard<std::mutex> lock(g_log_mutex);
    if (g_log == nullptr) return closed_is_quiet ? 0 : 0x30;
    // Each write is flushed, so that a full disk shows at the write that did
    // not fit and every line is on disk should the program end abruptly.
    if (std::fwrite(bytes, 1, count, g_log) < count || std::fflush(g_log) != 0) return 0x40;
    return 0;
}
}  // namespace

bool LogOpen(const char* path) {
    uint16_t failed = 0;
    {
        std::lock_guard<std::mutex> lock(g_log_mutex);
        if (g_log != nullptr) {
            failed = 0x10;
        } else {
            g_log = OpenNamedFile(path, "ab");
            if (g_log == nullptr) failed = 0x20;
        }
    }
    return Finish(failed);
}

bool LogClose() {
    uint16_t failed = 0;
    {
        std::lock_guard<std::mutex> lock(g_log_mutex);
        if (g_log == nullptr) {
            failed = 0x60;
        } else {
            if (std::fclose(g_log) != 0) failed = 0x70;
            g_log = nullptr;  // forgotten either way
        }
    }
    return Finish(failed);
}

void LogFlush() {
    std::lock_guard<std::mutex> lock(g_log_mutex);
    if (g_log != nullptr) std::fflush(g_log);
}

bool LoggingOn() {
    std::lock_guard<std::mutex> lock(g_log_mutex);
    return g_log != nullptr;
}

bool LogWrite(const char* bytes, size_t count) { return Finish(WriteOpenLog(bytes, count, false)); }

bool LogWriteWhileOn(const char* bytes, size_t count) { return Finish(WriteOpenLog(bytes, count, true)); }

bool SwitchLogging(bool on, const char* path) {
    if (on == LoggingOn()) return true;
    if (on) return LogOpen(path);
    LogClose();
    return true;  // a failed close still forgets the file: logging is off
}

bool DeleteLog(const char* path) {
    const bool logging = LoggingOn();
    SwitchLogging(false, path);
    RemoveNamedFile(path);
    return !logging || SwitchLogging(true, path);
}
