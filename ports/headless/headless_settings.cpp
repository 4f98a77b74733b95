#include "ports/headless/headless_settings.h"

#include <cctype>
#include <cstdio>

namespace {

std::string Fold(const char* text) {
    std::string s(text ? text : "");
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::pair<std::string, std::string> KeyOf(const char* saverName, const char* section) {
    return {Fold(saverName), Fold(section)};
}

} // namespace

void HeadlessSettings::ReadProfile(SettingsProfile& profile) {
    if (failing) return;
    for (int i = 0; i < profile.count; ++i) {
        SettingsValue& v = profile.values[i];
        Section& values = store[KeyOf(profile.saverName, v.section)];
        auto it = values.find(Fold(v.name));
        if (it != values.end()) v.value = it->second;
    }
}

int HeadlessSettings::WriteProfile(const SettingsProfile& profile, char* reason,
                                   size_t reasonSize) {
    // All or nothing, like a file replaced as a whole.
    if (failing) {
        std::snprintf(reason, reasonSize, "the settings of %s cannot be stored (test store)",
                      profile.saverName);
        return 0;
    }
    for (int i = 0; i < profile.count; ++i) {
        const SettingsValue& v = profile.values[i];
        store[KeyOf(profile.saverName, v.section)][Fold(v.name)] = v.value;
    }
    return 1;
}

void HeadlessSettings::Clear() {
    store.clear();
    failing = false;
}

void HeadlessSettings::Set(const char* saverName, const char* section, const char* name,
                           int32_t value) {
    store[KeyOf(saverName, section)][Fold(name)] = value;
}

bool HeadlessSettings::Get(const char* saverName, const char* section, const char* name,
                           int32_t* value) const {
    auto s = store.find(KeyOf(saverName, section));
    if (s == store.end()) return false;
    auto it = s->second.find(Fold(name));
    if (it == s->second.end()) return false;
    *value = it->second;
    return true;
}

bool HeadlessSettings::HasSection(const char* saverName, const char* section) const {
    return store.count(KeyOf(saverName, section)) != 0;
}

int HeadlessSettings::ValueCount(const char* saverName, const char* section) const {
    auto s = store.find(KeyOf(saverName, section));
    return s == store.end() ? 0 : static_cast<int>(s->second.size());
}
