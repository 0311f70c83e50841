#include "platform/win32/profile_store_win32.h"

#include "platform/win32/wide_text.h"

void Win32ProfileStore::PrepareForReading(std::string* text) { *text = Cp932FromWide(WideFromCp932(*text)); }
