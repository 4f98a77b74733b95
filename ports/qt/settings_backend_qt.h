// Settings in an INI file per saver:
// $XDG_CONFIG_HOME/Tarnwell/Glimmora/<saverName>.ini (default ~/.config/...),
// one section per settings section ("Config", then one per module), 32-bit
// integers. The text is read and written by the core's SettingsIni.
//
// A write reads the file, changes the profile's values and replaces the file
// as a whole: the new text goes to a temporary file beside it, which is
// flushed to the disk and then renamed over the old one. So a failure at any
// point (a full disk, a folder that cannot be written) leaves the old file
// as it was. A file that is read-only, not a regular file, unreadable or
// larger than a settings file can be is left alone and the write fails.
#pragma once

#include "platform/settings_backend.h"

class QtSettings : public SettingsStorage {
  public:
    void ReadProfile(SettingsProfile& profile) override;
    int WriteProfile(const SettingsProfile& profile, char* reason, size_t reasonSize) override;
};
