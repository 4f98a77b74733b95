// Persistent user settings: a hierarchy of saver name / section / value name
// holding 32-bit integers, names matched without regard to case. Each
// platform keeps them in its own way (the registry, a settings file, memory).
// The core reads and writes a saver's whole set at once, as one profile.
#pragma once

#include <cstddef>
#include <cstdint>

// The most values of one profile: five general settings and room for three
// parameters of every module.
constexpr int SETTINGS_PROFILE_VALUES = 64;
// Room for the reason a write failed.
constexpr int SETTINGS_REASON_LEN = 512;

struct SettingsValue {
    const char* section;
    const char* name;
    int32_t value;
};

// A saver's settings as handed between the core and the platform. The names
// are only borrowed: a profile lives for one call.
struct SettingsProfile {
    const char* saverName = "";
    SettingsValue values[SETTINGS_PROFILE_VALUES] = {};
    int count = 0;

    // Adds a value; false (nothing added) when the profile is full.
    bool Add(const char* section, const char* name, int32_t value) {
        if (count >= SETTINGS_PROFILE_VALUES) return false;
        values[count++] = {section, name, value};
        return true;
    }
};

class SettingsStorage {
  public:
    virtual ~SettingsStorage() = default;

    // Every value of `profile` that the store holds and can read takes the
    // stored value; the others keep theirs (the defaults). Where the store has
    // keys (the registry), reading creates the profile's section keys without
    // values, so reading leaves the key path.
    virtual void ReadProfile(SettingsProfile& profile) = 0;

    // Stores every value of `profile` in one operation, adding what is
    // missing and keeping whatever else the store holds. Returns 1 on
    // success. On failure returns 0 and puts into `reason` why, naming the
    // file or key; the settings stored before are never removed or damaged
    // by a failed write.
    virtual int WriteProfile(const SettingsProfile& profile, char* reason, size_t reasonSize) = 0;
};
