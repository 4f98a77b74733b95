// Shared set-up for engine tests: empty tables, an 800 by 600 view, a fixed
// random seed, and a recorder in place of the mixer.
#pragma once

#include "base/error_sink.h"
#include "display/ss_view.h"
#include "engine/engine_sound.h"
#include "engine/engine_state.h"
#include "engine/random.h"
#include "script/script_context.h"
#include "script/theme_records.h"
#include "sound/audio.h"
#include "sound/sound.h"
#include "support/test_animation.h"
#include "support/test_fonts.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

struct SoundCall {
    char kind; // 'S' start, 'X' stop, 'V' volume and pan
    uint32_t stopTime;
    CSound* sound;
    int volume;
    int pan;
};

std::vector<SoundCall>& SoundCalls();

class EngineTest : public ::testing::Test {
  protected:
    EngineTest();
    void SetUp() override;

    // A feature block that sets nothing, in `section`, appended to the table.
    CFeature& AddFeature(int32_t section = 0);
    // Gives the feature an image of its own and a sprite slot.
    TestImage& AttachImage(CFeature& feature, int frames = 1, int width = 32, int height = 16,
                           int delayMs = 100, bool looping = true);
    CSound* AttachSound(CFeature& feature, int volume = 100);
    CSound* AttachBounceSound(CFeature& feature, int volume = 100);
    // Makes label `label` name `feature` (and counts it).
    void SetLabel(int32_t label, int feature);

    // A feature with an image that starts at `start` and shows `duration` ms.
    CFeature& Fixed(int32_t start, int32_t duration, int32_t section = 0);
    // One update of every feature at section time `now`.
    void Tick(uint32_t now);
    // Whether the feature is showing now (started and not yet ended).
    static bool Showing(const CFeature& f);

    // The calls of one kind made to the mixer, oldest first.
    std::vector<SoundCall> Calls(char kind) const;
    const SpriteSlot& SlotOf(const CFeature& feature) const;

    std::vector<std::unique_ptr<TestImage>> images;
    std::vector<std::unique_ptr<CSound>> sounds;

    ErrorSink errors;
    TestFonts fonts;
    std::unique_ptr<ScriptContext> context = std::make_unique<ScriptContext>();
    ScriptContext& script = *context;
    ThemeTables& theme = script.theme;
    std::unique_ptr<CSSView> display = std::make_unique<CSSView>();
    CSSView& view = *display;
    CAudio audio;
    std::unique_ptr<Engine> engineState = std::make_unique<Engine>(theme, view);
    Engine& engine = *engineState;
    // The millisecond clock's value that frame ticks are given.
    uint32_t clock = 0;

    ThemeModule* const moduleTable = theme.moduleTable;
    int32_t& moduleCount = theme.moduleCount;
    LabelEntry* const labelTable = theme.labelTable;
    int32_t& labelCount = theme.labelCount;
    SectionEntry* const sectionTable = theme.sectionTable;
    int32_t& sectionCount = theme.sectionCount;
    CFeature* const featureTable = theme.featureTable;
    int32_t& featureCount = theme.featureCount;
};

uint32_t Time(int32_t field);
