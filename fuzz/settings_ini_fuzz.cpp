// Reads arbitrary bytes as a settings file, sets a value named by the bytes
// themselves and writes the text again: the written text must read back to
// the same values, with no line it cannot read, and write out unchanged.
#include "settings/settings_ini.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>

namespace {

const char* const PROBES[][2] = {{"Config", "Sound"},    {"Config", "Gamma"}, {"", "Speed"},
                                 {"Coral Reef", "Fish"}, {"General", "A/B"},  {"50% off", "%"}};

bool SameNoCase(const std::string& a, const char* b) {
    size_t n = std::strlen(b);
    if (a.size() != n) return false;
    for (size_t i = 0; i < n; ++i) {
        char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] + 32) : a[i];
        char y = b[i] >= 'A' && b[i] <= 'Z' ? static_cast<char>(b[i] + 32) : b[i];
        if (x != y) return false;
    }
    return true;
}

void Check(bool ok) {
    if (!ok) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    const char* text = reinterpret_cast<const char*>(bytes);
    SettingsIni ini;
    ini.Parse(text, size);

    // A section and a value name from the first two lines of the bytes.
    std::string head(text, size < 120 ? size : 120);
    size_t cut = head.find('\n');
    std::string section = head.substr(0, cut);
    std::string name = cut == std::string::npos ? "x" : head.substr(cut + 1);
    section = section.c_str(); // up to a NUL, as names are
    name = name.c_str();
    const int32_t value = static_cast<int32_t>(size * 2654435761u);

    int32_t before[std::size(PROBES)] = {};
    bool had[std::size(PROBES)] = {};
    for (size_t p = 0; p < std::size(PROBES); ++p) {
        had[p] = ini.Get(PROBES[p][0], PROBES[p][1], &before[p]);
    }
    ini.Set(section.c_str(), name.c_str(), value);
    ini.Set("Config", "Sound", 1);
    const std::string written = ini.Text();

    SettingsIni again;
    again.Parse(written.data(), written.size());
    Check(again.skippedLines == 0 || written.size() > SETTINGS_INI_MAX_BYTES);
    if (written.size() > SETTINGS_INI_MAX_BYTES) return 0;
    int32_t read = 0;
    Check(name.empty() ||
          (again.Get(section.c_str(), name.c_str(), &read) &&
           (read == value || (SameNoCase(section, "Config") && SameNoCase(name, "Sound")))));
    for (size_t p = 0; p < std::size(PROBES); ++p) {
        if (SameNoCase(section, PROBES[p][0]) && SameNoCase(name, PROBES[p][1])) continue;
        if (p == 0) continue; // set above
        int32_t after = 0;
        bool has = again.Get(PROBES[p][0], PROBES[p][1], &after);
        Check(has == had[p] && (!has || after == before[p]));
    }
    Check(again.Text() == written);
    return 0;
}
