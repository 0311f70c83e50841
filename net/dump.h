// The debug dump of datagrams into the message log (Debug setting "Y").
//
// Numbers are printed as the field's bytes read little-endian, without
// conversion from network order (len 68 prints as 4400). The 16-bit len,
// kind, num and an entry's cnt are sign-extended to 32 bits first, so a
// reading of 0x8000 or more prints as ffff....; allCount and the colours are not.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/local_clock.h"

enum class DumpDirection { Sent, Received };

struct DumpContext {
    LocalTime now;
    // For a chat datagram: the stored message counter of the peer-table entry
    // with the datagram's addr, when there is one; and the own message counter.
    bool has_table_count = false;
    int16_t table_count = 0;
    int16_t my_count = 0;
};

// The texts to write, each a whole dump block. Only `length` bytes of
// `datagram` are read; everything past them reads as zero, as it does in the
// zero-filled receive buffer (so a KIND_END prints one entry of zeros). Entry
// blocks are printed for i = 1 .. min(num, 30). Texts of Head, from and cond
// end at their NUL or at the end of their field (the 16-byte header for Head).
std::vector<std::string> DumpTexts(DumpDirection direction, const uint8_t* datagram, int length,
                                   uint32_t destination, const DumpContext& context);

// Where the dump's texts go: the message log's writer, wired in by the
// program, which writes only while logging is on. Without one nothing is
// written.
using DumpWriter = bool (*)(const char* bytes, size_t count);
void SetDumpWriter(DumpWriter writer);

// Builds the texts and hands them to the writer.
// `destination` is used for a sent datagram.
void DumpDatagram(DumpDirection direction, const uint8_t* datagram, int length,
                  uint32_t destination);
