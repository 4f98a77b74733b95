// The headless settings store: held in memory, names compared without regard
// to case as the registry does.
#pragma once

#include "platform/settings_backend.h"

#include <cstdint>
#include <map>
#include <string>
#include <utility>

class HeadlessSettings : public SettingsStorage {
  public:
    void ReadProfile(SettingsProfile& profile) override;
    int WriteProfile(const SettingsProfile& profile, char* reason, size_t reasonSize) override;

    // Forgets every saver's settings and clears the failure switch.
    void Clear();
    // Pre-loads one value.
    void Set(const char* saverName, const char* section, const char* name, int32_t value);
    // True and the value when it is stored.
    bool Get(const char* saverName, const char* section, const char* name, int32_t* value) const;
    // Whether the section exists (reading creates it), and how many values it holds.
    bool HasSection(const char* saverName, const char* section) const;
    int ValueCount(const char* saverName, const char* section) const;
    // When on, every read yields its default and every write fails (storing
    // nothing, with a reason), as with an unreadable and unwritable store.
    void Fail(bool on) { failing = on; }

  private:
    using Section = std::map<std::string, int32_t>;
    using SectionKey = std::pair<std::string, std::string>;

    std::map<SectionKey, Section> store;
    bool failing = false;
};
