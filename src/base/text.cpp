#include "base/text.h"

#include <cctype>

bool MatchKeyword(const char* word, const char* keyword) {
    for (; *keyword; ++word, ++keyword) {
        if (std::tolower(static_cast<unsigned char>(*word)) !=
            std::tolower(static_cast<unsigned char>(*keyword)))
            return false;
    }
    return true;
}

bool SameNameNoCase(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b) {
        if (std::tolower(static_cast<unsigned char>(*a)) !=
            std::tolower(static_cast<unsigned char>(*b)))
            return false;
    }
    return *a == *b;
}
