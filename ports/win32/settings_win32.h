// The settings store in the registry, one REG_DWORD per value below
// HKEY_CURRENT_USER, key Software\Tarnwell\Glimmora\<saverName>\<section>.
//
// A write sets the profile's values section by section and stops at the
// first call that fails, reporting it; it never deletes a key or a value.
#pragma once

#include "platform/settings_backend.h"

class Win32Settings : public SettingsStorage {
  public:
    void ReadProfile(SettingsProfile& profile) override;
    int WriteProfile(const SettingsProfile& profile, char* reason, size_t reasonSize) override;
};
