// The datagram format: the 16-byte header, the 52-byte user entry, the nine
// kinds and their bodies. Every integer on the wire is big-endian; addresses
// are kept in network order (the bytes as they stand on the wire).
//
// Builders write into a caller's buffer, zero-filled first, and return the
// datagram's length. Readers take the bytes received and never look past them:
// the bytes of a field that lie beyond the bytes received read as 0 (a field
// cut in the middle keeps the bytes that came), a received
// text ends at its NUL, at the end of its field or at the end of the bytes
// received, whichever comes first.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/inet_address.h"

// Datagram kinds.
constexpr int16_t KIND_START = 1;
constexpr int16_t KIND_USERLIST = 2;
constexpr int16_t KIND_END = 3;
constexpr int16_t KIND_CHAT = 4;
constexpr int16_t KIND_STATUS = 5;
constexpr int16_t KIND_POPUP = 6;
constexpr int16_t KIND_RESP = 7;
constexpr int16_t KIND_BOARD = 8;
constexpr int16_t KIND_CHECK = 100;

// Sizes.
constexpr int kHeaderSize = 16;
constexpr int kUserEntrySize = 52;
constexpr int kMaxUserEntries = 30;
constexpr int kMaxDatagramSize = kHeaderSize + kMaxUserEntries * kUserEntrySize;  // 1576
constexpr int kOwnEntryDatagramSize = kHeaderSize + kUserEntrySize;               // 68
constexpr int kEndDatagramSize = kHeaderSize;
constexpr int kMessageTextOffset = 20;   // chat and popup text
constexpr int kMaxMessageText = 255;     // bytes of text, without its NUL
constexpr int kMessageBufferSize = 276;  // header, text-cont, 256 bytes of text
constexpr int kRespSize = 25;
constexpr int kBoardSize = 436;
constexpr int kMaxBoardPoints = 100;

// Header field offsets.
constexpr int kOffsetHead = 0;
constexpr int kOffsetLen = 4;
constexpr int kOffsetKind = 6;
constexpr int kOffsetAddr = 8;
constexpr int kOffsetNum = 12;
constexpr int kOffsetAllCount = 14;

// User entry field offsets and sizes.
constexpr int kEntryOffsetAddr = 0;
constexpr int kEntryOffsetFrom = 4;
constexpr int kEntryOffsetRed = 24;
constexpr int kEntryOffsetGreen = 26;
constexpr int kEntryOffsetBlue = 28;
constexpr int kEntryOffsetCnt = 30;
constexpr int kEntryOffsetCond = 32;
constexpr int kNameFieldSize = 20;
constexpr int kStatusFieldSize = 20;
constexpr int kStatusUsedBytes = 14;  // receivers zero status bytes 14 and 15

// Big-endian integers.
uint16_t ReadU16BE(const uint8_t* p);
uint32_t ReadU32BE(const uint8_t* p);
void WriteU16BE(uint8_t* p, uint16_t value);
void WriteU32BE(uint8_t* p, uint32_t value);

// IPv4 addresses in network order: the four bytes as they stand, first octet
// first, held in a uint32_t the way inet_addr returns them.
uint32_t ReadAddress(const uint8_t* p);
void WriteAddress(uint8_t* p, uint32_t address);
// Their octets and text: platform/inet_address.h.

// The header, in host order.
struct DatagramHeader {
    uint16_t len = 0;
    int16_t kind = 0;
    uint32_t addr = 0;  // network order
    uint16_t num = 0;
    uint16_t allCount = 0;
};

// Reads the header from the bytes received; missing bytes read as 0.
DatagramHeader ReadHeader(const uint8_t* datagram, int length);
int16_t ReadKind(const uint8_t* datagram, int length);

// Writes "K001", then len (over the string's NUL), kind, addr, num, allCount.
void WriteHeader(uint8_t* datagram, uint16_t len, int16_t kind, uint32_t addr, uint16_t num,
                 uint16_t allCount);

// A user entry in host order; texts as fixed fields.
struct UserEntry {
    uint32_t addr = 0;  // network order
    char from[kNameFieldSize] = {};
    uint16_t red = 0, green = 0, blue = 0;  // component x 256
    int16_t cnt = 0;                        // message counter
    char cond[kStatusFieldSize] = {};
};

void WriteUserEntry(uint8_t* at, const UserEntry& entry);
// The 52 bytes at `at`, taken as they are.
UserEntry ReadUserEntry(const uint8_t* at);

// The number of user entries a received datagram of kind 1, 2, 5 or 100
// carries: `num`, bounded by the entries lying wholly within the bytes
// received and by the 30 a table holds.
int ReceivedEntryCount(const uint8_t* datagram, int length);

// Entry `index` (from 0) of a received datagram, prepared for storing: the
// name ends at byte 19 at the latest and status bytes 14 and 15 are zero. False
// when the entry does not lie wholly within the bytes received.
bool ReadReceivedEntry(const uint8_t* datagram, int length, int index, UserEntry* entry);

// The one entry a KIND_STATUS carries, prepared the same way, whatever its
// `num` says. False when it does not lie wholly within the bytes received.
bool ReadCarriedEntry(const uint8_t* datagram, int length, UserEntry* entry);

// Colours: a component c travels as c x 256; `colour` is 0x00BBGGRR.
uint16_t ColourField(uint8_t component);
uint8_t ColourComponent(uint16_t field);
void SetEntryColour(UserEntry* entry, uint32_t colour);
uint32_t EntryColour(const UserEntry& entry);

// Kinds 1, 2, 5 and 100: the header with num = count, then the entries.
// Returns the length, or 0 when count is outside 1..30 or the buffer is too small.
int BuildEntryDatagram(uint8_t* buf, int capacity, int16_t kind, uint32_t addr, uint16_t allCount,
                       const UserEntry* entries, int count);

// KIND_END: the header alone, num 1. `buf` holds 16 bytes.
int BuildEndDatagram(uint8_t* buf, uint32_t addr, uint16_t allCount);

// KIND_CHAT and KIND_POPUP: `buf` holds kMessageBufferSize bytes. The text is
// cut to 255 bytes; a popup's number field is 0.
int BuildChatDatagram(uint8_t* buf, uint32_t addr, uint16_t allCount, int16_t message_number,
                      const char* text, size_t text_length);
int BuildPopupDatagram(uint8_t* buf, uint32_t addr, uint16_t allCount, const char* text,
                       size_t text_length);

// The text of a received chat or popup datagram (up to its NUL, 255 bytes and
// the bytes received), and the low 16 bits of the chat's number as a signed value.
std::string_view MessageText(const uint8_t* datagram, int length);
int16_t ChatMessageNumber(const uint8_t* datagram, int length);

// Rewrites a received datagram in place into its acknowledgement: len 25,
// kind 7, addr `own_address`, num 5, "Resp" and a NUL at 20; allCount and
// bytes 16 to 19 stay. `datagram` must hold at least 25 bytes.
void MakeResp(uint8_t* datagram, uint32_t own_address);

// A whiteboard stroke or clear.
struct BoardStroke {
    uint8_t red = 0, green = 0, blue = 0;
    uint16_t width = 0;
    uint16_t count = 0;  // points used, at most 100
    uint16_t clear = 0;  // 1: clear the whole whiteboard
    uint16_t x[kMaxBoardPoints] = {};
    uint16_t y[kMaxBoardPoints] = {};
};

// `buf` holds kBoardSize bytes. Points beyond 100 are not written.
int BuildBoardDatagram(uint8_t* buf, uint32_t addr, uint16_t allCount, const BoardStroke& stroke);
// The point count is cut to 100; points beyond the bytes received read as 0.
BoardStroke ReadBoardDatagram(const uint8_t* datagram, int length);

// Length of a text in a field: up to its NUL, at most `limit` bytes.
size_t BoundedLength(const char* text, size_t limit);
// Copies a text of at most `limit` bytes into dst (size dst_size), cut to fit
// and always NUL-terminated.
void CopyBoundedText(char* dst, size_t dst_size, const char* src, size_t limit);
