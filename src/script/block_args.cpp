#include "script/block_args.h"

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
