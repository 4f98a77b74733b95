// Fades: stepping a feature's brightness in and out, and fading every showing
// feature out when its section ends (a sound-only feature fades its volume).
#pragma once

#include <cstdint>

class CFeature;
struct Engine;

// Default fade of a section end for features without a fade of their own.
constexpr int32_t SECTION_END_FADE_STEP = -5;
constexpr int32_t SECTION_END_FADE_INTERVAL = 50;

void StartFade(CFeature& feature, uint32_t now);
// One brightness step when due; true when the feature has faded out.
bool StepFade(Engine& e, CFeature& feature, uint32_t now);
// One volume step of a sound-only feature while its section ends; true when
// it has faded out.
bool StepSoundFade(Engine& e, CFeature& feature, uint32_t now);
// Begins the fade-out at the end of a showing; false when the feature has none.
bool BeginFadeOut(Engine& e, CFeature& feature, uint32_t now);
// Starts the section-end fade-out of a feature active in `section`.
void BeginEnding(Engine& e, CFeature& feature, uint32_t now, int32_t section);
