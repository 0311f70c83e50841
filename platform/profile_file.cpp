#include "platform/profile_file.h"

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "platform/cp932.h"
#include "platform/file_access.h"

namespace {

// Blanks as Windows' profile functions skip them around names and values:
// ASCII white space and ^Z (the old DOS end-of-file mark).
bool IsProfileBlank(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == 0x1A;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsProfileBlank(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && IsProfileBlank(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

char FoldAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Section and key names match without regard to ASCII case. The two bytes of
// a double-byte character match only exactly: its trail byte may look like a
// letter ("ア" is 0x83 0x41) and must not be folded.
bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    size_t i = 0;
    while (i < a.size()) {
        size_t step = Cp932CharBytes(a.data() + i, a.size() - i);
        if (step == 2) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
        } else if (FoldAscii(a[i]) != FoldAscii(b[i])) {
            return false;
        }
        i += step;
    }
    return true;
}

// Position of the first (or last) single-byte character c in s, or npos.
size_t FindChar(std::string_view s, char c, bool last) {
    size_t found = std::string_view::npos;
    for (size_t i = 0; i < s.size(); i += Cp932CharBytes(s.data() + i, s.size() - i)) {
        if (s[i] == c) {
            found = i;
            if (!last) break;
        }
    }
    return found;
}

enum class LineKind { Blank, Section, Key };

struct IniLine {
    size_t begin = 0;   // first byte of the line
    size_t end = 0;     // end of its text, where the line end starts
    size_t next = 0;    // first byte of the following line
    LineKind kind = LineKind::Blank;
    std::string_view name;   // section or key name, trimmed
    std::string_view value;  // value of a key line, trimmed
    bool has_value = false;  // the key line has an '='
};

void ClassifyLine(std::string_view text, IniLine* line) {
    std::string_view body = Trim(text.substr(line->begin, line->end - line->begin));
    if (body.empty()) return;
    if (body.front() == '[') {
        size_t close = FindChar(body, ']', true);
        if (close != std::string_view::npos && close > 0) {
            line->kind = LineKind::Section;
            line->name = Trim(body.substr(1, close - 1));
            return;
        }
    }
    line->kind = LineKind::Key;
    size_t eq = FindChar(body, '=', false);
    if (eq == std::string_view::npos) {
        line->name = body;
        return;
    }
    line->name = Trim(body.substr(0, eq));
    line->value = Trim(body.substr(eq + 1));
    line->has_value = true;
}

// Lines end with CR LF, LF, or a lone CR.
std::vector<IniLine> SplitLines(std::string_view text) {
    std::vector<IniLine> lines;
    size_t at = 0;
    while (at < text.size()) {
        IniLine line;
        line.begin = at;
        size_t stop = text.find_first_of("\r\n", at);
        if (stop == std::string_view::npos) {
            line.end = line.next = text.size();
        } else {
            line.end = stop;
            line.next = (text[stop] == '\r' && stop + 1 < text.size() && text[stop + 1] == '\n')
                            ? stop + 2 : stop + 1;
        }
        ClassifyLine(text, &line);
        lines.push_back(line);
        at = line.next;
    }
    return lines;
}

// Where a key lies: the first section of that name, its last non-blank line,
// and the first key line of that name within it. Lines before the first
// section header belong to no section and are never found.
struct Location {
    int section = -1;
    int last_in_section = -1;
    int key = -1;
};

Location Locate(const std::vector<IniLine>& lines, std::string_view section, std::string_view key) {
    Location at;
    if (section.empty()) return at;
    for (size_t i = 0; i < lines.size(); ++i) {
        const IniLine& line = lines[i];
        if (at.section < 0) {
            if (line.kind == LineKind::Section && SameName(line.name, section)) {
                at.section = at.last_in_section = static_cast<int>(i);
            }
            continue;
        }
        if (line.kind == LineKind::Section) break;
        if (line.kind == LineKind::Blank) continue;
        at.last_in_section = static_cast<int>(i);
        if (at.key < 0 && !key.empty() && SameName(line.name, key)) at.key = static_cast<int>(i);
    }
    return at;
}

// A value enclosed in a pair of the same quote marks (" or ') is given without them.
std::string_view StripQuotes(std::string_view v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
        return v.substr(1, v.size() - 2);
    }
    return v;
}

// The default value loses its trailing spaces, as with Windows.
std::string_view DefaultValue(const char* fallback) {
    std::string_view v = fallback ? fallback : "";
    while (!v.empty() && v.back() == ' ') v.remove_suffix(1);
    return v;
}

// The file's text after setting section/key to value: an existing key line is
// replaced (keeping the key's spelling as found), a new key goes after the
// last non-blank line of its section, a new section goes at the end. Lines
// written get CR LF; every other byte stays as it was.
std::string WithValue(const std::string& text, std::string_view section, std::string_view key,
                      std::string_view value) {
    std::vector<IniLine> lines = SplitLines(text);
    Location at = Locate(lines, section, key);
    std::string result;
    if (at.key >= 0) {
        const IniLine& line = lines[at.key];
        result.append(text, 0, line.begin);
        result.append(line.name).append("=").append(value).append("\r\n");
        result.append(text, line.next, std::string::npos);
        return result;
    }
    std::string key_line = std::string(key) + "=" + std::string(value) + "\r\n";
    if (at.section >= 0) {
        const IniLine& last = lines[at.last_in_section];
        result.append(text, 0, last.next);
        if (last.next == last.end) result.append("\r\n");  // the file ended without a line end
        result.append(key_line);
        result.append(text, last.next, std::string::npos);
        return result;
    }
    result = text;
    if (!result.empty() && result.back() != '\n' && result.back() != '\r') result.append("\r\n");
    result.append("[").append(section).append("]\r\n").append(key_line);
    return result;
}

}  // namespace

size_t ProfileFileStore::GetString(const char* section, const char* key, const char* fallback,
                                    char* buf, size_t size, const char* path) {
    if (buf == nullptr || size == 0) return 0;
    std::string text;
    std::string_view value = DefaultValue(fallback);
    if (section != nullptr && key != nullptr && path != nullptr &&
        ReadWholeFile(path, &text) == WholeFile::Read) {
        PrepareForReading(&text);
        std::vector<IniLine> lines = SplitLines(text);
        Location at = Locate(lines, Trim(section), Trim(key));
        if (at.key >= 0 && lines[at.key].has_value) value = lines[at.key].value;
    }
    value = StripQuotes(value);
    value = value.substr(0, value.find('\0'));  // a NUL byte ends the text
    size_t n = Cp932Cut(value.data(), value.size(), size - 1);
    std::memcpy(buf, value.data(), n);
    buf[n] = '\0';
    return n;
}

bool ProfileFileStore::WriteString(const char* section, const char* key, const char* value,
                                    const char* path) {
    if (section == nullptr || key == nullptr || value == nullptr || path == nullptr || *path == '\0') {
        return false;
    }
    std::string_view sec = Trim(section), name = Trim(key);
    if (sec.empty() || name.empty()) return false;
    // One line per key: a line break in the value would start a new line
    // (and could forge other keys), so the value ends there.
    std::string_view v = value;
    v = v.substr(0, v.find_first_of("\r\n"));
    while (!v.empty() && IsProfileBlank(static_cast<unsigned char>(v.front()))) v.remove_prefix(1);

    std::string text;
    WholeFile read = ReadWholeFile(path, &text);
    if (read == WholeFile::Failed) return false;
    std::string updated = WithValue(text, sec, name, v);
    if (read == WholeFile::Read && updated == text) return true;
    return ReplaceWholeFile(path, updated);
}
