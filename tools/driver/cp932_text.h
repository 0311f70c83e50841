// The driver reads and sets the program's texts with the wide functions and
// converts them with code page 932 itself, never with the system's code page,
// so that the test scripts get the same CP932 bytes whatever locale Wine runs
// in.
#pragma once
#include <string>

std::string Cp932FromUtf16(const std::wstring& wide);
std::wstring Utf16FromCp932(const std::string& cp932);
