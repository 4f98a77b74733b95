#include "script/script_values.h"

#include "script/script_context.h"

#include <cctype>
#include <cstring>

namespace {

// Keeps the balance's interpolation product within 64 bits whatever the
// parameter holds; a balance position is meant to lie between 0 and 100.
constexpr int64_t BALANCE_WEIGHT_LIMIT = int64_t{1} << 23;

bool IsLetter(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsWhite(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// 64-bit intermediate to 32-bit result, wrapping like the 32-bit arithmetic
// the script's numbers are written for.
int32_t Narrow(int64_t v) {
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(v)));
}

const char* SkipToValue(const char* p) {
    while (*p && !IsLetter(*p) && !IsDigit(*p) && *p != '-' && *p != '#') ++p;
    return p;
}

const char* TextEnd(const char* p) {
    return p + std::strlen(p);
}

// Decimal digits from `p`, wrapping modulo 2^32; `*end` is the first non-digit.
uint32_t ReadDigits(const char* p, const char** end) {
    uint32_t n = 0;
    while (IsDigit(*p)) n = n * 10u + static_cast<uint32_t>(*p++ - '0');
    *end = p;
    return n;
}

// "#name": the value of the first parameter of the current module whose name
// begins the text. An unnamed slot matches anything and consumes nothing.
const char* ParseReference(const ScriptContext& s, int32_t& value, const char* p) {
    if (s.theme.currentModule) {
        for (const ModuleParam& param : s.theme.currentModule->params) {
            if (MatchKeyword(p, param.name)) {
                value = param.value;
                return p + std::strlen(param.name);
            }
        }
    }
    value = 0;
    return nullptr;
}

// "Balance" or "Ballance", the side letter, one separator and the position v,
// optionally followed by ", a, b" for the range form.
const char* ParseBalance(const ScriptContext& s, int32_t& value, const char* p) {
    size_t wordLength = MatchKeyword(p, "Ballance") ? 8 : MatchKeyword(p, "Balance") ? 7 : 0;
    if (wordLength == 0) return p; // a word that is not a value
    const char* q = p + wordLength;
    bool sideB = *q == 'B' || *q == 'b';
    // The side letter; without one ("Balance(#Mix)") the weight is side A's.
    if (IsLetter(*q)) ++q;
    if (*q) ++q; // one separator
    int32_t position = 0;
    const char* end = ParseValue(s, position, q);
    if (!end) return nullptr;
    int64_t v = sideB ? 100 - int64_t{position} : int64_t{position};
    if (*end != ',') {
        value = v < 50 ? 100 : Narrow(2 * (100 - v));
        return end;
    }
    int32_t a = 0;
    int32_t b = 0;
    const char* aEnd = ParseValue(s, a, end + 1);
    if (!aEnd) return nullptr;
    const char* bEnd = ParseValue(s, b, *aEnd ? aEnd + 1 : aEnd);
    if (!bEnd) return nullptr;
    if (v < 50) {
        value = Narrow(int64_t{b} * 100);
    } else {
        int64_t weight = 100 - v;
        if (weight < -BALANCE_WEIGHT_LIMIT) weight = -BALANCE_WEIGHT_LIMIT;
        int64_t low = int64_t{a} * 100;
        int64_t high = int64_t{b} * 100;
        value = Narrow(low + (high - low) * weight / 50);
    }
    return bEnd;
}

} // namespace

const char* ParseValue(const ScriptContext& s, int32_t& value, const char* text) {
    const char* p = SkipToValue(text);
    if (*p == '\0') return nullptr;
    if (*p == '#') return ParseReference(s, value, p + 1);
    if (IsLetter(*p)) return ParseBalance(s, value, p);

    bool negative = *p == '-';
    if (negative) ++p;
    uint32_t magnitude = ReadDigits(p, &p);
    int32_t number = static_cast<int32_t>(negative ? 0u - magnitude : magnitude);
    if (*p != '*') {
        value = number;
        return p;
    }
    // A scale that cannot be read leaves the number as written.
    int32_t percent = 100;
    const char* scale = SkipToValue(p + 1);
    const char* end = ParseValue(s, percent, p + 1);
    if (end == scale && IsLetter(*scale) && s.WantsWarnings()) {
        int length = 0;
        while (length < 20 && (IsLetter(scale[length]) || IsDigit(scale[length]))) ++length;
        s.Warn("\"%d*%.*s\": \"*\" scales by a number, a #setting or Balance, not by "
               "\"%.*s\"; the value reads as %d and the rest of the line may be read otherwise "
               "than meant",
               number, length, scale, length, scale, number);
    }
    value = Narrow(int64_t{number} * percent / 100);
    return end ? end : p + 1;
}

void ParseCoordinate(const ScriptContext& s, int32_t& code, const char** cursor, bool horizontal) {
    const char* p = SkipToValue(*cursor);
    if (MatchKeyword(p, "Random")) {
        code = RANDOM_CODE;
        p += 6;
        if (*p == '(') {
            const char* close = std::strchr(p, ')');
            int32_t a = 0;
            int32_t b = 0;
            const char* aEnd = ParseValue(s, a, p + 1);
            if (aEnd && close && aEnd > close) {
                a = 0; // "Random()" with a value after the parentheses
                aEnd = close;
            }
            const char* comma = std::strchr(aEnd ? aEnd : p + 1, ',');
            // The spread belongs to these parentheses only.
            if (comma && (!close || comma < close)) {
                const char* bEnd = ParseValue(s, b, comma + 1);
                if (bEnd && close && bEnd > close) b = 0;
            }
            code += ((a & RANDOM_PARAM_MASK) << RANDOM_A_SHIFT) + (b & RANDOM_PARAM_MASK);
            p = close ? close + 1 : TextEnd(p);
        }
    } else if (MatchKeyword(p, "Right") || MatchKeyword(p, "Bottom")) {
        code = FAR_EDGE_CODE;
    } else if (MatchKeyword(p, "Center")) {
        code = CENTER_CODE;
        p += 6;
    } else if (*p == 'a') {
        // Screen pixels to design units times 16. Without a view scale, a
        // pixel counts as a design unit.
        int32_t n = 0;
        const char* end = ParseValue(s, n, p + 1);
        int32_t scale = horizontal ? s.pixelScaleX : s.pixelScaleY;
        if (scale <= 0) scale = 256;
        code = Narrow(int64_t{n} * 4096 / scale);
        p = end ? end : TextEnd(p);
    } else {
        // A text that holds no readable value gives the coordinate 0.
        int32_t n = 0;
        const char* end = ParseValue(s, n, p);
        code = Narrow(int64_t{n} * 16);
        p = end ? end : TextEnd(p);
    }
    *cursor = p;
}

void ParsePosition(const ScriptContext& s, int32_t& x, int32_t& y, const char** cursor) {
    ParseCoordinate(s, x, cursor, true);
    const char* comma = std::strchr(*cursor, ',');
    *cursor = comma ? comma + 1 : TextEnd(*cursor);
    ParseCoordinate(s, y, cursor, false);
}

const char* ParseInteger(int32_t& value, const char* text) {
    const char* p = text;
    while (IsWhite(*p)) ++p;
    bool negative = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    uint32_t magnitude = ReadDigits(p, &p);
    value = static_cast<int32_t>(negative ? 0u - magnitude : magnitude);
    return p;
}
