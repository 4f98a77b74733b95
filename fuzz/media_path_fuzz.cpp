// Looks up arbitrary media names in a small theme folder as the saver does
// (any letter case, backslashes as folder separators), and checks that what
// is found exists and that a backslash was read as a separator only where
// the name has one.
#include "base/media_path.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string folder;

void MakeTree() {
    char pattern[] = "/tmp/glimmora-media-path-fuzz-XXXXXX";
    if (!mkdtemp(pattern)) std::abort();
    folder = pattern;
    std::atexit([] {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    });
    for (const char* name :
         {"Fish/Blue.GIF", "fish/blue.gif", "Sub/Deep/a.wav", "Sub/deep/A.WAV", "256COL00.PAL",
          "spaced name.gif", "\xC3\x84hre.gif", "Star.gif", "back\\slash.gif", "x/y/z/w.gif"}) {
        const fs::path path = fs::path(folder) / name;
        fs::create_directories(path.parent_path());
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (!file) std::abort();
        std::fclose(file);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (folder.empty()) MakeTree();
    std::string name(reinterpret_cast<const char*>(data), size);
    name = name.substr(0, name.find('\0')); // as the script's C strings hold it
    const std::string path = folder + "/" + name;
    unsigned fixes = ~0u;
    const std::string found = FindMediaFile(path, &fixes);
    if (fixes & ~(MEDIA_PATH_BACKSLASH | MEDIA_PATH_CASE)) std::abort();
    std::error_code error;
    if (found == path) {
        if (fixes != 0) std::abort();
    } else if (!fs::exists(found, error)) {
        std::abort(); // a name is changed only to one that exists
    }
    if ((fixes & MEDIA_PATH_BACKSLASH) && name.find('\\') == std::string::npos) std::abort();
    return 0;
}
