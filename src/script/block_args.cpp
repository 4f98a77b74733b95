#include "script/block_args.h"

#include "script/script_reader.h"

#include <cstring>

const char* FirstArg(const char* text) {
    const char* open = std::strchr(text, '(');
    return open ? open + 1 : nullptr;
}

const char* NextArg(const char* previous) {
    if (!previous) return nullptr;
    const char* comma = std::strchr(previous, ',');
    return comma ? comma + 1 : nullptr;
}

int ReportInvalidKeyword(const char* text) {
    int length = static_cast<int>(std::strcspn(text, "\r\n"));
    ReportErrorF("Invalid Keyword: %.*s", length, text);
    return 0;
}
