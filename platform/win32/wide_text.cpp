#include "platform/win32/wide_text.h"

#include <vector>

#include "platform/cp932.h"

namespace {
constexpr UINT kCp932 = 932;
}

std::wstring WideFromCp932(std::string_view cp932) {
    const size_t whole = Cp932WholeLength(cp932.data(), cp932.size());
    if (whole == 0) return std::wstring();
    const int bytes = static_cast<int>(whole);
    const int chars = MultiByteToWideChar(kCp932, 0, cp932.data(), bytes, nullptr, 0);
    if (chars <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(chars), L'\0');
    MultiByteToWideChar(kCp932, 0, cp932.data(), bytes, wide.data(), chars);
    return wide;
}

std::string Cp932FromWide(std::wstring_view wide) {
    if (wide.empty()) return std::string();
    const int chars = static_cast<int>(wide.size());
    // The default character for what CP932 cannot hold is its "?".
    const int bytes = WideCharToMultiByte(kCp932, 0, wide.data(), chars, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return std::string();
    std::string cp932(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(kCp932, 0, wide.data(), chars, cp932.data(), bytes, nullptr, nullptr);
    return cp932;
}

std::string Cp932FromWide(std::wstring_view wide, size_t limit) {
    std::string cp932 = Cp932FromWide(wide);
    cp932.resize(Cp932Cut(cp932.data(), cp932.size(), limit));
    return cp932;
}

std::string WindowTextCp932(HWND window, size_t limit) {
    if (window == nullptr) return std::string();
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) return std::string();
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(window, buffer.data(), length + 1);
    return Cp932FromWide(std::wstring_view(buffer.data(), got > 0 ? static_cast<size_t>(got) : 0), limit);
}

std::string DialogItemTextCp932(HWND dialog, int id, size_t limit) {
    return WindowTextCp932(GetDlgItem(dialog, id), limit);
}

BOOL SetWindowTextCp932(HWND window, const char* cp932) {
    return SetWindowTextW(window, WideFromCp932(cp932).c_str());
}

BOOL SetDialogItemTextCp932(HWND dialog, int id, const char* cp932) {
    return SetDlgItemTextW(dialog, id, WideFromCp932(cp932).c_str());
}

int MessageBoxCp932(HWND owner, const char* text, const char* title, UINT type) {
    return MessageBoxW(owner, WideFromCp932(text).c_str(), WideFromCp932(title).c_str(), type);
}
