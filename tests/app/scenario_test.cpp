// Whole scenes read from theme scripts, played by the frame tick on the
// headless virtual clock with a fixed seed.
#include "engine/engine_sound.h"
#include "engine/engine_state.h"
#include "engine/frame_tick.h"
#include "engine/random.h"
#include "ports/headless/headless_port.h"
#include "support/module_fixture.h"

#include <string>
#include <vector>

namespace {

struct Played {
    char kind;
    CSound* sound;
    int volume;
    int pan;
};

std::vector<Played>& PlayedCalls() {
    static std::vector<Played> calls;
    return calls;
}

int RecordStart(void*, uint32_t, CSound* sound, int volume, int pan) {
    PlayedCalls().push_back({'S', sound, volume, pan});
    return 1;
}
void RecordStop(void*, CSound* sound) {
    PlayedCalls().push_back({'X', sound, 0, 0});
}
void RecordVolumePan(void*, CSound* sound, int volume, int pan) {
    PlayedCalls().push_back({'V', sound, volume, pan});
}

struct ThemeRun {
    int showings = 0;
    int sectionChanges = 0;
};

class Scenario : public ModuleFixture {
  protected:
    // Plays `seconds` of a bundled theme's module as the main loop would: the
    // section clock is the virtual clock less the section's start.
    struct ThemeRun PlayTheme(const std::string& theme, int module, uint32_t seconds);

    void SetUp() override {
        ModuleFixture::SetUp();
        engine.random.SeedRandom(2026);
        PlayedCalls().clear();
        engine.sound = {RecordStart, RecordStop, RecordVolumePan, nullptr};
        engine.previewMode = false;
        engine.bannerOutput = nullptr;
        engine.bannerShown = false;
        engine.bannerNextTime = 0;
        engine.clockStart = 0;
        port.system.SetTime(100000);
    }
    void TearDown() override { ModuleFixture::TearDown(); }
    void Play(const std::string& body, const std::string& params = "") {
        LoadBody(body, params);
        ASSERT_EQ(errorLine, 0) << LastMessage();
    }
    // Ticks from `from` to `to` every `step` ms.
    void Run(uint32_t from, uint32_t to, uint32_t step = 10) {
        for (uint32_t t = from; t <= to; t += step)
            FrameTick(engine, t, port.system.Milliseconds());
    }
    static bool Showing(const CFeature& f) {
        return f.endTime != 0 && static_cast<uint32_t>(f.endTime) != 0xFFFFFFFFu;
    }
    const SpriteSlot& Slot(const CFeature& f) const { return view.slots[f.displaySlot]; }
    int Count(char kind, const CSound* sound) const {
        int n = 0;
        for (const Played& p : PlayedCalls()) n += p.kind == kind && p.sound == sound;
        return n;
    }
};

} // namespace

TEST_F(Scenario, StraightMovementInSixteenths) {
    Play("Feature\n{\nImage \"still.gif\"\nStart 0\nPosition 100, 50\nMovement 2, 1, 40\nDuration "
         "1000\n}\n");
    CFeature& f = featureTable[0];
    FrameTick(engine, 0, port.system.Milliseconds());
    EXPECT_EQ(f.x, 1600);
    EXPECT_EQ(f.y, 800);
    EXPECT_EQ(Slot(f).x, 100);
    Run(10, 120);
    EXPECT_EQ(f.x, 1600 + 3 * 32);
    EXPECT_EQ(f.y, 800 + 3 * 16);
    EXPECT_EQ(Slot(f).x, 106);
    EXPECT_EQ(Slot(f).y, 53);
    Run(130, 1000);
    EXPECT_EQ(static_cast<uint32_t>(f.endTime), 0xFFFFFFFFu);
    EXPECT_EQ(Slot(f).frame, nullptr);
}

TEST_F(Scenario, AnimationFramesFollowTheGifDelays) {
    Play("Feature\n{\nImage \"fish.gif\"\nStart 0\nPosition Center, Bottom\n}\n");
    CFeature& f = featureTable[0];
    FrameTick(engine, 0, port.system.Milliseconds());
    EXPECT_EQ(f.x, 16 * ((800 - 4) / 2));
    EXPECT_EQ(f.y, 16 * (600 - 3));
    Run(10, 90);
    EXPECT_EQ(f.currentFrame->frameIndex, 0);
    FrameTick(engine, 100, port.system.Milliseconds());
    EXPECT_EQ(f.currentFrame->frameIndex, 1);
    EXPECT_EQ(Slot(f).frame, f.currentFrame);
    Run(110, 400);
    EXPECT_EQ(f.currentFrame->frameIndex, 0); // looped round
}

TEST_F(Scenario, ChestOpensWhenTheShutChestStops) {
    Play("Feature\n{\nImage \"still.gif\"\nStart 0\nPosition 380, Bottom\n"
         "Condition AfterTime (1000)\n{\nTrigger Chest\nStop\n}\n}\n"
         "Feature\n{\nLabel Chest\nImage \"fish.gif\"\nStart OnTrigger\nPosition 380, Bottom\n"
         "Sound \"bubble.wav\", 80\nDuration 2000\n}\n");
    CFeature& shut = featureTable[0];
    CFeature& chest = featureTable[1];
    Run(0, 740);
    EXPECT_EQ(chest.startTime, 0);
    FrameTick(engine, 750,
              port.system.Milliseconds()); // foreseen: scheduled at the trigger, its sound now
    EXPECT_EQ(chest.startTime, 1000);
    EXPECT_EQ(Count('S', chest.sound), 1);
    Run(760, 1000);
    EXPECT_TRUE(Showing(chest));
    EXPECT_TRUE(Showing(shut));
    FrameTick(engine, 1010, port.system.Milliseconds());
    EXPECT_FALSE(Showing(shut));
    EXPECT_EQ(Slot(shut).frame, nullptr);
    Run(1020, 3000);
    EXPECT_EQ(chest.endTime, 0); // waits for the next trigger
    EXPECT_EQ(Count('X', chest.sound), 1);
}

TEST_F(Scenario, ATriggerInOnEndStartsItsTargetAsTheFeatureEnds) {
    Play("Feature\n{\nImage \"still.gif\"\nStart 0\nPosition 0, 0\nDuration 500\n"
         "Condition OnEnd\n{\nTrigger Next\n}\n}\n"
         "Feature\n{\nLabel Next\nImage \"still.gif\"\nStart OnTrigger\nPosition 10, 0\nDuration "
         "500\n}\n");
    Run(0, 500);
    EXPECT_EQ(featureTable[1].startTime, 500);
    EXPECT_TRUE(Showing(featureTable[1]));
    Run(510, 1000);
    EXPECT_EQ(featureTable[1].endTime, 0);
}

TEST_F(Scenario, SectionsEndFadeAndCycle) {
    Play("Section \"one\"\n{\n"
         "Feature\n{\nImage \"still.gif\"\nStart 0\nPosition 10, 10\nDuration 100000\n"
         "Condition AfterTime (500)\n{\nEndSection\n}\n}\n}\n"
         "Section \"two\"\n{\n"
         "Feature\n{\nImage \"still.gif\"\nStart 0\nPosition 20, 20\nDuration 300\n"
         "Condition OnEnd\n{\nEndSection\n}\n}\n}\n");
    ASSERT_EQ(sectionCount, 2);
    CFeature& first = featureTable[0];
    CFeature& second = featureTable[1];
    Run(0, 510);
    EXPECT_EQ(sectionTable[0].endRequested, 1);
    FrameTick(engine, 520, port.system.Milliseconds());
    EXPECT_TRUE(engine.sectionEnding);
    EXPECT_EQ(first.fadeLevel, 95);
    EXPECT_EQ(first.image->colorInfo->colors[1].red, first.image->loadedColors[1].red * 95 / 100);
    uint32_t t = 520;
    while (engine.sectionEnding && t < 5000) FrameTick(engine, t += 10, port.system.Milliseconds());
    EXPECT_EQ(engine.currentSection, 1);
    EXPECT_EQ(engine.clockStart, 100000u); // the virtual clock did not move
    EXPECT_TRUE(Showing(second));
    EXPECT_EQ(static_cast<uint32_t>(second.endTime), 300u);
    EXPECT_EQ(first.image->colorInfo->colors[1].red,
              first.image->loadedColors[1].red); // bright again
    Run(10, 300);
    EXPECT_EQ(sectionTable[1].endRequested, 1); // from the OnEnd of the second
    t = 300;
    while (engine.currentSection == 1 && t < 5000)
        FrameTick(engine, t += 10, port.system.Milliseconds());
    EXPECT_EQ(engine.currentSection, 0); // after the last section, the first
    EXPECT_TRUE(Showing(first));
}

TEST_F(Scenario, AnOrderedGroupTakesTurns) {
    std::string body;
    for (int i = 0; i < 3; ++i)
        body += "Feature\n{\nImage \"still.gif\"\nStart Group (Shoal, 0, 100)\nPosition " +
                std::to_string(100 * i) + ", 0\nDuration 200\n}\n";
    Play(body);
    std::string order;
    for (uint32_t t = 0; t <= 2000; t += 10) {
        FrameTick(engine, t, port.system.Milliseconds());
        for (int i = 0; i < 3; ++i)
            if (static_cast<uint32_t>(featureTable[i].endTime) == t + 200)
                order += static_cast<char>('A' + i);
    }
    EXPECT_EQ(order.substr(0, 6), "ABCABC");
}

TEST_F(Scenario, ARandomGroupNeverRepeatsAMember) {
    std::string body;
    for (int i = 0; i < 3; ++i)
        body += "Feature\n{\nImage \"still.gif\"\nStart Group (Jellies,Random " +
                std::string(i == 0 ? "1" : "0") + ",50)\nPosition 0, 0\nDuration 100\n}\n";
    Play(body);
    std::string order;
    for (uint32_t t = 0; t <= 10000; t += 10) {
        FrameTick(engine, t, port.system.Milliseconds());
        for (int i = 0; i < 3; ++i)
            if (static_cast<uint32_t>(featureTable[i].endTime) == t + 100)
                order += static_cast<char>('A' + i);
    }
    ASSERT_GT(order.size(), 30u);
    EXPECT_EQ(order[0], 'A'); // the member marked to go first
    for (size_t i = 1; i < order.size(); ++i) EXPECT_NE(order[i], order[i - 1]) << order;
}

TEST_F(Scenario, FadeInFromTheScript) {
    Play("Feature\n{\nImage \"still.gif\"\nStart 0\nPosition 0, 0\nDuration 100\nFade FadeIn (30, "
         "100)\n}\n");
    CFeature& f = featureTable[0];
    const int red = f.image->loadedColors[1].red;
    FrameTick(engine, 0, port.system.Milliseconds());
    EXPECT_EQ(f.image->colorInfo->colors[1].red, red * 30 / 100);
    FrameTick(engine, 100, port.system.Milliseconds());
    EXPECT_EQ(f.image->colorInfo->colors[1].red, red * 60 / 100);
    FrameTick(engine, 200, port.system.Milliseconds());
    FrameTick(engine, 300, port.system.Milliseconds());
    EXPECT_EQ(f.image->colorInfo->colors[1].red, red);
    EXPECT_EQ(static_cast<uint32_t>(f.endTime), 0xFFFFFFFFu); // the fade held the end back to 300
}

TEST_F(Scenario, SetupEnabledFeaturesStayEnabledInLaterRounds) {
    const char* params = "#Fish \"Fish\" \"Few\" \"Many\" 1, 5, 3\n";
    Play("Section \"only\"\n{\n"
         "Feature\n{\nImage \"still.gif\"\nStart 0\nPosition 0, 0\nDuration 100000\nEnable OnSetup "
         "(#Fish >= 2)\n"
         "Condition AfterTime (100)\n{\nEndSection\n}\n}\n"
         "Feature\n{\nImage \"still.gif\"\nStart 0\nPosition 0, 0\nEnable OnSetup (#Fish >= "
         "4)\n}\n}\n",
         params);
    CFeature& shown = featureTable[0];
    CFeature& hidden = featureTable[1];
    ASSERT_EQ(shown.enabled, 1);
    ASSERT_EQ(hidden.enabled, 0);
    uint32_t t = 0;
    FrameTick(engine, t, port.system.Milliseconds());
    while (!engine.sectionEnding && t < 1000)
        FrameTick(engine, t += 10, port.system.Milliseconds());
    while (engine.sectionEnding && t < 5000) FrameTick(engine, t += 10, port.system.Milliseconds());
    ASSERT_EQ(engine.currentSection, 0);
    EXPECT_EQ(shown.enabled, 1);
    EXPECT_TRUE(Showing(shown)); // a second round, still there
    EXPECT_EQ(hidden.enabled, 0);
    EXPECT_FALSE(Showing(hidden));
}

TEST_F(Scenario, EarlySoundsAndAutoPanFromTheScript) {
    Play("Feature\n{\nImage \"still.gif\"\nStart 100\nPosition 0, 0\nSound \"bubble.wav\", "
         "90\nAutoPan\n}\n"
         "Feature\n{\nImage \"still.gif\"\nStart 1000\nPosition Right, 0\nSound \"bubble.wav\", "
         "70\nAutoPan\n}\n");
    FrameTick(engine, 0, port.system.Milliseconds());
    ASSERT_EQ(Count('S', featureTable[0].sound), 1); // at once: its start is within the lead
    EXPECT_EQ(PlayedCalls()[1].pan, 117);            // the left edge, for the mixer's pan law
    Run(10, 740);
    EXPECT_EQ(Count('S', featureTable[1].sound), 0);
    FrameTick(engine, 750, port.system.Milliseconds());
    ASSERT_EQ(Count('S', featureTable[1].sound), 1);
    EXPECT_EQ(PlayedCalls().back().pan, 12); // the right edge
    EXPECT_EQ(PlayedCalls().back().volume, 70);
}

namespace {

ThemeRun Scenario::PlayTheme(const std::string& theme, int module, uint32_t seconds) {
    const std::string folder = std::string(GLIMMORA_SOURCE_DIR) + "/themes/" + theme;
    std::snprintf(run.mediaDirectory, sizeof(run.mediaDirectory), "%s", folder.c_str());
    std::snprintf(run.scriptPath, sizeof(run.scriptPath), "%s/%s.SS", folder.c_str(),
                  theme.c_str());
    port.settings.Set("QV Test", "Config", "ActiveModule", module);
    LoadModule(ctx);
    EXPECT_EQ(errorLine, 0) << theme << " module " << module;
    ThemeRun result;
    engine.clockStart = 0;
    bool wasShowing[MAX_FEATURES] = {};
    int32_t section = engine.currentSection;
    for (uint32_t pass = 0; pass < seconds * 50; ++pass) {
        port.system.AdvanceTime(20);
        const uint32_t t =
            engine.clockStart == 0 ? 0 : port.system.Milliseconds() - engine.clockStart;
        engine.sectionTime.store(t);
        FrameTick(engine, t, port.system.Milliseconds());
        if (engine.currentSection != section) ++result.sectionChanges;
        section = engine.currentSection;
        for (int i = 0; i < featureCount; ++i) {
            const CFeature& f = featureTable[i];
            const bool showing = f.endTime != 0 && static_cast<uint32_t>(f.endTime) != 0xFFFFFFFFu;
            if (showing && !wasShowing[i]) ++result.showings;
            wasShowing[i] = showing;
            if (f.displaySlot >= 0 && f.currentFrame) {
                EXPECT_EQ(view.slots[f.displaySlot].frame, f.currentFrame) << "feature " << i;
            }
        }
    }
    return result;
}

} // namespace

TEST_F(Scenario, TheBundledThemesPlayForTenMinutes) {
    engine.previewMode = true; // no splash, no banner
    for (int module = 0; module < 3; ++module) {
        SetUp();
        engine.previewMode = false;
        const ThemeRun run = PlayTheme("Aquarium", module, 600);
        EXPECT_GT(run.showings, 20) << "module " << module;
        EXPECT_GT(run.sectionChanges, 0) << "module " << module;
        TearDown();
    }
    SetUp();
    const ThemeRun run = PlayTheme("Minimal", 0, 120);
    EXPECT_GT(run.showings, 0);
}
