// "scramble" and "unscramble": convert theme scripts to and from the scrambled form.
#include "script/script_scramble.h"
#include "tool_commands.h"

#include <cstdio>

namespace {

int Convert(int argc, char** argv, const char* name, int (*convert)(const char*, const char*)) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: glimmora-tool %s IN OUT\n", name);
        return 2;
    }
    if (!convert(argv[0], argv[1])) {
        std::fprintf(stderr, "%s: cannot convert %s to %s\n", name, argv[0], argv[1]);
        return 1;
    }
    return 0;
}

} // namespace

int CmdScramble(int argc, char** argv) {
    return Convert(argc, argv, "scramble", ScrambleFile);
}
int CmdUnscramble(int argc, char** argv) {
    return Convert(argc, argv, "unscramble", UnscrambleFile);
}
