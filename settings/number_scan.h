// The leading decimal number of a stored value, read the way "%d" reads it.
#pragma once
#include <cstdint>
#include <string_view>

// Skips leading blanks, takes an optional sign and the digits that follow.
// A value that does not begin with a number gives 0; a number beyond the
// 32-bit range gives the nearest end of the range.
int32_t ScanNumber(std::string_view text);
