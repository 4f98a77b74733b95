// "scramble" and "unscramble": convert theme scripts to and from the scrambled form.
#include "replace_file.h"
#include "script/script_scramble.h"
#include "tool_commands.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// Whether the file begins with the "%%%%" line of a scrambled script.
bool IsScrambled(std::FILE* file) {
    char head[4] = {};
    const size_t n = std::fread(head, 1, sizeof(head), file);
    std::rewind(file);
    return n == sizeof(head) && std::memcmp(head, "%%%%", 4) == 0;
}

// Converts IN to OUT; `wantScrambled` is the form IN must have, since
// converting a file twice writes garbage. OUT is replaced only once the
// whole conversion is written, and never when it is IN itself.
int Convert(int argc, char** argv, const char* name, int (*convert)(std::FILE*, std::FILE*),
            bool wantScrambled) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: glimmora-tool %s IN OUT\n", name);
        return 2;
    }
    const char* inPath = argv[0];
    const char* outPath = argv[1];
    if (SameFile(inPath, outPath)) {
        std::fprintf(stderr, "%s: %s is the input file; name another output\n", name, outPath);
        return 1;
    }
    std::FILE* in = std::fopen(inPath, "rb");
    if (!in) {
        std::fprintf(stderr, "%s: cannot read %s\n", name, inPath);
        return 1;
    }
    if (IsScrambled(in) != wantScrambled) {
        std::fclose(in);
        std::fprintf(stderr,
                     wantScrambled
                         ? "%s: %s is not scrambled (its first line is not \"%%%%%%%%\")\n"
                         : "%s: %s is scrambled already\n",
                     name, inPath);
        return 1;
    }
    FileReplacement out;
    std::string why;
    bool ok = out.Open(outPath, &why);
    if (ok && !convert(in, out.File()) && std::ferror(in)) {
        std::fclose(in);
        std::fprintf(stderr, "%s: cannot read %s\n", name, inPath);
        return 1;
    }
    std::fclose(in);
    if (ok) ok = out.Commit(&why);
    if (!ok) {
        std::fprintf(stderr, "%s: %s: %s\n", name, outPath, why.c_str());
        return 1;
    }
    return 0;
}

} // namespace

int CmdScramble(int argc, char** argv) {
    return Convert(argc, argv, "scramble", ScrambleScript, false);
}
int CmdUnscramble(int argc, char** argv) {
    return Convert(argc, argv, "unscramble", UnscrambleScript, true);
}
