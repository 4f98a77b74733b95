// Controls of the headless settings store for tests and tools: the store is
// held in memory, names compared without regard to case as the registry does.
#pragma once

#include <cstdint>

// Forgets every saver's settings and clears the failure switch.
void HeadlessSettingsClear();
// Pre-loads one value.
void HeadlessSettingsSet(const char* saverName, const char* section, const char* name,
                         int32_t value);
// True and the value when it is stored.
bool HeadlessSettingsGet(const char* saverName, const char* section, const char* name,
                         int32_t* value);
// Whether the section exists (reading creates it), and how many values it holds.
bool HeadlessSettingsHasSection(const char* saverName, const char* section);
int HeadlessSettingsValueCount(const char* saverName, const char* section);
// When on, every read yields its default and every write fails (storing
// nothing, with a reason), as with an unreadable and unwritable store.
void HeadlessSettingsFail(bool on);
