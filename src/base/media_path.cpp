#include "base/media_path.h"

#include "base/files.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

bool Exists(const fs::path& path) {
    std::error_code error;
    return fs::exists(path, error);
}

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

// Walks `path` name by name; a name that is not found is looked for in its
// folder in any letter case. Empty when some name matches nothing.
std::string MatchAnyCase(const std::string& path, bool* changed) {
    const fs::path whole = PathFromUtf8(path);
    fs::path found = whole.root_path();
    for (const fs::path& part : whole.relative_path()) {
        if (part.empty()) continue;
        fs::path next = found / part;
        if (Exists(next)) {
            found = std::move(next);
            continue;
        }
        const std::string wanted = Lower(Utf8FromPath(part));
        std::string best;
        std::error_code error;
        fs::directory_iterator entries(found.empty() ? fs::path(".") : found, error);
        for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
            std::string name = Utf8FromPath(entries->path().filename());
            if (Lower(name) == wanted && (best.empty() || name < best)) best = std::move(name);
        }
        if (best.empty()) return {};
        found /= PathFromUtf8(best);
        *changed = true;
    }
    return Utf8FromPath(found);
}

} // namespace

std::string FindMediaFile(const std::string& path, unsigned* fixes) {
    if (fixes) *fixes = 0;
    if (path.empty() || Exists(PathFromUtf8(path))) return path;
    std::string slashed = path;
    std::replace(slashed.begin(), slashed.end(), '\\', '/');
    const unsigned backslash = slashed != path ? MEDIA_PATH_BACKSLASH : 0;
    if (backslash && Exists(PathFromUtf8(slashed))) {
        if (fixes) *fixes = backslash;
        return slashed;
    }
    bool changed = false;
    std::string found = MatchAnyCase(slashed, &changed);
    if (found.empty()) return path;
    if (fixes) *fixes = backslash | (changed ? MEDIA_PATH_CASE : 0);
    return found;
}
