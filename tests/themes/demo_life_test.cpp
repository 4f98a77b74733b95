// The demo theme comes to life at once: in every module, on the full screen and
// in the preview, something that moves or winks starts within the first seconds,
// and the sections hand over to each other.
#include "engine/engine_sound.h"
#include "engine/engine_state.h"
#include "engine/frame_tick.h"
#include "engine/random.h"
#include "ports/headless/headless_port.h"
#include "support/module_fixture.h"

#include <string>

namespace {

class DemoLife : public ModuleFixture {
  protected:
    void SetUp() override {
        ModuleFixture::SetUp();
        engine.random.SeedRandom(7);
        engine.sound = EngineSoundCalls::Silent();
        engine.bannerOutput = nullptr;
        engine.bannerShown = false;
        engine.bannerNextTime = 0;
        engine.clockStart = 0;
        port.system.SetTime(100000);
    }

    void LoadDemo(int module, bool preview) {
        const std::string folder = std::string(GLIMMORA_SOURCE_DIR) + "/themes/Aquarium";
        std::snprintf(run.mediaDirectory, sizeof(run.mediaDirectory), "%s", folder.c_str());
        std::snprintf(run.scriptPath, sizeof(run.scriptPath), "%s/Aquarium.SS", folder.c_str());
        port.settings.Set(run.saverName, "Config", "ActiveModule", module);
        run.previewMode = preview;
        LoadModule(ctx);
        ASSERT_EQ(errorLine, 0);
    }

    // Scenery stands from the start of a section and never moves.
    static bool Scenery(const CFeature& f) {
        return f.startType == START_FIXED && f.startArg1 == 0 && f.movementType == MOVE_STATIC;
    }

    static bool Showing(const CFeature& f) {
        return f.endTime != 0 && static_cast<uint32_t>(f.endTime) != 0xFFFFFFFFu;
    }

    // Plays from the start up to `ms` in 20 ms frames; returns the time at which
    // the first feature with a picture that is not scenery showed (0 if none).
    uint32_t FirstLife(uint32_t ms, int* sectionChanges) {
        uint32_t first = 0;
        int32_t section = engine.currentSection;
        for (uint32_t t = 0; t <= ms; t += 20) {
            engine.sectionTime = t;
            FrameTick(engine, t, port.system.Milliseconds());
            if (engine.currentSection != section) ++*sectionChanges;
            section = engine.currentSection;
            for (int i = 0; i < featureCount && !first; ++i) {
                const CFeature& f = featureTable[i];
                if (f.image && !Scenery(f) && Showing(f)) first = t == 0 ? 1 : t;
            }
            port.system.AdvanceTime(20);
        }
        return first;
    }
};

TEST_F(DemoLife, EveryModuleShowsLifeWithinTwoSeconds) {
    for (int module = 0; module < 3; ++module) {
        for (bool preview : {false, true}) {
            SCOPED_TRACE("module " + std::to_string(module) + (preview ? " preview" : ""));
            SetUp();
            LoadDemo(module, preview);
            int changes = 0;
            const uint32_t first = FirstLife(2000, &changes);
            EXPECT_GT(first, 0u);
            EXPECT_LE(first, 2000u);
            TearDown();
        }
    }
}

TEST_F(DemoLife, EverySectionEndsAndTheModulesComeRoundAgain) {
    for (int module = 0; module < 3; ++module) {
        SCOPED_TRACE("module " + std::to_string(module));
        SetUp();
        LoadDemo(module, false);
        int changes = 0;
        FirstLife(6 * 60 * 1000, &changes);
        // Both sections end within six minutes, at least twice over.
        EXPECT_GE(changes, 4);
        TearDown();
    }
}

} // namespace
