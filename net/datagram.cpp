#include "net/datagram.h"

#include <algorithm>
#include <cstring>

uint16_t ReadU16BE(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }

uint32_t ReadU32BE(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

void WriteU16BE(uint8_t* p, uint16_t value) {
    p[0] = static_cast<uint8_t>(value >> 8);
    p[1] = static_cast<uint8_t>(value);
}

void WriteU32BE(uint8_t* p, uint32_t value) {
    p[0] = static_cast<uint8_t>(value >> 24);
    p[1] = static_cast<uint8_t>(value >> 16);
    p[2] = static_cast<uint8_t>(value >> 8);
    p[3] = static_cast<uint8_t>(value);
}

uint32_t ReadAddress(const uint8_t* p) {
    uint32_t address;
    std::memcpy(&address, p, 4);
    return address;
}

void WriteAddress(uint8_t* p, uint32_t address) { std::memcpy(p, &address, 4); }


namespace {

// The first `count` bytes of a received datagram that lie within its length,
// copied into a zero-filled block, so that fields beyond the end read as 0.
template <size_t N>
void CopyPrefix(uint8_t (&block)[N], const uint8_t* datagram, int length, int offset = 0) {
    std::memset(block, 0, N);
    if (datagram == nullptr || length <= offset) return;
    size_t available = static_cast<size_t>(length - offset);
    std::memcpy(block, datagram + offset, std::min(N, available));
}

}  // namespace

DatagramHeader ReadHeader(const uint8_t* datagram, int length) {
    uint8_t h[kHeaderSize];
    CopyPrefix(h, datagram, length);
    DatagramHeader header;
    header.len = ReadU16BE(h + kOffsetLen);
    header.kind = static_cast<int16_t>(ReadU16BE(h + kOffsetKind));
    header.addr = ReadAddress(h + kOffsetAddr);
    header.num = ReadU16BE(h + kOffsetNum);
    header.allCount = ReadU16BE(h + kOffsetAllCount);
    return header;
}

int16_t ReadKind(const uint8_t* datagram, int length) { return ReadHeader(datagram, length).kind; }

void WriteHeader(uint8_t* datagram, uint16_t len, int16_t kind, uint32_t addr, uint16_t num,
                 uint16_t allCount) {
    std::memcpy(datagram + kOffsetHead, "K001", 5);  // len overwrites the NUL
    WriteU16BE(datagram + kOffsetLen, len);
    WriteU16BE(datagram + kOffsetKind, static_cast<uint16_t>(kind));
    WriteAddress(datagram + kOffsetAddr, addr);
    WriteU16BE(datagram + kOffsetNum, num);
    WriteU16BE(datagram + kOffsetAllCount, allCount);
}

void WriteUserEntry(uint8_t* at, const UserEntry& entry) {
    WriteAddress(at + kEntryOffsetAddr, entry.addr);
    std::memcpy(at + kEntryOffsetFrom, entry.from, kNameFieldSize);
    WriteU16BE(at + kEntryOffsetRed, entry.red);
    WriteU16BE(at + kEntryOffsetGreen, entry.green);
    WriteU16BE(at + kEntryOffsetBlue, entry.blue);
    WriteU16BE(at + kEntryOffsetCnt, static_cast<uint16_t>(entry.cnt));
    std::memcpy(at + kEntryOffsetCond, entry.cond, kStatusFieldSize);
}

UserEntry ReadUserEntry(const uint8_t* at) {
    UserEntry entry;
    entry.addr = ReadAddress(at + kEntryOffsetAddr);
    std::memcpy(entry.from, at + kEntryOffsetFrom, kNameFieldSize);
    entry.red = ReadU16BE(at + kEntryOffsetRed);
    entry.green = ReadU16BE(at + kEntryOffsetGreen);
    entry.blue = ReadU16BE(at + kEntryOffsetBlue);
    entry.cnt = static_cast<int16_t>(ReadU16BE(at + kEntryOffsetCnt));
    std::memcpy(entry.cond, at + kEntryOffsetCond, kStatusFieldSize);
    return entry;
}

int ReceivedEntryCount(const uint8_t* datagram, int length) {
    if (length <= kHeaderSize) return 0;
    int whole = (length - kHeaderSize) / kUserEntrySize;
    int num = ReadHeader(datagram, length).num;
    return std::min({num, whole, kMaxUserEntries});
}

namespace {
// The entry at `at`, ready to store: a name of 20 bytes without its NUL is cut
// to 19; only 14 status bytes count.
UserEntry ReadEntryForStoring(const uint8_t* at) {
    UserEntry entry = ReadUserEntry(at);
    entry.from[kNameFieldSize - 1] = 0;
    entry.cond[kStatusUsedBytes] = 0;
    entry.cond[kStatusUsedBytes + 1] = 0;
    return entry;
}
}  // namespace

bool ReadReceivedEntry(const uint8_t* datagram, int length, int index, UserEntry* entry) {
    if (index < 0 || index >= ReceivedEntryCount(datagram, length)) return false;
    *entry = ReadEntryForStoring(datagram + kHeaderSize + index * kUserEntrySize);
    return true;
}

bool ReadCarriedEntry(const uint8_t* datagram, int length, UserEntry* entry) {
    if (length < kOwnEntryDatagramSize) return false;
    *entry = ReadEntryForStoring(datagram + kHeaderSize);
    return true;
}

uint16_t ColourField(uint8_t component) { return static_cast<uint16_t>(component << 8); }

uint8_t ColourComponent(uint16_t field) { return static_cast<uint8_t>(field >> 8); }

void SetEntryColour(UserEntry* entry, uint32_t colour) {
    entry->red = ColourField(static_cast<uint8_t>(colour));
    entry->green = ColourField(static_cast<uint8_t>(colour >> 8));
    entry->blue = ColourField(static_cast<uint8_t>(colour >> 16));
}

uint32_t EntryColour(const UserEntry& entry) {
    return uint32_t{ColourComponent(entry.red)} | (uint32_t{ColourComponent(entry.green)} << 8) |
           (uint32_t{ColourComponent(entry.blue)} << 16);
}

int BuildEntryDatagram(uint8_t* buf, int capacity, int16_t kind, uint32_t addr, uint16_t allCount,
                       const UserEntry* entries, int count) {
    if (count < 1 || count > kMaxUserEntries) return 0;
    int length = kHeaderSize + count * kUserEntrySize;
    if (capacity < length) return 0;
    std::memset(buf, 0, static_cast<size_t>(length));
    WriteHeader(buf, static_cast<uint16_t>(length), kind, addr, static_cast<uint16_t>(count),
                allCount);
    for (int i = 0; i < count; ++i) WriteUserEntry(buf + kHeaderSize + i * kUserEntrySize, entries[i]);
    return length;
}

int BuildEndDatagram(uint8_t* buf, uint32_t addr, uint16_t allCount) {
    std::memset(buf, 0, kEndDatagramSize);
    WriteHeader(buf, kEndDatagramSize, KIND_END, addr, 1, allCount);
    return kEndDatagramSize;
}

namespace {

int BuildMessageDatagram(uint8_t* buf, int16_t kind, uint32_t addr, uint16_t allCount,
                         uint32_t number, const char* text, size_t text_length) {
    size_t n = std::min(text_length, static_cast<size_t>(kMaxMessageText));
    if (text == nullptr) n = 0;
    int length = static_cast<int>(n) + kMessageTextOffset + 1;
    std::memset(buf, 0, kMessageBufferSize);
    WriteHeader(buf, static_cast<uint16_t>(length), kind, addr, static_cast<uint16_t>(n), allCount);
    WriteU32BE(buf + kHeaderSize, number);
    if (n > 0) std::memcpy(buf + kMessageTextOffset, text, n);
    return length;
}

}  // namespace

int BuildChatDatagram(uint8_t* buf, uint32_t addr, uint16_t allCount, int16_t message_number,
                      const char* text, size_t text_length) {
    return BuildMessageDatagram(buf, KIND_CHAT, addr, allCount,
                                static_cast<uint32_t>(static_cast<uint16_t>(message_number)), text,
                                text_length);
}

int BuildPopupDatagram(uint8_t* buf, uint32_t addr, uint16_t allCount, const char* text,
                       size_t text_length) {
    return BuildMessageDatagram(buf, KIND_POPUP, addr, allCount, 0, text, text_length);
}

std::string_view MessageText(const uint8_t* datagram, int length) {
    if (datagram == nullptr || length <= kMessageTextOffset) return {};
    const char* text = reinterpret_cast<const char*>(datagram + kMessageTextOffset);
    size_t limit = std::min(static_cast<size_t>(length - kMessageTextOffset),
                            static_cast<size_t>(kMaxMessageText));
    return std::string_view(text, BoundedLength(text, limit));
}

int16_t ChatMessageNumber(const uint8_t* datagram, int length) {
    uint8_t field[4];
    CopyPrefix(field, datagram, length, kHeaderSize);
    return static_cast<int16_t>(ReadU32BE(field) & 0xFFFF);
}

void MakeResp(uint8_t* datagram, uint32_t own_address) {
    WriteU16BE(datagram + kOffsetLen, kRespSize);
    WriteU16BE(datagram + kOffsetKind, static_cast<uint16_t>(KIND_RESP));
    WriteAddress(datagram + kOffsetAddr, own_address);
    WriteU16BE(datagram + kOffsetNum, 5);
    std::memcpy(datagram + 20, "Resp", 5);
}

namespace {
constexpr int kBoardOffsetRed = 16;
constexpr int kBoardOffsetGreen = 18;
constexpr int kBoardOffsetBlue = 20;
constexpr int kBoardOffsetWidth = 22;
constexpr int kBoardOffsetCount = 24;
constexpr int kBoardOffsetClear = 26;
constexpr int kBoardOffsetPoints = 36;
}  // namespace

int BuildBoardDatagram(uint8_t* buf, uint32_t addr, uint16_t allCount, const BoardStroke& stroke) {
    std::memset(buf, 0, kBoardSize);
    WriteHeader(buf, kBoardSize, KIND_BOARD, addr, 0, allCount);
    WriteU16BE(buf + kBoardOffsetRed, ColourField(stroke.red));
    WriteU16BE(buf + kBoardOffsetGreen, ColourField(stroke.green));
    WriteU16BE(buf + kBoardOffsetBlue, ColourField(stroke.blue));
    WriteU16BE(buf + kBoardOffsetWidth, stroke.width);
    uint16_t count = std::min<uint16_t>(stroke.count, kMaxBoardPoints);
    WriteU16BE(buf + kBoardOffsetCount, count);
    WriteU16BE(buf + kBoardOffsetClear, stroke.clear);
    for (int i = 0; i < count; ++i) {
        WriteU16BE(buf + kBoardOffsetPoints + 4 * i, stroke.x[i]);
        WriteU16BE(buf + kBoardOffsetPoints + 4 * i + 2, stroke.y[i]);
    }
    return kBoardSize;
}

BoardStroke ReadBoardDatagram(const uint8_t* datagram, int length) {
    uint8_t b[kBoardSize];
    CopyPrefix(b, datagram, length);
    BoardStroke stroke;
    stroke.red = ColourComponent(ReadU16BE(b + kBoardOffsetRed));
    stroke.green = ColourComponent(ReadU16BE(b + kBoardOffsetGreen));
    stroke.blue = ColourComponent(ReadU16BE(b + kBoardOffsetBlue));
    stroke.width = ReadU16BE(b + kBoardOffsetWidth);
    stroke.count = std::min<uint16_t>(ReadU16BE(b + kBoardOffsetCount), kMaxBoardPoints);
    stroke.clear = ReadU16BE(b + kBoardOffsetClear);
    for (int i = 0; i < stroke.count; ++i) {
        stroke.x[i] = ReadU16BE(b + kBoardOffsetPoints + 4 * i);
        stroke.y[i] = ReadU16BE(b + kBoardOffsetPoints + 4 * i + 2);
    }
    return stroke;
}

size_t BoundedLength(const char* text, size_t limit) {
    const void* nul = std::memchr(text, 0, limit);
    return nul ? static_cast<size_t>(static_cast<const char*>(nul) - text) : limit;
}

void CopyBoundedText(char* dst, size_t dst_size, const char* src, size_t limit) {
    if (dst_size == 0) return;
    size_t n = std::min(BoundedLength(src, limit), dst_size - 1);
    std::memcpy(dst, src, n);
    std::memset(dst + n, 0, dst_size - n);
}
