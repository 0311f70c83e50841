#include "platform/win32/byte_limit.h"

#include <memory>
#include <string>

#include "platform/win32/wide_text.h"
#include "platform/win32/window_guard.h"

namespace {

struct ByteLimit : SubclassRecord {
    static constexpr wchar_t kProperty[] = L"Mosswick.ByteLimit";
    size_t bytes = 0;
    std::wstring kept;       // the last text within the limit
    DWORD kept_start = 0, kept_end = 0;
    bool restoring = false;  // our own WM_SETTEXT while putting the text back
};

std::wstring TextOf(HWND edit) {
    const int length = GetWindowTextLengthW(edit);
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    const int got = GetWindowTextW(edit, text.data(), length + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

// A character takes at most two CP932 bytes: a text of no more characters
// than half the limit always fits, and needs no conversion to tell.
bool Fits(const ByteLimit& limit, const std::wstring& text) {
    if (text.size() * 2 <= limit.bytes) return true;
    return Cp932FromWide(text).size() <= limit.bytes;
}

// The text a WM_SETTEXT asks for, cut at the last whole character that fits.
std::wstring CutToLimit(const ByteLimit& limit, const wchar_t* text) {
    std::wstring wide = text != nullptr ? text : L"";
    if (Fits(limit, wide)) return wide;
    return WideFromCp932(Cp932FromWide(wide, limit.bytes));
}

void Keep(ByteLimit& limit, HWND edit, std::wstring text) {
    limit.kept = std::move(text);
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&limit.kept_start), reinterpret_cast<LPARAM>(&limit.kept_end));
}

// After a message that may have changed the text: a text past the limit goes
// back to the last one within it, caret and selection as they were.
void Check(ByteLimit& limit, HWND edit) {
    std::wstring text = TextOf(edit);
    if (text == limit.kept) return;
    if (Fits(limit, text)) {
        Keep(limit, edit, std::move(text));
        return;
    }
    limit.restoring = true;
    SetWindowTextW(edit, limit.kept.c_str());
    SendMessageW(edit, EM_SETSEL, limit.kept_start, limit.kept_end);
    limit.restoring = false;
    MessageBeep(MB_OK);
}

bool MayChangeText(UINT message) {
    switch (message) {
        case WM_CHAR: case WM_IME_CHAR: case WM_IME_COMPOSITION: case WM_IME_ENDCOMPOSITION:
        case WM_PASTE: case WM_CUT: case WM_CLEAR: case WM_UNDO: case EM_UNDO: case EM_REPLACESEL:
        case WM_KEYDOWN:
            return true;
        default:
            return false;
    }
}

LRESULT ByteLimitMessage(ByteLimit& limit, HWND edit, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_SETTEXT && !limit.restoring) {
        const std::wstring cut = CutToLimit(limit, reinterpret_cast<const wchar_t*>(lparam));
        LRESULT result = CallPrevious(limit, edit, message, wparam, reinterpret_cast<LPARAM>(cut.c_str()));
        Keep(limit, edit, cut);
        return result;
    }
    LRESULT result = CallPrevious(limit, edit, message, wparam, lparam);
    if (!limit.restoring && MayChangeText(message)) Check(limit, edit);
    return result;
}

}  // namespace

bool LimitEditToCp932Bytes(HWND edit, size_t bytes) {
    if (edit == nullptr) return false;
    auto record = std::make_unique<ByteLimit>();
    record->bytes = bytes;
    ByteLimit* limit = SubclassWithRecord<ByteLimit, ByteLimitMessage>(edit, std::move(record));
    if (limit == nullptr) return false;
    // A character takes at least one byte: the control never needs more room.
    SendMessageW(edit, EM_LIMITTEXT, bytes, 0);
    Keep(*limit, edit, CutToLimit(*limit, TextOf(edit).c_str()));
    if (limit->kept != TextOf(edit)) SetWindowTextW(edit, limit->kept.c_str());
    return true;
}
