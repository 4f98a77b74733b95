#include "engine/frame_tick.h"

#include "display/ss_view.h"
#include "engine/engine_state.h"
#include "engine/fades.h"
#include "engine/schedule.h"
#include "script/theme_records.h"

#include <algorithm>

const char PRODUCT_LINE[] = "Glimmora (c) 2026 Tarnwell";

void ViewBanner(Engine& e, int banner, int32_t x, int32_t y, const char* text) {
    e.view.SetBanner(banner, x, y, text);
}

namespace {

constexpr uint32_t BANNER_SHOWN_MS = 10000;
constexpr uint32_t BANNER_HIDDEN_MS = 60000;

void ShowBanner(Engine& e, int banner, int32_t x, int32_t y, const char* text) {
    if (e.bannerOutput) e.bannerOutput(e, banner, x, y, text);
}

uint32_t Later(uint32_t t, uint32_t delay) {
    const uint64_t time = static_cast<uint64_t>(t) + delay;
    return time > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(time);
}

int FeaturesInUse(const Engine& e) {
    return e.theme.featureCount < 0
               ? 0
               : (e.theme.featureCount > MAX_FEATURES ? MAX_FEATURES : e.theme.featureCount);
}

// Moves on to the next section once no feature of the ending one is active.
// Returns true when the section changed.
bool SwitchWhenDone(Engine& e, int features, int sections, uint32_t now) {
    for (int i = 0; i < features; ++i) {
        if (IsActiveInSection(e.theme.featureTable[i], e.currentSection)) return false;
    }
    e.sectionEnding = false;
    for (int i = 0; i < features; ++i) LeaveSection(e, e.theme.featureTable[i]);
    e.currentSection = (e.currentSection + 1) % sections;
    e.theme.sectionTable[e.currentSection].endRequested = 0;
    e.clockStart = now;
    e.sectionTime.store(0, std::memory_order_relaxed);
    for (int i = 0; i < features; ++i) ResetForSection(e, e.theme.featureTable[i]);
    e.groupsDirty = true;
    return true;
}

void ToggleBanner(Engine& e, uint32_t t) {
    e.bannerShown = !e.bannerShown;
    if (e.bannerShown) {
        ShowBanner(e, 1, 4, 584, e.theme.currentModule ? e.theme.currentModule->name : "");
        ShowBanner(e, 0, 618, 584, PRODUCT_LINE);
        e.bannerNextTime = Later(t, BANNER_SHOWN_MS);
    } else {
        ShowBanner(e, 1, -50, 0, " ");
        ShowBanner(e, 0, -50, 0, " ");
        e.bannerNextTime = Later(t, BANNER_HIDDEN_MS);
    }
}

} // namespace

void RestartSection(Engine& e, uint32_t now) {
    const int features = FeaturesInUse(e);
    const int sections = e.theme.sectionCount > MAX_SECTIONS ? MAX_SECTIONS : e.theme.sectionCount;
    for (int i = 0; i < features; ++i) LeaveSection(e, e.theme.featureTable[i]);
    e.sectionEnding = false;
    if (e.currentSection >= 0 && e.currentSection < sections)
        e.theme.sectionTable[e.currentSection].endRequested = 0;
    e.clockStart = now;
    e.sectionTime.store(0, std::memory_order_relaxed);
    for (int i = 0; i < features; ++i) ResetForSection(e, e.theme.featureTable[i]);
    e.groupsDirty = true;
}

uint32_t NextChangeTime(Engine& e, uint32_t t) {
    const uint32_t soon = t + 1;
    // The first pass settles the load state at once.
    if (e.clockStart == 0 || !e.loadStateCaptured) return soon;
    const int features = FeaturesInUse(e);
    const int sections = e.theme.sectionCount > MAX_SECTIONS ? MAX_SECTIONS : e.theme.sectionCount;
    if (sections > 0) {
        if (e.currentSection < 0 || e.currentSection >= sections) return soon;
        if (e.sectionEnding) {
            // The section switches at the first pass that finds none of its
            // features active; until then their fade steps are the changes.
            bool busy = false;
            for (int i = 0; i < features && !busy; ++i)
                busy = IsActiveInSection(e.theme.featureTable[i], e.currentSection);
            if (!busy) return soon;
        } else if (e.theme.sectionTable[e.currentSection].endRequested) {
            return soon; // the next pass begins the ending
        }
    }
    uint32_t next = TIME_NEVER;
    if (!e.previewMode && e.bannerNextTime != TIME_NEVER)
        next = e.bannerNextTime >= t ? e.bannerNextTime + 1 : soon;
    for (int i = 0; i < features && next > soon; ++i)
        next = std::min(next, NextFeatureChange(e, e.theme.featureTable[i], t, e.currentSection));
    return next;
}

void FrameTick(Engine& e, uint32_t t, uint32_t now) {
    if (e.clockStart == 0) e.clockStart = now;
    const int features = FeaturesInUse(e);
    if (!e.loadStateCaptured) {
        CaptureLoadState(e);
        for (int i = 0; i < features; ++i) PrepareLoadedFeature(e.theme.featureTable[i]);
    }
    const int sections = e.theme.sectionCount > MAX_SECTIONS ? MAX_SECTIONS : e.theme.sectionCount;
    if (sections > 0) {
        if (e.currentSection < 0 || e.currentSection >= sections) e.currentSection = 0;
        if (e.sectionEnding) {
            if (SwitchWhenDone(e, features, sections, now)) t = 0;
        } else if (e.theme.sectionTable[e.currentSection].endRequested) {
            e.sectionEnding = true;
            for (int i = 0; i < features; ++i)
                BeginEnding(e, e.theme.featureTable[i], t, e.currentSection);
        }
    }
    for (int i = 0; i < features; ++i)
        UpdateFeature(e, e.theme.featureTable[i], t, e.currentSection);
    if (!e.previewMode && t > e.bannerNextTime) ToggleBanner(e, t);
}
