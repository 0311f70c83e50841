// Texts cross the boundary between the driver and the test scripts as the
// hexadecimal digits of their raw bytes (CP932 at run time), so that nothing
// is converted on the way and tests compare bytes. An empty text is "-".
#pragma once
#include <string>

std::string ToHex(const std::string& bytes);

// False when the argument is neither "-" nor an even run of hex digits.
bool FromHex(const std::string& hex, std::string* bytes);
