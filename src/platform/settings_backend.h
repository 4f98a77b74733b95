// Persistent user settings: a hierarchy of saver name / section / value name
// holding 32-bit integers. Each platform keeps them in its own way (the
// registry, a settings file, memory); the core only calls these functions.
#pragma once

#include <cstdint>

// The stored value, or `defaultValue` when it is absent or cannot be read.
// Opening a section for reading creates it (without values) when missing.
int32_t SettingsReadInt(const char* saverName, const char* section, const char* name,
                        int32_t defaultValue);

// Stores a value, creating the section as needed. A failed write is ignored.
void SettingsWriteInt(const char* saverName, const char* section, const char* name, int32_t value);
