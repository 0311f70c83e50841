#include "tools/driver/cp932_text.h"

#include <windows.h>

namespace {
constexpr UINT kCp932 = 932;
}

std::string Cp932FromUtf16(const std::wstring& wide) {
    if (wide.empty()) return std::string();
    const int length = static_cast<int>(wide.size());
    const int size = WideCharToMultiByte(kCp932, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return std::string();
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(kCp932, 0, wide.data(), length, bytes.data(), size, nullptr, nullptr);
    return bytes;
}

std::wstring Utf16FromCp932(const std::string& cp932) {
    if (cp932.empty()) return std::wstring();
    const int length = static_cast<int>(cp932.size());
    const int size = MultiByteToWideChar(kCp932, 0, cp932.data(), length, nullptr, 0);
    if (size <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(kCp932, 0, cp932.data(), length, wide.data(), size);
    return wide;
}
