// Shared set-up for engine tests: empty tables, an 800 by 600 view, a fixed
// random seed, and a recorder in place of the mixer.
#pragma once

#include "display/ss_view.h"
#include "engine/engine_sound.h"
#include "engine/engine_state.h"
#include "engine/random.h"
#include "script/theme_records.h"
#include "sound/sound.h"
#include "support/context_fixture.h"
#include "support/test_animation.h"

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

class EngineTest : public ContextTest {
  protected:
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

    // The calls of one kind made to the mixer, oldest first.
    std::vector<SoundCall> Calls(char kind) const;
    const SpriteSlot& SlotOf(const CFeature& feature) const;

    std::vector<std::unique_ptr<TestImage>> images;
    std::vector<std::unique_ptr<CSound>> sounds;
};

uint32_t Time(int32_t field);
