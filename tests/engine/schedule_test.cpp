#include "engine/schedule.h"
#include "engine_fixture.h"

namespace {

using Schedule = EngineTest;

} // namespace

TEST_F(Schedule, FixedStartZeroShowsOncePerSection) {
    CFeature& f = Fixed(0, 1000);
    Tick(0);
    EXPECT_TRUE(Showing(f));
    EXPECT_EQ(Time(f.endTime), 1000u);
    EXPECT_EQ(SlotOf(f).frame, f.image);
    EXPECT_EQ(SlotOf(f).x, 100);
    Tick(999);
    EXPECT_TRUE(Showing(f));
    Tick(1000);
    EXPECT_EQ(Time(f.endTime), 0xFFFFFFFFu);
    EXPECT_EQ(SlotOf(f).frame, nullptr);
    EXPECT_EQ(f.currentFrame, nullptr);
    Tick(5000);
    EXPECT_EQ(Time(f.endTime), 0xFFFFFFFFu);
    ResetForSection(engine, f);
    Tick(0);
    EXPECT_TRUE(Showing(f));
}

TEST_F(Schedule, RandomStartIsDrawnAtTheFirstTickAndAfterEachShowing) {
    CFeature& f = AddFeature();
    AttachImage(f);
    f.positionX = 0;
    f.startArg1 = 5000;
    f.startArg2 = 1000;
    f.durationType = DURATION_FIXED;
    f.currentDuration = 500;
    engine.random.SeedRandom(77);
    const int32_t first = engine.random.RandomAround(5000, 1000);
    const int32_t second = engine.random.RandomAround(5000, 1000);
    engine.random.SeedRandom(77);
    Tick(0);
    EXPECT_EQ(f.startTime, first);
    EXPECT_GE(first, 4000);
    EXPECT_LE(first, 5999);
    Tick(Time(f.startTime) - 1);
    EXPECT_EQ(f.endTime, 0);
    Tick(Time(first));
    EXPECT_TRUE(Showing(f));
    Tick(first + 500);
    EXPECT_EQ(f.endTime, 0);
    EXPECT_EQ(f.startTime, 0);
    Tick(first + 510); // counted from the first tick after the end
    EXPECT_EQ(f.startTime, first + 510 + second);
}

// The default Start, Random(0, 0), draws time 0 at the first tick, which is
// "not scheduled": drawn again at 1 ms, it shows at 2 ms.
TEST_F(Schedule, DefaultStartShowsOnTheThirdTick) {
    CFeature& f = AddFeature();
    AttachImage(f);
    Tick(0);
    Tick(1);
    EXPECT_FALSE(Showing(f));
    Tick(2);
    EXPECT_TRUE(Showing(f));
}

TEST_F(Schedule, NegativeRandomDrawsStartAtOnceAndEndAtOnce) {
    CFeature& f = AddFeature();
    AttachImage(f);
    f.positionX = 0;
    f.startArg1 = 0;
    f.startArg2 = 5000; // draws from -5000
    f.durationType = DURATION_RANDOM;
    f.durationArg1 = 0;
    f.durationArg2 = 5000;
    uint32_t seed = 1;
    for (;; ++seed) { // a seed whose next two draws are both negative
        engine.random.SeedRandom(seed);
        if (engine.random.RandomAround(0, 5000) < 0 && engine.random.RandomAround(0, 5000) < 0)
            break;
    }
    engine.random.SeedRandom(seed);
    Tick(100);
    EXPECT_EQ(f.startTime, 100); // due at once instead of after the clock wraps
    Tick(110);
    EXPECT_LT(f.currentDuration, 0);
    EXPECT_EQ(Time(f.endTime), 110u);
    Tick(120);
    EXPECT_EQ(f.endTime, 0);
}

TEST_F(Schedule, OffsetStartWithOffsetDuration) {
    CFeature& f = AddFeature();
    AttachImage(f);
    f.startType = START_OFFSET;
    f.startArg1 = 2000;
    f.startArg2 = 500;
    f.startTime = 2000;
    f.durationType = DURATION_OFFSET;
    f.durationArg1 = 3000;
    f.durationArg2 = 1000;
    f.currentDuration = 3000;
    Tick(0);
    Tick(1999);
    EXPECT_EQ(f.endTime, 0);
    Tick(2000);
    EXPECT_EQ(Time(f.endTime), 5000u);
    EXPECT_EQ(f.currentDuration, 1000);
    Tick(5000);
    EXPECT_EQ(f.endTime, 0);
    Tick(5010);
    EXPECT_EQ(f.startTime, 5510);
    Tick(5510);
    EXPECT_EQ(Time(f.endTime), 6510u);
    ResetForSection(engine, f);
    EXPECT_EQ(f.startTime, 2000);
    EXPECT_EQ(f.currentDuration, 3000);
}

TEST_F(Schedule, EnableAfterTimeInEveryRound) {
    CFeature& f = Fixed(0, 100000);
    f.enableMode = ENABLE_AFTER_TIME;
    f.enableAfter = 10000;
    f.enabled = 0;
    Tick(0);
    Tick(9999);
    EXPECT_EQ(f.endTime, 0);
    Tick(10000);
    EXPECT_TRUE(Showing(f));
    ResetForSection(engine, f);
    EXPECT_EQ(f.enabled, 0);
    Tick(0);
    EXPECT_EQ(f.endTime, 0);
    Tick(10000);
    EXPECT_TRUE(Showing(f));
}

TEST_F(Schedule, SoundStartsTheLeadAheadOfTheFeature) {
    CFeature& f = Fixed(1000, 500);
    CSound* sound = AttachSound(f, 80);
    Tick(749);
    EXPECT_TRUE(Calls('S').empty());
    Tick(750);
    ASSERT_EQ(Calls('S').size(), 1u);
    EXPECT_EQ(Calls('S')[0].stopTime, 0xFFFFFFFFu);
    EXPECT_EQ(Calls('S')[0].sound, sound);
    EXPECT_EQ(Calls('S')[0].volume, 80);
    EXPECT_EQ(Calls('S')[0].pan, 64);
    EXPECT_EQ(f.endTime, 0);
    Tick(1000);
    EXPECT_TRUE(Showing(f));
    EXPECT_EQ(Calls('S').size(), 1u);
    Tick(1500);
    ASSERT_EQ(Calls('X').size(), 1u);
    EXPECT_EQ(Calls('X')[0].sound, sound);
    EXPECT_EQ(f.soundStarted, 0);
}

TEST_F(Schedule, EarlyStartsHaveTheirSoundAtOnce) {
    CFeature& zero = Fixed(0, 500);
    AttachSound(zero);
    CFeature& early = Fixed(100, 500);
    AttachSound(early);
    Tick(0);
    EXPECT_EQ(Calls('S').size(), 2u);
    EXPECT_EQ(zero.soundStarted, 1);
    EXPECT_EQ(early.soundStarted, 1);
}

TEST_F(Schedule, LoopSoundRestartsOnItsImageCycleFrame) {
    CFeature& f = AddFeature();
    AttachImage(f, 3, 32, 16, 100, true);
    AttachSound(f);
    f.startType = START_FIXED;
    f.soundCycleFrame = 1;
    Tick(0);
    EXPECT_EQ(Calls('S').size(), 1u);
    Tick(100); // frame 1
    EXPECT_EQ(Calls('S').size(), 2u);
    Tick(200);
    Tick(300);
    EXPECT_EQ(Calls('S').size(), 2u);
    Tick(400); // frame 1 again
    EXPECT_EQ(Calls('S').size(), 3u);
}

TEST_F(Schedule, ANonLoopingAnimationStopsOnItsLastFrame) {
    CFeature& f = AddFeature();
    TestImage& image = AttachImage(f, 3, 32, 16, 100, false);
    f.startType = START_FIXED;
    Tick(0);
    EXPECT_EQ(Time(f.nextFrameTime), 100u);
    Tick(100);
    EXPECT_EQ(SlotOf(f).frame, image.Frame(1));
    Tick(250);
    EXPECT_EQ(Time(f.nextFrameTime), 350u);
    Tick(350);
    EXPECT_EQ(f.nextFrameTime, 0);
    Tick(5000);
    EXPECT_EQ(f.currentFrame, image.Frame(2));
    EXPECT_EQ(SlotOf(f).frame, image.Frame(2));
}

TEST_F(Schedule, ASoundOnlyFeatureShowsUntilStopped) {
    CFeature& f = AddFeature();
    AttachSound(f);
    f.startType = START_FIXED;
    Tick(0);
    EXPECT_EQ(Time(f.endTime), 0xFFFFFFFEu);
    Tick(1000000);
    EXPECT_EQ(Time(f.endTime), 0xFFFFFFFEu);
    EXPECT_TRUE(IsActiveInSection(f, 0));
    EXPECT_FALSE(IsActiveInSection(f, 1));
}

TEST_F(Schedule, OnlyTheCurrentSectionUpdates) {
    CFeature& f = Fixed(0, 1000);
    f.section = 1;
    Tick(0);
    EXPECT_EQ(f.endTime, 0);
    UpdateFeature(engine, f, 0, 1);
    EXPECT_TRUE(Showing(f));
}

TEST_F(Schedule, ADisabledShowingFeatureGoesOnUntilItEnds) {
    CFeature& f = Fixed(0, 1000);
    Tick(0);
    f.enabled = 0;
    Tick(500);
    EXPECT_TRUE(Showing(f));
    EXPECT_FALSE(IsActiveInSection(f, 0));
    Tick(1000);
    EXPECT_EQ(Time(f.endTime), 0xFFFFFFFFu);
}

TEST_F(Schedule, ZeroDurationsAndFrameDelaysKeepTheirMeaning) {
    CFeature& f = AddFeature();
    AttachImage(f, 2, 8, 8, 0, true);
    f.startType = START_FIXED;
    f.durationType = DURATION_FIXED;
    f.currentDuration = 0;
    Tick(0);
    EXPECT_NE(f.endTime, 0); // showing, not mistaken for waiting
    EXPECT_NE(f.nextFrameTime, 0);
    Tick(1);
    EXPECT_EQ(Time(f.endTime), 0xFFFFFFFFu);
}
