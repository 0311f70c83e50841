#include "net/dump.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "net/counters.h"
#include "net/datagram.h"
#include "net/peer_table.h"
#include "platform/platform.h"

namespace {

DumpWriter g_writer = nullptr;

void AppendFormat(std::string* out, const char* format, ...) {
    char line[128];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    if (n > 0) out->append(line, std::min(static_cast<size_t>(n), sizeof line - 1));
}

// Raw little-endian readings of a field, as the dump prints them.
uint32_t RawU32(const uint8_t* p) {
    return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}
unsigned RawU16(const uint8_t* p) { return p[0] | (p[1] << 8); }
// Sign-extended to 32 bits, printed as unsigned so that %x shows ffff....
unsigned RawS16(const uint8_t* p) {
    return static_cast<unsigned>(static_cast<int>(static_cast<int16_t>(RawU16(p))));
}

// A text field: up to its NUL or the end of the field.
std::string FieldText(const uint8_t* p, size_t field) {
    const char* text = reinterpret_cast<const char*>(p);
    return std::string(text, BoundedLength(text, field));
}

std::string HeaderLines(DumpDirection direction, const uint8_t* d, uint32_t destination,
                        const LocalTime& now) {
    std::string text;
    AppendFormat(&text, "[%02d/%02d %02d:%02d] ", now.month, now.day, now.hour, now.minute);
    if (direction == DumpDirection::Sent) {
        uint8_t dest[4];
        WriteAddress(dest, destination);
        text += "\r\n*** 送信 ***\r\n";
        AppendFormat(&text, "宛先: %04x\r\n", RawU32(dest));
    } else {
        text += "\r\n*** 受信 ***\r\n";
    }
    text += "Head: " + FieldText(d + kOffsetHead, kHeaderSize) + "\r\n";
    AppendFormat(&text, "len:  %04x\r\n", RawS16(d + kOffsetLen));
    AppendFormat(&text, "kind: %04x\r\n", RawS16(d + kOffsetKind));
    AppendFormat(&text, "addr: %08x\r\n", RawU32(d + kOffsetAddr));
    AppendFormat(&text, "num:  %04x\r\n", RawS16(d + kOffsetNum));
    AppendFormat(&text, "allCount: %04x\r\n", RawU16(d + kOffsetAllCount));
    return text;
}

void AppendEntryLines(std::string* text, int number, const uint8_t* e) {
    AppendFormat(text, "番号: %0d\r\n", number);
    AppendFormat(text, "addr: %08x\r\n", RawU32(e + kEntryOffsetAddr));
    *text += "from: " + FieldText(e + kEntryOffsetFrom, kNameFieldSize) + "\r\n";
    AppendFormat(text, "color.red: %04x\r\n", RawU16(e + kEntryOffsetRed));
    AppendFormat(text, "color.green: %04x\r\n", RawU16(e + kEntryOffsetGreen));
    AppendFormat(text, "color.blue: %04x\r\n", RawU16(e + kEntryOffsetBlue));
    AppendFormat(text, "cnt: %04x\r\n", RawS16(e + kEntryOffsetCnt));
    *text += "cond: " + FieldText(e + kEntryOffsetCond, kStatusFieldSize) + "\r\n";
    *text += "\r\n";
}

}  // namespace

std::vector<std::string> DumpTexts(DumpDirection direction, const uint8_t* datagram, int length,
                                   uint32_t destination, const DumpContext& context) {
    // A zero-filled copy of what may be read: fields past the bytes given read as 0.
    static_assert(kMaxDatagramSize % 4 == 0);
    uint8_t d[kMaxDatagramSize] = {};
    if (datagram != nullptr && length > 0)
        std::memcpy(d, datagram, std::min(length, kMaxDatagramSize));

    std::vector<std::string> texts;
    DatagramHeader header = ReadHeader(d, kMaxDatagramSize);
    std::string head = HeaderLines(direction, d, destination, context.now);
    switch (header.kind) {
        case KIND_CHAT: {
            AppendFormat(&head, "text-cont: %08x\r\n", RawU32(d + kHeaderSize));
            if (context.has_table_count)
                AppendFormat(&head, "tabel-cont: %08x\r\n",
                             static_cast<unsigned>(static_cast<int>(context.table_count)));
            AppendFormat(&head, "my cont: %04x\r\n",
                         static_cast<unsigned>(static_cast<int>(context.my_count)));
            texts.push_back(head);
            break;
        }
        case KIND_START:
        case KIND_USERLIST:
        case KIND_END:
        case KIND_STATUS:
        case KIND_CHECK: {
            int entries = std::min<int>(header.num, kMaxUserEntries);
            for (int i = 1; i <= entries; ++i) {
                std::string text = head;
                AppendEntryLines(&text, i, d + kHeaderSize + (i - 1) * kUserEntrySize);
                texts.push_back(text);
            }
            break;
        }
        default:
            break;
    }
    return texts;
}

void SetDumpWriter(DumpWriter writer) { g_writer = writer; }

void DumpDatagram(DumpDirection direction, const uint8_t* datagram, int length,
                  uint32_t destination) {
    if (g_writer == nullptr) return;
    DumpContext context;
    if (g_platform.clock != nullptr) context.now = g_platform.clock->Now();
    if (ReadKind(datagram, length) == KIND_CHAT) {
        int i = FindPeerByAddress(ReadHeader(datagram, length).addr);
        if (i >= 0) {
            context.has_table_count = true;
            context.table_count = g_peer_table.entries[i].cnt;
        }
        context.my_count = MessageCounter();
    }
    for (const std::string& text : DumpTexts(direction, datagram, length, destination, context))
        g_writer(text.data(), text.size());
}
