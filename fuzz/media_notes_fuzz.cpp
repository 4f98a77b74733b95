// The notes the tools add to a refused media file, over arbitrary bytes in
// a file of an arbitrary name: the first byte gives the length of the name,
// which follows, and the rest is the file. Every "convert it with:" command
// must read back, word by word as a shell reads it, as the file's own path.
#include "media_notes.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// One word of a POSIX shell command line at `*at`, as the shell reads it;
// false (a fault of the note) when a character outside quotes would mean
// something to the shell.
bool ShellWord(const std::string& line, size_t* at, std::string* word) {
    word->clear();
    size_t i = *at;
    while (i < line.size() && line[i] != ' ') {
        const char c = line[i];
        if (c == '\'') {
            const size_t close = line.find('\'', i + 1);
            if (close == std::string::npos) return false;
            *word += line.substr(i + 1, close - i - 1);
            i = close + 1;
        } else if (c == '\\' && i + 1 < line.size()) {
            *word += line[i + 1];
            i += 2;
        } else if (std::isalnum(static_cast<unsigned char>(c)) || std::strchr("_@%+=:,./-", c)) {
            *word += c;
            ++i;
        } else {
            return false;
        }
    }
    const bool any = i > *at;
    *at = i;
    return any;
}

// The note's command converts `path` (behind "./" when it begins with a
// dash) into a file named on from it.
void CheckCommand(const std::string& note, const std::string& path) {
    const char* const lead = "convert it with: glimmora-tool import ";
    if (note.empty()) return;
    if (note.compare(0, path.size(), path) != 0) std::abort();
    const size_t start = note.find(lead, path.size()); // the name may hold anything

    if (start == std::string::npos) std::abort();
    size_t at = start + std::strlen(lead);
    std::string in, out;
    if (!ShellWord(note, &at, &in) || at >= note.size() || note[at] != ' ') std::abort();
    ++at;
    if (!ShellWord(note, &at, &out)) std::abort();
    const std::string expected = path[0] == '-' ? "./" + path : path;
    if (in != expected || out.empty() || out[0] == '-') std::abort();
    if (at != note.size() && note.compare(at, 10, " and name ") != 0) std::abort();
}

void Run(const uint8_t* data, size_t size) {
    const size_t length = std::min<size_t>(data[0] % 48, size - 1);
    std::string name(reinterpret_cast<const char*>(data + 1), length);
    for (char& c : name) {
        if (c == '/' || c == '\0') c = '_';
    }
    if (name.empty() || name == "." || name == "..") name = "x" + name;
    std::FILE* file = std::fopen(name.c_str(), "wb");
    if (!file) return;
    std::fwrite(data + 1 + length, 1, size - 1 - length, file);
    std::fclose(file);

    DescribeGifRefusal(name);
    CheckCommand(GifDisplayNote(name), name);
    std::string faults;
    DescribeWavFormat(name, &faults);
    for (const char* prefix :
         {"GIF file has no global color table or is not 8 bit ",
          "GIF frame has a local color table instead of the global one ",
          "File is not 8bit 22kHz PCM ", "Unsupported image format ",
          "File Not Found: ", "Unsupported sound format ", "File is not a valid WAVE file "})
        CheckCommand(MediaRefusalNote(prefix + name), name);
    std::remove(name.c_str());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Files are made under their names, as the notes' own paths, in a folder
    // of this process that is the working folder while an input runs (the
    // fuzzer's corpus folders may be named relative to its own).
    static int home = -1, folder = -1;
    static char name[] = "/tmp/glimmora-notes-fuzz-XXXXXX";
    if (home < 0) {
        home = open(".", O_RDONLY | O_DIRECTORY);
        if (home < 0 || !mkdtemp(name)) std::abort();
        folder = open(name, O_RDONLY | O_DIRECTORY);
        if (folder < 0) std::abort();
        std::atexit([] { rmdir(name); }); // each input's file is removed after it
    }
    if (size == 0) return 0;
    if (fchdir(folder) != 0) std::abort();
    Run(data, size);
    if (fchdir(home) != 0) std::abort();
    return 0;
}
