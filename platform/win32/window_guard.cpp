#include "platform/win32/window_guard.h"

#include "platform/error_report.h"

void ReportFailedMessage(UINT message) noexcept {
    // The report itself may fail (no memory for its text, a box that cannot
    // be shown); the message is answered all the same.
    try {
        ReportInternalError(OP_WINDOW_MESSAGE, static_cast<uint16_t>(message));
    } catch (...) {
    }
}
