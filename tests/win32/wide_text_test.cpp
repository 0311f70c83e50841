// The two conversions between the program's CP932 text and the UTF-16 of its
// windows. They use code page 932 whatever the system's code page, so these
// run under every locale the tests use.
#include <gtest/gtest.h>

#include <windows.h>

#include <iterator>
#include <string>
#include <vector>

#include "platform/win32/wide_text.h"

namespace {

// Byte pairs with a second code for the same character (NEC's and IBM's
// extensions repeat some characters): Windows converts the character back to
// the other, preferred code.
struct CodeRange {
    unsigned first, last;
};
const CodeRange kRepeatedCodes[] = {{0x8790, 0x879C}, {0xED40, 0xEEFC}, {0xFA4A, 0xFA5B}};

bool IsRepeatedCode(unsigned code) {
    for (const CodeRange& range : kRepeatedCodes) {
        if (code >= range.first && code <= range.last) return true;
    }
    return false;
}

// One character CP932 defines: the bytes convert to exactly one UTF-16 unit.
bool Defined(const std::string& bytes) {
    return MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), nullptr,
                               0) == 1;
}

TEST(WideText, EveryCp932CharacterComesBack) {
    std::vector<std::string> characters;
    for (unsigned byte = 1; byte <= 0xFF; ++byte) characters.push_back(std::string(1, static_cast<char>(byte)));
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
            characters.push_back({static_cast<char>(lead), static_cast<char>(trail)});
        }
    }
    int defined = 0, repeated = 0;
    for (const std::string& bytes : characters) {
        if (!Defined(bytes)) continue;
        ++defined;
        const std::wstring wide = WideFromCp932(bytes);
        ASSERT_EQ(wide.size(), 1u) << std::hex << static_cast<int>(static_cast<unsigned char>(bytes[0]));
        const std::string back = Cp932FromWide(wide);
        unsigned code = 0;
        for (char c : bytes) code = code << 8 | static_cast<unsigned char>(c);
        if (back == bytes) continue;
        // A repeated code comes back as the preferred code of the same character.
        ++repeated;
        EXPECT_TRUE(IsRepeatedCode(code)) << std::hex << code;
        EXPECT_EQ(WideFromCp932(back), wide) << std::hex << code;
        EXPECT_EQ(Cp932FromWide(WideFromCp932(back)), back) << std::hex << code;
    }
    // 191 single bytes at the least, and 9604 pairs: JIS X 0208 with NEC's and
    // IBM's extensions (7724) and the user-defined area (1880); 398 of them
    // repeat a character.
    EXPECT_GE(defined, 191 + 9604);
    EXPECT_EQ(repeated, 398);
}

TEST(WideText, CutEndsAtAWholeCharacter) {
    // "a", "ア" (0x83 0x41), "表" (0x95 0x5C), "b": ends after 1, 3, 5 and 6 bytes.
    const std::wstring text = L"a\u30A2\u8868b";
    const std::string whole = Cp932FromWide(text);
    ASSERT_EQ(whole, "aア表b");
    const size_t kept[] = {0, 1, 1, 3, 3, 5, 6, 6};
    for (size_t limit = 0; limit < std::size(kept); ++limit) {
        EXPECT_EQ(Cp932FromWide(text, limit), whole.substr(0, kept[limit])) << limit;
    }
}

// Simplified Chinese characters and an emoji, between characters CP932 holds.
// An emoji is two UTF-16 units; Wine gives a "?" for each.
TEST(WideText, WhatCp932CannotHoldBecomesQuestionMarks) {
    EXPECT_EQ(Cp932FromWide(L"日本\u7B80\u8FD9体"), "日本??体");
    const std::string emoji = Cp932FromWide(L"a\U0001F600b");
    EXPECT_TRUE(emoji == "a?b" || emoji == "a??b") << emoji;
}

}  // namespace
