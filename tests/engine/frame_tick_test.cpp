#include "engine/frame_tick.h"

#include "engine/schedule.h"
#include "engine_fixture.h"

#include <cstring>
#include <string>

namespace {

struct BannerCall {
    int banner;
    int32_t x;
    int32_t y;
    std::string text;
};

std::vector<BannerCall>& BannerCalls() {
    static std::vector<BannerCall> calls;
    return calls;
}

void RecordBanner(Engine&, int banner, int32_t x, int32_t y, const char* text) {
    BannerCalls().push_back({banner, x, y, text});
}

class FrameTickTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        BannerCalls().clear();
        engine.bannerOutput = RecordBanner;
        clock = 50000;
    }
};

} // namespace

TEST_F(FrameTickTest, BannerShowsTenSecondsAndHidesSixty) {
    engine.previewMode = false;
    ThemeModule module{};
    std::strcpy(module.name, "Reef");
    theme.currentModule = &module;
    FrameTick(engine, 0, clock);
    EXPECT_TRUE(BannerCalls().empty());
    FrameTick(engine, 1, clock);
    ASSERT_EQ(BannerCalls().size(), 2u);
    EXPECT_EQ(BannerCalls()[0].banner, 1);
    EXPECT_EQ(BannerCalls()[0].x, 4);
    EXPECT_EQ(BannerCalls()[0].y, 584);
    EXPECT_EQ(BannerCalls()[0].text, "Reef");
    EXPECT_EQ(BannerCalls()[1].banner, 0);
    EXPECT_EQ(BannerCalls()[1].x, 618);
    EXPECT_EQ(BannerCalls()[1].text, PRODUCT_LINE);
    EXPECT_TRUE(engine.bannerShown);
    FrameTick(engine, 10001, clock);
    EXPECT_EQ(BannerCalls().size(), 2u);
    FrameTick(engine, 10002, clock);
    ASSERT_EQ(BannerCalls().size(), 4u);
    EXPECT_EQ(BannerCalls()[2].x, -50);
    EXPECT_EQ(BannerCalls()[2].y, 0);
    EXPECT_EQ(BannerCalls()[2].text, " ");
    EXPECT_EQ(BannerCalls()[3].banner, 0);
    EXPECT_FALSE(engine.bannerShown);
    FrameTick(engine, 70002, clock);
    EXPECT_EQ(BannerCalls().size(), 4u);
    FrameTick(engine, 70003, clock);
    EXPECT_EQ(BannerCalls().size(), 6u);
    EXPECT_TRUE(engine.bannerShown);
}

TEST_F(FrameTickTest, TheBannerReachesTheViewsTextBanners) {
    engine.previewMode = false;
    ThemeModule module{};
    std::strcpy(module.name, "Reef");
    theme.currentModule = &module;
    engine.bannerOutput = ViewBanner;
    FrameTick(engine, 1, clock);
    EXPECT_STREQ(view.banners[1].text, "Reef");
    EXPECT_STREQ(view.banners[0].text, PRODUCT_LINE);
    FrameTick(engine, 10002, clock);
    EXPECT_STREQ(view.banners[0].text, " ");
    view.Reset();
}

TEST_F(FrameTickTest, NoBannerInPreview) {
    engine.previewMode = true;
    for (uint32_t t = 0; t < 200000; t += 1000) FrameTick(engine, t, clock);
    EXPECT_TRUE(BannerCalls().empty());
}

TEST_F(FrameTickTest, WithoutSectionsFeaturesRunAndEndSectionDoesNothing) {
    CFeature& f = Fixed(0, 1000, 0);
    f.conditionType = COND_AFTER_TIME;
    std::strcpy(f.commands, "S");
    FrameTick(engine, 0, clock);
    EXPECT_TRUE(Showing(f));
    FrameTick(engine, 500, clock);
    EXPECT_EQ(sectionTable[0].endRequested, 1);
    FrameTick(engine, 600, clock);
    EXPECT_FALSE(engine.sectionEnding);
    EXPECT_EQ(engine.clockStart, 50000u);
}

TEST_F(FrameTickTest, TheLastSectionIsFollowedByTheFirst) {
    sectionCount = 3;
    engine.currentSection = 2;
    CFeature& first = Fixed(0, 1000, 0);
    sectionTable[2].endRequested = 1;
    sectionTable[0].endRequested = 1; // left from the last round
    FrameTick(engine, 7000, clock);
    EXPECT_TRUE(engine.sectionEnding);
    clock = 60000;
    FrameTick(engine, 7001, clock); // nothing active: the switch, and this tick runs at 0
    EXPECT_FALSE(engine.sectionEnding);
    EXPECT_EQ(engine.currentSection, 0);
    EXPECT_EQ(sectionTable[0].endRequested, 0);
    EXPECT_EQ(engine.clockStart, 60000u);
    EXPECT_EQ(engine.sectionTime.load(), 0u);
    EXPECT_TRUE(engine.groupsDirty);
    EXPECT_TRUE(Showing(first));
    EXPECT_EQ(Time(first.endTime), 1000u);
}

TEST_F(FrameTickTest, EndSectionFadesTheSectionOutThenSwitches) {
    sectionCount = 2;
    CFeature& ender = Fixed(0, 100000, 0);
    ender.conditionType = COND_AFTER_TIME;
    ender.conditionArg1 = 1000;
    std::strcpy(ender.commands, "S");
    CFeature& still = Fixed(0, 100000, 0);
    CFeature& next = Fixed(0, 5000, 1);
    CFeature& late = Fixed(3000, 1000, 0); // waiting: must not start while ending
    FrameTick(engine, 0, clock);
    FrameTick(engine, 1001, clock);
    EXPECT_EQ(sectionTable[0].endRequested, 1);
    EXPECT_FALSE(engine.sectionEnding);
    FrameTick(engine, 1002, clock);
    EXPECT_TRUE(engine.sectionEnding);
    EXPECT_EQ(still.fadeLevel, 95);
    uint32_t t = 1002;
    while (engine.sectionEnding && t < 10000) {
        t += 10;
        FrameTick(engine, t, clock);
    }
    EXPECT_EQ(t, 1002u + 950u + 10u); // 95 at once, nineteen steps of 50 ms, then the switch tick
    EXPECT_EQ(engine.currentSection, 1);
    EXPECT_EQ(late.endTime, 0);
    EXPECT_TRUE(Showing(next));
    EXPECT_EQ(Time(next.endTime), 5000u);
    EXPECT_EQ(SlotOf(still).frame, nullptr);
}

TEST_F(FrameTickTest, OnSetupStateSurvivesSectionChanges) {
    sectionCount = 1;
    CFeature& onSetup = Fixed(0, 100000, 0);
    onSetup.enableMode = ENABLE_BY_COMMAND;
    onSetup.enabled = 1; // the Setup test held at load
    CFeature& off = Fixed(0, 100000, 0);
    off.enableMode = ENABLE_BY_COMMAND;
    off.enabled = 0;
    CFeature& afterTime = Fixed(0, 100000, 0);
    afterTime.enableMode = ENABLE_AFTER_TIME;
    afterTime.enableAfter = 500;
    afterTime.enabled = 0;
    FrameTick(engine, 0, clock);
    EXPECT_TRUE(Showing(onSetup));
    off.enabled = 1; // an Enable command
    sectionTable[0].endRequested = 1;
    uint32_t t = 0;
    while (t < 5000 && (t < 100 || engine.sectionEnding || sectionTable[0].endRequested))
        FrameTick(engine, t += 10, clock);
    ASSERT_EQ(engine.currentSection, 0);
    EXPECT_EQ(onSetup.enabled, 1);
    EXPECT_TRUE(Showing(onSetup));
    EXPECT_EQ(off.enabled, 0);
    EXPECT_EQ(afterTime.enabled, 0);
    FrameTick(engine, 600, clock);
    EXPECT_EQ(afterTime.enabled, 1);
}

TEST_F(FrameTickTest, LeftoversOfTheOldSectionAreRemovedAtTheSwitch) {
    sectionCount = 2;
    CFeature& disabled = Fixed(0, 100000, 0);
    CSound* sound = AttachSound(disabled);
    CFeature& waiting = Fixed(20000, 1000, 0);
    CSound* loop = AttachSound(waiting);
    loop->flags |= SOUND_LOOP;
    CFeature& once = Fixed(19000, 1000, 0);
    AttachSound(once);
    FrameTick(engine, 0, clock);
    disabled.enabled = 0; // still showing, but not counted by the section end
    sectionTable[0].endRequested = 1;
    FrameTick(engine, 18900, clock); // the lead has started the sounds of the waiting features
    EXPECT_EQ(waiting.soundStarted, 0);
    EXPECT_EQ(once.soundStarted, 1);
    waiting.soundStarted = 1; // as if its lead had come too
    FrameTick(engine, 18901, clock);
    EXPECT_EQ(engine.currentSection, 1);
    EXPECT_EQ(SlotOf(disabled).frame, nullptr);
    bool stoppedShowing = false;
    bool stoppedLoop = false;
    bool stoppedOnce = false;
    for (const SoundCall& call : Calls('X')) {
        stoppedShowing |= call.sound == sound;
        stoppedLoop |= call.sound == loop;
        stoppedOnce |= call.sound == once.sound;
    }
    EXPECT_TRUE(stoppedShowing);
    EXPECT_TRUE(stoppedLoop);
    EXPECT_FALSE(stoppedOnce); // a sound that ends by itself plays on
    EXPECT_EQ(disabled.endTime, 0);
}

TEST_F(FrameTickTest, ClockStartIsTakenOnTheFirstTick) {
    engine.clockStart = 0;
    FrameTick(engine, 0, clock);
    EXPECT_EQ(engine.clockStart, 50000u);
}

// A first Offset time of 0 reads as "not scheduled": the first showing of
// every round comes after the repeat time.
TEST_F(FrameTickTest, AnOffsetStartAtZeroFirstShowsAfterTheRepeatTime) {
    sectionCount = 1;
    CFeature& f = AddFeature();
    AttachImage(f);
    f.positionX = 0;
    f.startType = START_OFFSET;
    f.startArg1 = 0;
    f.startArg2 = 500;
    f.startTime = 0; // as loaded: the first time
    f.durationType = DURATION_FIXED;
    f.currentDuration = 100;
    FrameTick(engine, 0, clock);
    FrameTick(engine, 499, clock);
    EXPECT_EQ(f.endTime, 0);
    FrameTick(engine, 500, clock);
    EXPECT_NE(f.endTime, 0);
    FrameTick(engine, 600, clock);
    EXPECT_EQ(f.endTime, 0);
    sectionTable[0].endRequested = 1;
    FrameTick(engine, 700, clock);
    FrameTick(engine, 701, clock); // nothing active: a new round at time 0
    EXPECT_EQ(f.startTime, 500);
    FrameTick(engine, 499, clock);
    EXPECT_EQ(f.endTime, 0);
    FrameTick(engine, 500, clock);
    EXPECT_NE(f.endTime, 0);
}
