// Texts between the program's CP932 bytes and the UTF-16 of Windows' wide
// functions. The windows are Unicode; everything else the program keeps (the
// core, the wire, the settings file, the log) is CP932. These are the one
// place each way the two meet, and they always use code page 932, never the
// system's code page, so that the program shows and reads the same texts on a
// Japanese, English, Chinese or UTF-8 Windows.
#pragma once
#include <windows.h>

#include <cstddef>
#include <string>
#include <string_view>

// CP932 bytes as UTF-16. A lone lead byte at the end is left out; a byte
// sequence CP932 does not define becomes what Windows maps it to.
std::wstring WideFromCp932(std::string_view cp932);
// NUL-terminated CP932 as UTF-16.
inline std::wstring WideFromCp932(const char* cp932) {
    return WideFromCp932(std::string_view(cp932 != nullptr ? cp932 : ""));
}

// UTF-16 as CP932 bytes: a character CP932 cannot hold (a simplified Chinese
// character, an emoji) becomes "?", as a Japanese Windows gives it.
std::string Cp932FromWide(std::wstring_view wide);

// The same cut to at most `limit` bytes at a whole character.
std::string Cp932FromWide(std::wstring_view wide, size_t limit);

// A window's (or control's) text as CP932, at most `limit` bytes, cut at a
// whole character.
std::string WindowTextCp932(HWND window, size_t limit);
// A dialog item's text as CP932, at most `limit` bytes.
std::string DialogItemTextCp932(HWND dialog, int id, size_t limit);

// Sets a window's or dialog item's text from CP932.
BOOL SetWindowTextCp932(HWND window, const char* cp932);
BOOL SetDialogItemTextCp932(HWND dialog, int id, const char* cp932);

// MessageBoxW with CP932 text and title.
int MessageBoxCp932(HWND owner, const char* text, const char* title, UINT type);

// A resource or class name given as a narrow literal (the resources' header
// is shared with the .rc files), for the wide functions.
#define WIDE_NAME(literal) L"" literal
