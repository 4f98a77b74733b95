// The animation engine's state: the tables it plays, the view it places
// sprites in, the mixer it starts sounds on, and its own clocks and counters.
// Every engine operation takes the Engine it works on, so several engines
// can play side by side in one process.
#pragma once

#include "engine/engine_sound.h"
#include "engine/random.h"
#include "script/theme_records.h"

#include <atomic>
#include <cstdint>

class CFeature;
class CSSView;

// Sounds, bounce sounds and foreseeable triggers are scheduled this far ahead:
// the output latency of the mixer's two buffers.
constexpr uint32_t SOUND_LEAD_MS = 250;

// Special values of the time fields.
constexpr uint32_t TIME_NONE = 0;                // start time: not scheduled; end time: waiting
constexpr uint32_t TIME_NEVER = 0xFFFFFFFFu;     // never / none / finished for this section
constexpr uint32_t TIME_ON_SCREEN = 0xFFFFFFFEu; // end time: showing while on screen
constexpr uint32_t TIME_LATEST = 0xFFFFFFFDu;    // latest time a showing can end at

struct Engine;

// Where the frame tick puts the two banner texts.
using BannerOutput = void (*)(Engine& e, int banner, int32_t x, int32_t y, const char* text);
// Sets one of the view's two text banners.
void ViewBanner(Engine& e, int banner, int32_t x, int32_t y, const char* text);

struct Engine {
    Engine(ThemeTables& theme, CSSView& view) : theme(theme), view(view) {}
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    ThemeTables& theme; // the loaded module
    CSSView& view;      // where sprites and banners are shown
    EngineSoundCalls sound = EngineSoundCalls::Silent();
    BannerOutput bannerOutput = ViewBanner; // the view's banners unless replaced
    bool previewMode = false;               // the preview shows no banners

    RandomGenerator random;
    int32_t currentSection = 0;
    bool sectionEnding = false;
    bool groupsDirty = true;
    // The "enabled" state every feature had when the module was loaded, so
    // that section changes can bring it back. Taken once, before the first tick.
    bool loadStateCaptured = false;
    int32_t loadEnabled[MAX_FEATURES] = {};
    bool bannerShown = false;
    uint32_t bannerNextTime = 0; // section-clock time at which the banner toggles next

    // Millisecond clock value at which the current section's clock started
    // (0: not started).
    uint32_t clockStart = 0;
    // Milliseconds since the current section began; written by the main loop
    // once per pass, read by the mixer's thread to cut sounds that have a stop time.
    std::atomic<uint32_t> sectionTime{0};

    // Back to the state right after loading: section 0, nothing ending, groups
    // to be chosen, load state not yet captured, clocks stopped, banner hidden.
    void ResetEngineState();
};

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
int FeatureIndex(const Engine& e, const CFeature& feature);
// The feature a label entry names now, or nullptr when the label is out of
// range or names no feature.
CFeature* LabelledFeature(Engine& e, int32_t label);

// Takes the load state of every feature.
void CaptureLoadState(Engine& e);
int32_t LoadEnabled(const Engine& e, int feature);

// The engine's calls into the mixer.
inline void StartSound(Engine& e, uint32_t stopTime, CSound* sound, int volume, int pan) {
    e.sound.start(e.sound.target, stopTime, sound, volume,
                  pan); // a dropped sound needs no handling
}
inline void StopSound(Engine& e, CSound* sound) {
    e.sound.stop(e.sound.target, sound);
}
inline void SetSoundVolumePan(Engine& e, CSound* sound, int volume, int pan) {
    e.sound.setVolumePan(e.sound.target, sound, volume, pan);
}
