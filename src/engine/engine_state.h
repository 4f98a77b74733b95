// State of the animation engine shared by scheduling, movement, conditions,
// fades and the frame tick.
#pragma once

#include <cstdint>

class CFeature;

// Sounds, bounce sounds and foreseeable triggers are scheduled this far ahead:
// the output latency of the mixer's two buffers.
constexpr uint32_t SOUND_LEAD_MS = 250;

// Special values of the time fields.
constexpr uint32_t TIME_NONE = 0;                // start time: not scheduled; end time: waiting
constexpr uint32_t TIME_NEVER = 0xFFFFFFFFu;     // never / none / finished for this section
constexpr uint32_t TIME_ON_SCREEN = 0xFFFFFFFEu; // end time: showing while on screen
constexpr uint32_t TIME_LATEST = 0xFFFFFFFDu;    // latest time a showing can end at

extern int32_t currentSection;
extern bool sectionEnding;
extern bool groupsDirty;

// Time fields are kept in 32-bit signed record fields; the engine works on them
// as unsigned millisecond counts.
inline uint32_t AsTime(int32_t field) {
    return static_cast<uint32_t>(field);
}
inline int32_t TimeField(uint32_t time) {
    return static_cast<int32_t>(time);
}

// now + delay as a scheduled time: a negative delay counts as 0, and the result
// never reads as one of the special values (0, 0xFFFFFFFE, 0xFFFFFFFF).
uint32_t TimeAfter(uint32_t now, int64_t delay);

// Index of a record of the feature table.
int FeatureIndex(const CFeature& feature);
// The feature a label entry names now, or nullptr when the label is out of
// range or names no feature.
CFeature* LabelledFeature(int32_t label);

// Remembers the "enabled" state every feature had when the module was loaded,
// so that section changes can bring it back. Taken once, before the first tick.
void CaptureLoadState();
bool LoadStateCaptured();
int32_t LoadEnabled(int feature);

// Back to the state right after loading: section 0, nothing ending, groups to
// be chosen, load state not yet captured.
void ResetEngineState();
