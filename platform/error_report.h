// The internal-error report: (operation code, 0, step code, 0), shown only
// when the Debug setting begins with "Y".
#pragma once
#include <cstdint>
#include <string>

// Operation codes of the reporting operations.
enum : uint16_t {
    OP_SOCKET_SETUP = 0x0002,
    OP_APPLY_BASE = 0x0005,
    OP_APPLY_DISPLAY = 0x0006,
    OP_APPLY_NETWORK = 0x0007,
    OP_APPLY_SENDRECV = 0x0008,
    OP_OPEN_SETTINGS = 0x0015,
    OP_RECEIVE = 0x001E,
    OP_LOG_FILE = 0x001F,
    OP_USER_CHECK = 0x0021,
    OP_END_ANNOUNCE = 0x0023,
    OP_SEND_MESSAGE = 0x0024,
    OP_ACKNOWLEDGE = 0x0025,
    OP_CHECK_REPLY = 0x0026,
    OP_OWN_CHANGE = 0x0027,
    OP_WHOLE_TABLE = 0x0028,
    OP_START_SEQUENCE = 0x0029,
};

// "内部エラーが発生しました。 エラーコード = %04x : %04x : %04x : %04x"
std::string FormatInternalError(uint16_t c1, uint16_t c2, uint16_t c3, uint16_t c4);

// Shows the report through the views when Debug begins with "Y".
void ReportInternalError(uint16_t operation, uint16_t step);
