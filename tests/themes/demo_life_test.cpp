// The demo theme comes to life at once: in every module, on the full screen and
// in the preview, something that moves or winks starts within the first seconds,
// and the sections hand over to each other.
#include "app/main_loop_state.h"
#include "engine/engine_sound.h"
#include "engine/engine_state.h"
#include "engine/frame_tick.h"
#include "engine/random.h"
#include "platform/sys.h"
#include "script/module_fixture.h"

#include <string>

namespace {

int QuietStart(uint32_t, CSound*, int, int) {
    return 1;
}
void QuietStop(CSound*) {}
void QuietVolumePan(CSound*, int, int) {}

class DemoLife : public ModuleFixture {
  protected:
    void SetUp() override {
        ModuleFixture::SetUp();
        ResetEngineState();
        SeedRandom(7);
        engineSound = {QuietStart, QuietStop, QuietVolumePan};
        bannerOutput = nullptr;
        bannerShown = false;
        bannerNextTime = 0;
        clockStart = 0;
        HeadlessSetTime(100000);
    }
    void TearDown() override {
        engineSound = MIXER_SOUND_CALLS;
        bannerOutput = ViewBanner;
        ModuleFixture::TearDown();
    }

    void LoadDemo(int module, bool preview) {
        const std::string folder = std::string(GLIMMORA_SOURCE_DIR) + "/themes/Aquarium";
        std::snprintf(mediaDirectory, sizeof(mediaDirectory), "%s", folder.c_str());
        std::snprintf(scriptPath, sizeof(scriptPath), "%s/Aquarium.SS", folder.c_str());
        HeadlessSettingsSet(saverName, "Config", "ActiveModule", module);
        previewMode = preview;
        LoadModule();
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
        int32_t section = currentSection;
        for (uint32_t t = 0; t <= ms; t += 20) {
            sectionTime = t;
            FrameTick(t);
            if (currentSection != section) ++*sectionChanges;
            section = currentSection;
            for (int i = 0; i < featureCount && !first; ++i) {
                const CFeature& f = featureTable[i];
                if (f.image && !Scenery(f) && Showing(f)) first = t == 0 ? 1 : t;
            }
            HeadlessAdvanceTime(20);
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
