// Shift-JIS (code page 932) character boundaries. A double-byte character is a
// lead byte (0x81-0x9F or 0xE0-0xFC) and one trail byte; the trail byte may be
// any of 0x40-0xFC, including the ASCII codes of '\\', ']', '[' and letters,
// so text is scanned character by character, never byte by byte.
#pragma once
#include <cstddef>

inline bool IsCp932LeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Bytes of the first character of text (which holds `length` bytes): 2 for a
// lead byte followed by another byte, else 1.
inline size_t Cp932CharBytes(const char* text, size_t length) {
    return (length >= 2 && IsCp932LeadByte(static_cast<unsigned char>(text[0]))) ? 2 : 1;
}

// The longest prefix of text (length bytes) of at most `limit` bytes that does
// not end inside a double-byte character.
inline size_t Cp932Cut(const char* text, size_t length, size_t limit) {
    size_t at = 0;
    while (at < length) {
        size_t step = Cp932CharBytes(text + at, length - at);
        if (at + step > limit) break;
        at += step;
    }
    return at;
}

// The length of text (length bytes) without a final lone lead byte, the first
// half of a character whose second half was cut off.
inline size_t Cp932WholeLength(const char* text, size_t length) {
    size_t at = 0, last = 0;
    while (at < length) {
        last = at;
        at += Cp932CharBytes(text + at, length - at);
    }
    if (length > 0 && last == length - 1 && IsCp932LeadByte(static_cast<unsigned char>(text[last]))) {
        return last;
    }
    return length;
}
