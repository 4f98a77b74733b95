// "scramble" and "unscramble": convert theme scripts to and from the scrambled form.
#include "script/script_scramble.h"
#include "tool_commands.h"

#include <cstdio>
#include <cstring>

namespace {

// Whether the file begins with the "%%%%" line of a scrambled script.
bool IsScrambled(const char* path) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return false;
    char head[4] = {};
    const size_t n = std::fread(head, 1, sizeof(head), file);
    std::fclose(file);
    return n == sizeof(head) && std::memcmp(head, "%%%%", 4) == 0;
}

// Converts IN to OUT; `wantScrambled` is the form IN must have, since
// converting a file twice writes garbage.
int Convert(int argc, char** argv, const char* name, int (*convert)(const char*, const char*),
            bool wantScrambled) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: glimmora-tool %s IN OUT\n", name);
        return 2;
    }
    std::FILE* probe = std::fopen(argv[0], "rb");
    if (probe && IsScrambled(argv[0]) != wantScrambled) {
        std::fclose(probe);
        std::fprintf(stderr,
                     wantScrambled
                         ? "%s: %s is not scrambled (its first line is not \"%%%%%%%%\")\n"
                         : "%s: %s is scrambled already\n",
                     name, argv[0]);
        return 1;
    }
    if (probe) std::fclose(probe);
    if (!convert(argv[0], argv[1])) {
        std::fprintf(stderr, "%s: cannot convert %s to %s\n", name, argv[0], argv[1]);
        return 1;
    }
    return 0;
}

} // namespace

int CmdScramble(int argc, char** argv) {
    return Convert(argc, argv, "scramble", ScrambleFile, false);
}
int CmdUnscramble(int argc, char** argv) {
    return Convert(argc, argv, "unscramble", UnscrambleFile, true);
}
