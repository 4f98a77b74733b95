#include "settings/settings_ini.h"

#include <algorithm>
#include <cstring>

// Names pass two escapes on their way into the file, as they always have:
// first '%', '/' and '\' become %25, %2F and %5C (the "stored" form, which
// is what is matched), then every byte but letters, digits, '_', '-' and '.'
// becomes %XX. Reading undoes the second escape: %XX and %UXXXX give their
// character, '\' gives '/', anything else stands for itself (so a name
// typed into the file by hand in UTF-8 matches a UTF-8 name).

namespace {

const char HEX[] = "0123456789ABCDEF";
const char GENERAL[] = "General"; // the section that QSettings kept values without a section in

char Fold(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (Fold(a[i]) != Fold(b[i])) return false;
    }
    return true;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = Fold(c);
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The value of `count` hex digits at `text`, or -1.
long HexValue(const char* text, int count) {
    long value = 0;
    for (int i = 0; i < count; ++i) {
        int digit = HexDigit(text[i]);
        if (digit < 0) return -1;
        value = value * 16 + digit;
    }
    return value;
}

void AppendUtf8(std::string& out, long code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

std::string Unescape(const char* text, size_t length) {
    std::string out;
    out.reserve(length);
    for (size_t i = 0; i < length; ++i) {
        char c = text[i];
        if (c == '\\') {
            out += '/';
            continue;
        }
        if (c == '%' && i + 5 < length && text[i + 1] == 'U') {
            long code = HexValue(text + i + 2, 4);
            if (code >= 0) {
                // One byte up to 0xFF, as the names were written byte by byte.
                if (code <= 0xFF) {
                    out += static_cast<char>(code);
                } else {
                    AppendUtf8(out, code);
                }
                i += 5;
                continue;
            }
        }
        if (c == '%' && i + 2 < length) {
            long code = HexValue(text + i + 1, 2);
            if (code >= 0) {
                out += static_cast<char>(code);
                i += 2;
                continue;
            }
        }
        out += c;
    }
    return out;
}

// The stored form of a name (the first escape).
std::string StoredName(const char* name) {
    std::string out;
    for (const char* p = name ? name : ""; *p; ++p) {
        if (*p == '%' || *p == '/' || *p == '\\') {
            unsigned char byte = static_cast<unsigned char>(*p);
            out += '%';
            out += HEX[byte >> 4];
            out += HEX[byte & 0xF];
        } else {
            out += *p;
        }
    }
    return out;
}

// The written form of a stored name (the second escape).
std::string Escape(const std::string& stored) {
    std::string out;
    for (char c : stored) {
        unsigned char byte = static_cast<unsigned char>(c);
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
            c == '_' || c == '-' || c == '.') {
            out += c;
        } else {
            out += '%';
            out += HEX[byte >> 4];
            out += HEX[byte & 0xF];
        }
    }
    return out;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// `text` without blanks at either end.
std::string Trimmed(const char* text, size_t length) {
    size_t begin = 0;
    while (begin < length && IsBlank(text[begin])) ++begin;
    while (length > begin && IsBlank(text[length - 1])) --length;
    return std::string(text + begin, length - begin);
}

// A value as the program writes it: optional blanks, optional double quotes
// around it, an optional sign and decimal digits that fit 32 bits.
bool ParseInt(const std::string& text, int32_t* value) {
    size_t i = 0;
    size_t end = text.size();
    if (end >= 2 && text[0] == '"' && text[end - 1] == '"') {
        ++i;
        --end;
    }
    bool negative = false;
    if (i < end && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    if (i == end) return false;
    int64_t magnitude = 0;
    for (; i < end; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > int64_t{INT32_MAX} + 1) return false;
    }
    if (!negative && magnitude > INT32_MAX) return false;
    *value = static_cast<int32_t>(negative ? -magnitude : magnitude);
    return true;
}

} // namespace

void SettingsIni::Parse(const char* text, size_t size) {
    sections.assign(1, Section{GENERAL, "", false});
    entries.clear();
    skippedLines = 0;
    truncated = size > SETTINGS_INI_MAX_BYTES;
    if (!text) size = 0;
    if (truncated) {
        // Only whole lines: a line cut short could read as another number.
        size = SETTINGS_INI_MAX_BYTES;
        while (size > 0 && text[size - 1] != '\n' && text[size - 1] != '\r') --size;
    }
    size_t start = 0;
    for (size_t i = 0; i <= size; ++i) {
        if (i == size || text[i] == '\n' || text[i] == '\r') {
            ReadLine(text + start, i - start);
            start = i + 1;
        }
    }
}

void SettingsIni::ReadLine(const char* line, size_t length) {
    while (length > 0 && IsBlank(*line)) {
        ++line;
        --length;
    }
    if (length == 0 || *line == ';' || *line == '#') return; // blank or a comment
    bool control = false;
    for (size_t i = 0; i < length && !control; ++i) {
        control = static_cast<unsigned char>(line[i]) < 0x20 && line[i] != '\t';
    }
    if (control) {
        ++skippedLines;
        // The lines below a header that cannot be read belong to no section
        // that can be named, not to the one above.
        if (*line == '[' && !sections.back().unreadable) sections.push_back(Section{"", "", true});
        return;
    }
    if (*line == '[') {
        const char* close = static_cast<const char*>(std::memchr(line, ']', length));
        // Without "]" the rest of the line is taken as the name, as before;
        // the line still counts as damaged.
        if (!close) ++skippedLines;
        std::string header = Trimmed(line + 1, (close ? close - line : length) - 1);
        std::string name;
        if (SameNoCase(header, GENERAL)) {
            name.clear(); // no section
        } else if (header.size() == sizeof(GENERAL) && header[0] == '%' &&
                   SameNoCase(header.substr(1), GENERAL)) {
            name = header.substr(1);
        } else {
            name = Unescape(header.data(), header.size());
        }
        sections.push_back(Section{header, name, false});
        return;
    }
    const char* equals = static_cast<const char*>(std::memchr(line, '=', length));
    if (!equals || equals == line) {
        ++skippedLines;
        return;
    }
    std::string key = Trimmed(line, equals - line);
    if (key.empty()) {
        ++skippedLines;
        return;
    }
    const char* value = equals + 1;
    size_t valueLength = length - (value - line);
    // A ";" outside quotes begins a comment.
    bool quoted = false;
    for (size_t i = 0; i < valueLength; ++i) {
        if (value[i] == '"') quoted = !quoted;
        if (value[i] == ';' && !quoted) {
            valueLength = i;
            break;
        }
    }
    std::string name = Unescape(key.data(), key.size());
    entries.push_back(Entry{sections.size() - 1, key, name, Trimmed(value, valueLength)});
}

long SettingsIni::FindSection(const std::string& name) const {
    for (size_t s = sections.size(); s-- > 0;) {
        if (!sections[s].unreadable && SameNoCase(sections[s].name, name)) {
            return static_cast<long>(s);
        }
    }
    return -1;
}

long SettingsIni::FindEntry(const std::string& section, const std::string& name) const {
    for (size_t e = entries.size(); e-- > 0;) {
        const Entry& entry = entries[e];
        const Section& in = sections[entry.section];
        if (SameNoCase(entry.name, name) && !in.unreadable && SameNoCase(in.name, section)) {
            return static_cast<long>(e);
        }
    }
    return -1;
}

bool SettingsIni::Get(const char* section, const char* name, int32_t* value) const {
    long e = FindEntry(StoredName(section), StoredName(name));
    return e >= 0 && ParseInt(entries[e].value, value);
}

void SettingsIni::Set(const char* section, const char* name, int32_t value) {
    if (sections.empty()) sections.assign(1, Section{GENERAL, "", false});
    std::string sectionName = StoredName(section);
    std::string valueName = StoredName(name);
    if (valueName.empty()) return; // a line "=5" would not read back
    std::string text = std::to_string(value);
    long e = FindEntry(sectionName, valueName);
    if (e >= 0) {
        entries[e].value = text;
        return;
    }
    long s = FindSection(sectionName);
    if (s < 0) {
        std::string header = Escape(sectionName);
        if (header.empty()) {
            header = GENERAL;
        } else if (SameNoCase(header, GENERAL)) {
            header.insert(0, "%");
        }
        sections.push_back(Section{header, sectionName, false});
        s = static_cast<long>(sections.size() - 1);
    }
    entries.push_back(Entry{static_cast<size_t>(s), Escape(valueName), valueName, text});
}

std::string SettingsIni::Text() const {
    // Entries by section, each section's in their order.
    std::vector<size_t> order(entries.size());
    for (size_t e = 0; e < order.size(); ++e) order[e] = e;
    std::stable_sort(order.begin(), order.end(), [this](size_t a, size_t b) {
        return entries[a].section < entries[b].section;
    });
    std::string out;
    size_t next = 0;
    for (size_t s = 0; s < sections.size(); ++s) {
        if (sections[s].unreadable) {
            while (next < order.size() && entries[order[next]].section == s) ++next;
            continue;
        }
        // The lines before any header are the General section's.
        bool empty = next == order.size() || entries[order[next]].section != s;
        if (s > 0 || !empty) {
            if (!out.empty()) out += '\n';
            out += '[';
            out += sections[s].header;
            out += "]\n";
        }
        for (; next < order.size() && entries[order[next]].section == s; ++next) {
            const Entry& entry = entries[order[next]];
            out += entry.key;
            out += '=';
            out += entry.value;
            out += '\n';
        }
    }
    return out;
}
