#include "engine/fades.h"
#include "engine/schedule.h"
#include "engine_fixture.h"

namespace {

class Fades : public EngineTest {
  protected:
    CFeature& Fixed(int32_t duration, int frames = 1, int delayMs = 100) {
        CFeature& f = AddFeature();
        image = &AttachImage(f, frames, 32, 16, delayMs, true);
        f.startType = START_FIXED;
        f.positionX = 1600;
        f.positionY = 1600;
        f.durationType = DURATION_FIXED;
        f.currentDuration = duration;
        return f;
    }
    void Tick(uint32_t now) {
        for (int i = 0; i < featureCount; ++i) UpdateFeature(engine, featureTable[i], now, 0);
    }
    bool Showing(const CFeature& f) const {
        return f.endTime != 0 && Time(f.endTime) != 0xFFFFFFFFu;
    }
    TestImage* image = nullptr;
};

} // namespace

TEST_F(Fades, FadeInStepsUpToFullBrightness) {
    CFeature& f = Fixed(100);
    f.fadeType = FADE_IN;
    f.fadeStep = 30;
    f.fadeInterval = 100;
    Tick(0);
    EXPECT_EQ(f.fadeLevel, 30);
    EXPECT_EQ(image->Brightness(), 30);
    Tick(100); // the duration is over, but a running fade delays the end
    EXPECT_EQ(f.fadeLevel, 60);
    EXPECT_TRUE(Showing(f));
    Tick(200);
    EXPECT_EQ(image->Brightness(), 90);
    Tick(300);
    EXPECT_EQ(f.fadeLevel, 120);
    EXPECT_EQ(image->Brightness(), 100);
    EXPECT_EQ(Time(f.fadeNextTime), 0xFFFFFFFFu);
    // FadeIn alone ends without a fade-out.
    EXPECT_EQ(Time(f.endTime), 0xFFFFFFFFu);
}

TEST_F(Fades, FadeOutEndsOnTheStepThatReachesZero) {
    CFeature& f = Fixed(100);
    f.fadeType = FADE_OUT;
    f.fadeStep = 3;
    f.fadeInterval = 10;
    Tick(0);
    EXPECT_EQ(image->Brightness(), 100);
    Tick(100);
    EXPECT_EQ(f.fadeStep, -3);
    EXPECT_EQ(f.fadeLevel, 97);
    EXPECT_EQ(image->Brightness(), 97);
    for (uint32_t t = 110; t < 430; t += 10) {
        Tick(t);
        ASSERT_TRUE(Showing(f)) << t;
    }
    EXPECT_EQ(f.fadeLevel, 1);
    Tick(430);
    EXPECT_EQ(f.fadeLevel, -2);
    EXPECT_EQ(image->Brightness(), 0);
    EXPECT_EQ(Time(f.endTime), 0xFFFFFFFFu);
    EXPECT_EQ(SlotOf(f).frame, nullptr);
}

TEST_F(Fades, AFadeOutStartsFromFullBrightnessAgain) {
    CFeature& f = Fixed(100);
    f.fadeType = FADE_IN_OUT;
    f.fadeStep = 40;
    f.fadeInterval = 50;
    f.startType = START_OFFSET;
    f.startArg1 = 1;
    f.startArg2 = 1;
    f.startTime = 1;
    Tick(1);
    EXPECT_EQ(image->Brightness(), 40);
    Tick(51);
    Tick(101); // 120: faded in, and the duration is over: out from 100 - 40
    EXPECT_EQ(f.fadeLevel, 60);
    EXPECT_EQ(f.fadeStep, -40);
    Tick(151);
    EXPECT_EQ(image->Brightness(), 20);
    Tick(201);
    EXPECT_EQ(f.fadeLevel, -20);
    EXPECT_EQ(f.endTime, 0);
    Tick(210);
    Tick(211); // the next showing fades in again from the step
    EXPECT_EQ(f.fadeLevel, 40);
    EXPECT_EQ(f.fadeStep, 40);
}

// A fade-out that interrupts a fade-in runs its steps from full brightness
// (it takes its whole time) but shows no more than the level reached, so the
// sprite does not flash; so does a section end that cuts a fade-out short.
TEST_F(Fades, AFadeOutCuttingInKeepsItsTimeAndShowsNoBrighter) {
    CFeature& f = Fixed(100);
    f.fadeType = FADE_IN_OUT;
    f.fadeStep = 30;
    f.fadeInterval = 50;
    Tick(0);  // 30
    Tick(50); // 60; the Stop of a condition ends the showing here
    f.conditionType = COND_AFTER_TIME;
    f.conditionArg1 = 0;
    f.commands[0] = CMD_STOP;
    f.x += 160; // a repaint would show at the new place
    Tick(60);
    EXPECT_EQ(f.fadeStep, -30);
    EXPECT_EQ(f.fadeLevel, 70);
    EXPECT_EQ(image->Brightness(), 60);
    EXPECT_EQ(SlotOf(f).x, 100); // the same picture: not painted again
    Tick(110);
    EXPECT_EQ(f.fadeLevel, 40);
    EXPECT_EQ(image->Brightness(), 40);
    EXPECT_EQ(SlotOf(f).x, 110);
    engine.sectionEnding = true; // the section end starts over from 100 - 30
    BeginEnding(engine, f, 120, 0);
    EXPECT_EQ(f.fadeLevel, 70);
    EXPECT_EQ(image->Brightness(), 40);
    for (uint32_t t : {170, 220}) Tick(t);
    EXPECT_EQ(image->Brightness(), 10);
    EXPECT_TRUE(Showing(f));
    Tick(270);
    EXPECT_EQ(f.fadeLevel, -20);
    EXPECT_EQ(Time(f.endTime), 0xFFFFFFFFu);
}

TEST_F(Fades, AStillImageIsPlacedAgainOnEveryStep) {
    CFeature& f = Fixed(10000);
    f.fadeType = FADE_IN;
    f.fadeStep = 10;
    f.fadeInterval = 50;
    Tick(0);
    f.x += 160; // a repaint shows at the new place
    Tick(50);
    EXPECT_EQ(SlotOf(f).x, 110);
}

TEST_F(Fades, AnAnimationFasterThanTheFadeRepaintsItself) {
    CFeature& fast = Fixed(10000, 3, 40);
    fast.fadeType = FADE_IN;
    fast.fadeStep = 10;
    fast.fadeInterval = 50;
    Tick(0);
    Tick(40); // next frame at 80
    fast.x += 160;
    Tick(50); // fade step without a frame change: not placed
    EXPECT_EQ(SlotOf(fast).x, 100);
    SetUp();
    CFeature& slow = Fixed(10000, 3, 400);
    slow.fadeType = FADE_IN;
    slow.fadeStep = 10;
    slow.fadeInterval = 50;
    Tick(0);
    slow.x += 160;
    Tick(50);
    EXPECT_EQ(SlotOf(slow).x, 110);
}

TEST_F(Fades, SectionEndFadesEveryShowingFeature) {
    sectionTable[0].endRequested = 0;
    CFeature& f = Fixed(100000);
    f.fadeType = FADE_IN;
    f.fadeStep = 5;
    f.fadeInterval = 10;
    Tick(0);
    Tick(10);
    EXPECT_EQ(f.fadeLevel, 10);
    engine.sectionEnding = true;
    BeginEnding(engine, f, 20, 0);
    EXPECT_EQ(f.fadeStep, -5); // its own step, turned down, from 100
    EXPECT_EQ(f.fadeLevel, 95);
    EXPECT_EQ(image->Brightness(), 10); // no brighter than the fade-in had come
    for (uint32_t t = 30; t < 210; t += 10) Tick(t);
    EXPECT_TRUE(Showing(f));
    EXPECT_EQ(image->Brightness(), 5);
    Tick(210);
    EXPECT_EQ(Time(f.endTime), 0xFFFFFFFFu);
}

TEST_F(Fades, WithoutAFadeTheSectionEndTakesOneSecond) {
    CFeature& f = Fixed(100000);
    Tick(0);
    engine.sectionEnding = true;
    BeginEnding(engine, f, 1000, 0);
    EXPECT_EQ(f.fadeStep, -5);
    EXPECT_EQ(f.fadeInterval, 50);
    for (uint32_t t = 1050; t < 1950; t += 50) Tick(t);
    EXPECT_TRUE(Showing(f));
    Tick(1950);
    EXPECT_EQ(Time(f.endTime), 0xFFFFFFFFu);
    BeginEnding(engine, f, 2000, 0); // not active any more: untouched
    EXPECT_EQ(Time(f.fadeNextTime), 0xFFFFFFFFu);
}

TEST_F(Fades, ASoundOnlyFeatureFadesItsVolumeAtTheSectionEnd) {
    CFeature& f = AddFeature();
    f.startType = START_FIXED;
    CSound* sound = AttachSound(f, 120);
    Tick(0);
    engine.sectionEnding = true;
    BeginEnding(engine, f, 100, 0);
    for (uint32_t t = 150; t < 1050; t += 50) Tick(t);
    const auto volumes = Calls('V');
    ASSERT_EQ(volumes.size(), 18u);
    EXPECT_EQ(volumes[0].volume, 90 * 120 / 100);
    EXPECT_EQ(volumes[0].sound, sound);
    EXPECT_TRUE(Showing(f));
    Tick(1050);
    EXPECT_EQ(Calls('V').back().volume, 0);
    EXPECT_EQ(f.fadeLevel, 0);
    EXPECT_EQ(Time(f.endTime), 0xFFFFFFFFu);
    EXPECT_EQ(Calls('X').size(), 1u);
}

TEST_F(Fades, ASoundOnlyFeatureOutsideASectionEndDoesNotFade) {
    CFeature& f = AddFeature();
    f.startType = START_FIXED;
    f.fadeType = FADE_OUT;
    f.fadeStep = 10;
    f.fadeInterval = 10;
    f.fadeLevel = 50; // left over from an earlier fade
    f.durationType = DURATION_FIXED;
    f.currentDuration = 100;
    AttachSound(f);
    Tick(0);
    Tick(100);
    EXPECT_EQ(Time(f.endTime), 0xFFFFFFFFu); // ended instead of waiting for a fade that never steps
}

TEST_F(Fades, AStepOfZeroStillEnds) {
    CFeature& f = Fixed(100);
    f.fadeType = FADE_IN_OUT;
    f.fadeStep = 0;
    f.fadeInterval = 10;
    Tick(0);
    EXPECT_EQ(image->Brightness(), 100);
    for (uint32_t t = 10; t <= 200; t += 10) Tick(t);
    EXPECT_EQ(Time(f.endTime), 0xFFFFFFFFu);
    f.fadeStep = INT32_MIN; // no overflow in the size of a step
    f.fadeLevel = 100;
    f.endTime = 500;
    f.currentFrame = f.image;
    EXPECT_TRUE(BeginFadeOut(engine, f, 300));
    EXPECT_EQ(f.fadeLevel, 0);
}

TEST_F(Fades, ResetForSectionBringsBackFullBrightness) {
    CFeature& f = Fixed(100);
    f.fadeType = FADE_IN;
    f.fadeStep = 10;
    f.fadeInterval = 100;
    Tick(0);
    EXPECT_EQ(image->Brightness(), 10);
    ResetForSection(engine, f);
    EXPECT_EQ(image->Brightness(), 100);
}
