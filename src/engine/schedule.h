// The per-frame update of one feature: starting it when its Start rule says
// so, stepping its fade, frames and movement, firing its condition, starting
// and stopping its sounds, and ending it when its Duration is over.
#pragma once

#include <cstdint>

class CFeature;
struct Engine;

void UpdateFeature(Engine& e, CFeature& feature, uint32_t now, int32_t section);

// Whether the feature starts now; schedules it when its rule draws a time.
bool StartDue(Engine& e, CFeature& feature, uint32_t now);
// Sets the end of the showing that starts now.
void StartDuration(Engine& e, CFeature& feature, uint32_t now);
// Whether the feature may start (a showing feature always may go on).
bool IsEnabled(CFeature& feature, uint32_t now);
bool IsExpired(Engine& e, const CFeature& feature, uint32_t now);
// Prepares the feature for the next section.
void ResetForSection(Engine& e, CFeature& feature);
// Readies a freshly loaded feature for the first section: an Offset start
// takes its first time.
void PrepareLoadedFeature(CFeature& feature);
// The earliest time after `now` at which UpdateFeature(now') with the same
// section may change the feature (0xFFFFFFFF: none of its own), judged after
// the tick at `now`. Times that depend on other features (commands, groups,
// look-aheads) come from those features' own changes. Never later than the
// first tick that would change something; it may be earlier.
uint32_t NextFeatureChange(Engine& e, const CFeature& feature, uint32_t now, int32_t section);
// The feature belongs to `section`, is enabled and is showing.
bool IsActiveInSection(const CFeature& feature, int32_t section);
// Takes a feature off the screen and silences it when its section is left:
// a showing feature loses its sprite and sounds, a waiting one a looping
// sound started ahead for a start that did not come.
void LeaveSection(Engine& e, CFeature& feature);
