#include "console/text_codec.h"

#include <iconv.h>

namespace {

// Converts with iconv; a byte that cannot be converted is replaced by '?', so
// a peer's broken text never stops the console from printing.
std::string Convert(const char* to, const char* from, const std::string& text) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return text;
    std::string out;
    char buffer[256];
    char* in = const_cast<char*>(text.data());
    size_t in_left = text.size();
    while (in_left > 0) {
        char* o = buffer;
        size_t out_left = sizeof buffer;
        size_t r = iconv(cd, &in, &in_left, &o, &out_left);
        out.append(buffer, static_cast<size_t>(o - buffer));
        if (r == static_cast<size_t>(-1) && out_left == sizeof buffer) {
            // Neither progress nor a full buffer: an invalid or cut sequence.
            out.push_back('?');
            ++in;
            --in_left;
        }
    }
    iconv_close(cd);
    return out;
}

}  // namespace

std::string Cp932ToUtf8(const std::string& text) { return Convert("UTF-8", "CP932", text); }
std::string Utf8ToCp932(const std::string& text) { return Convert("CP932", "UTF-8", text); }
