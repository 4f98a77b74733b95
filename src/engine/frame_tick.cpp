#include "engine/frame_tick.h"

#include "app/app_state.h"
#include "app/main_loop_state.h"
#include "display/ss_view.h"
#include "engine/engine_state.h"
#include "engine/fades.h"
#include "engine/schedule.h"
#include "platform/sys.h"
#include "script/theme_records.h"

const char PRODUCT_LINE[] = "Glimmora (c) 2026 Tarnwell";

bool bannerShown = false;
uint32_t bannerNextTime = 0;

void ViewBanner(int banner, int32_t x, int32_t y, const char* text) {
    view.SetBanner(banner, x, y, text);
}

namespace {

constexpr uint32_t BANNER_SHOWN_MS = 10000;
constexpr uint32_t BANNER_HIDDEN_MS = 60000;

void ShowBanner(int banner, int32_t x, int32_t y, const char* text) {
    if (bannerOutput) bannerOutput(banner, x, y, text);
}

uint32_t Later(uint32_t t, uint32_t delay) {
    const uint64_t time = static_cast<uint64_t>(t) + delay;
    return time > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(time);
}

int FeaturesInUse() {
    return featureCount < 0 ? 0 : (featureCount > MAX_FEATURES ? MAX_FEATURES : featureCount);
}

// Moves on to the next section once no feature of the ending one is active.
// Returns true when the section changed.
bool SwitchWhenDone(int features, int sections) {
    for (int i = 0; i < features; ++i) {
        if (IsActiveInSection(featureTable[i], currentSection)) return false;
    }
    sectionEnding = false;
    for (int i = 0; i < features; ++i) LeaveSection(featureTable[i]);
    currentSection = (currentSection + 1) % sections;
    sectionTable[currentSection].endRequested = 0;
    clockStart = SysMilliseconds();
    sectionTime = 0;
    for (int i = 0; i < features; ++i) ResetForSection(featureTable[i]);
    groupsDirty = true;
    return true;
}

void ToggleBanner(uint32_t t) {
    bannerShown = !bannerShown;
    if (bannerShown) {
        ShowBanner(1, 4, 584, currentModule ? currentModule->name : "");
        ShowBanner(0, 618, 584, PRODUCT_LINE);
        bannerNextTime = Later(t, BANNER_SHOWN_MS);
    } else {
        ShowBanner(1, -50, 0, " ");
        ShowBanner(0, -50, 0, " ");
        bannerNextTime = Later(t, BANNER_HIDDEN_MS);
    }
}

} // namespace

void (*bannerOutput)(int banner, int32_t x, int32_t y, const char* text) = ViewBanner;

void FrameTick(uint32_t t) {
    if (clockStart == 0) clockStart = SysMilliseconds();
    const int features = FeaturesInUse();
    if (!LoadStateCaptured()) {
        CaptureLoadState();
        for (int i = 0; i < features; ++i) PrepareLoadedFeature(featureTable[i]);
    }
    const int sections = sectionCount > MAX_SECTIONS ? MAX_SECTIONS : sectionCount;
    if (sections > 0) {
        if (currentSection < 0 || currentSection >= sections) currentSection = 0;
        if (sectionEnding) {
            if (SwitchWhenDone(features, sections)) t = 0;
        } else if (sectionTable[currentSection].endRequested) {
            sectionEnding = true;
            for (int i = 0; i < features; ++i) BeginEnding(featureTable[i], t, currentSection);
        }
    }
    for (int i = 0; i < features; ++i) UpdateFeature(featureTable[i], t, currentSection);
    if (!previewMode && t > bannerNextTime) ToggleBanner(t);
}
