// The console speaks UTF-8; the program's texts are CP932 bytes.
#pragma once
#include <string>

std::string Cp932ToUtf8(const std::string& text);
std::string Utf8ToCp932(const std::string& text);
