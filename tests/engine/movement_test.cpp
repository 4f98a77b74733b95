#include "engine/movement.h"
#include "engine/schedule.h"
#include "engine_fixture.h"
#include "sound/audio.h"

#include <cstdlib>

namespace {

int32_t RandomCode(int32_t a, int32_t b) {
    return RANDOM_CODE | (a << RANDOM_A_SHIFT) | b;
}

class Movement : public EngineTest {
  protected:
    // A feature with an image that starts at 0 at (x, y) and shows 100 s.
    CFeature& Showing(int32_t x, int32_t y, int width = 32, int height = 16) {
        CFeature& f = AddFeature();
        AttachImage(f, 1, width, height);
        f.startType = START_FIXED;
        f.startTime = 0;
        f.positionX = x;
        f.positionY = y;
        f.durationType = DURATION_FIXED;
        f.currentDuration = 100000;
        return f;
    }
};

} // namespace

TEST(PolarStep, SteppingFromTheSineTable) {
    EXPECT_EQ(PolarStep(0, 5).dx, 80);
    EXPECT_EQ(PolarStep(0, 5).dy, 0);
    // 180 degrees drifts slightly upwards: the table's entry 180 is -1143.
    EXPECT_EQ(PolarStep(180, 5).dx, -79);
    EXPECT_EQ(PolarStep(180, 5).dy, -1);
    EXPECT_EQ(PolarStep(45, 10).dx, 113);
    EXPECT_EQ(PolarStep(45, 10).dy, 113);
    EXPECT_EQ(PolarStep(90, 10).dx, -2);
    EXPECT_EQ(PolarStep(90, 10).dy, 160);
}

TEST(PolarStep, HighSpeedsAndOddAnglesDoNotOverflow) {
    // 2048 and above overflowed a 32-bit product; the result is still exact.
    EXPECT_EQ(PolarStep(0, 100000).dx, 1600000);
    EXPECT_EQ(PolarStep(90, 100000).dy, 1600000);
    EXPECT_EQ(PolarStep(-90, 5).dy, PolarStep(270, 5).dy);
    EXPECT_EQ(PolarStep(720 + 45, 10).dx, 113);
    EXPECT_EQ(PolarStep(0, INT32_MAX).dx, INT32_MAX); // held at the limit
}

TEST_F(Movement, ResolvesCodesOverTheFreeRange) {
    CFeature& f = Showing(0, 0);
    EXPECT_EQ(ResolveAxis(engine, f, CENTER_CODE, false), 16 * 384);
    EXPECT_EQ(ResolveAxis(engine, f, FAR_EDGE_CODE, false), 16 * 768);
    EXPECT_EQ(ResolveAxis(engine, f, FAR_EDGE_CODE, true), 16 * 584);
    EXPECT_EQ(ResolveAxis(engine, f, 1234, false), 1234);
    EXPECT_EQ(ResolveAxis(engine, f, -50, true), -50);
    for (int i = 0; i < 500; ++i) {
        const int32_t x = ResolveAxis(engine, f, RANDOM_CODE, false);
        EXPECT_EQ(x % 16, 0);
        EXPECT_GE(x, 0);
        EXPECT_LT(x, 16 * 768);
        const int32_t r = ResolveAxis(engine, f, RandomCode(400, 100), true);
        EXPECT_GE(r, 16 * 300);
        EXPECT_LE(r, 16 * 499);
    }
    EXPECT_EQ(ResolveAxis(engine, f, RandomCode(400, 0), false), 16 * 400); // no spread: exactly a
}

TEST_F(Movement, ImagesLargerThanTheScreen) {
    CFeature& f = Showing(0, 0, 1000, 10);
    EXPECT_EQ(ResolveAxis(engine, f, CENTER_CODE, false), 16 * -100); // rounds down
    for (int i = 0; i < 200; ++i) {
        const int32_t x = ResolveAxis(engine, f, RANDOM_CODE, false);
        EXPECT_LE(x, 0);
        EXPECT_GT(x, 16 * -200);
    }
    CFeature& exact = Showing(0, 0, 800, 600);
    EXPECT_EQ(ResolveAxis(engine, exact, RANDOM_CODE, false), 0);
}

TEST_F(Movement, AbsoluteFeaturesUsePixelsOnOtherScreenSizes) {
    view.SetSize(1024, 768); // scales 327 and 327
    CFeature& f = Showing(0, 0, 64, 48);
    SetDesignSize(engine, f);
    EXPECT_EQ(f.designWidth, 50);
    EXPECT_EQ(f.designHeight, 37);
    EXPECT_EQ(ResolveAxis(engine, f, FAR_EDGE_CODE, false), 16 * ((1024 - 64) * 256 / 327));
    f.flags |= FLAG_ABSOLUTE_PIXELS;
    EXPECT_EQ(ResolveAxis(engine, f, FAR_EDGE_CODE, false), 16 * (1024 - 64));
}

// At a picture scale the sprite is that much larger on the screen: its
// design size, the free range of its position and its bounce edges follow.
TEST_F(Movement, PictureScaleGrowsTheSizeThatEdgesAndRangesUse) {
    view.SetSize(2400, 1800); // scales 768 and 768
    CFeature& f = Showing(0, 0, 32, 16);
    SetDesignSize(engine, f);
    EXPECT_EQ(f.designWidth, 10);
    EXPECT_EQ(ResolveAxis(engine, f, FAR_EDGE_CODE, false), 16 * ((2400 - 32) * 256 / 768));
    view.SetPictureScale(3);
    SetDesignSize(engine, f);
    EXPECT_EQ(f.designWidth, 32);
    EXPECT_EQ(f.designHeight, 16);
    EXPECT_EQ(ResolveAxis(engine, f, FAR_EDGE_CODE, false), 16 * 768);
    EXPECT_EQ(ResolveAxis(engine, f, FAR_EDGE_CODE, true), 16 * 584);

    f.x = 12800 - 512 - 1;
    f.y = 4800;
    EXPECT_FALSE(EdgeBounce(engine, f, true));
    f.x += 2;
    EXPECT_TRUE(EdgeBounce(engine, f, false));
    EXPECT_EQ(f.x, 12800 - 512);

    f.flags |= FLAG_ABSOLUTE_PIXELS; // edges in pixels: 96 wide
    f.x = 16 * (2400 - 90);
    EXPECT_TRUE(EdgeBounce(engine, f, false));
    EXPECT_EQ(f.x, 16 * (2400 - 96));
    EXPECT_EQ(ResolveAxis(engine, f, FAR_EDGE_CODE, false), 16 * (2400 - 96));
}

TEST_F(Movement, OffsetFromALabelledFeatureConvertsBetweenSpaces) {
    view.SetSize(1024, 768);
    CFeature& reference = Showing(1600, 800);
    Tick(0);
    SetLabel(3, 0);
    CFeature& f = AddFeature();
    AttachImage(f);
    f.positionMode = 1;
    f.positionLabel = 3;
    f.positionX = 160;
    f.positionY = CENTER_CODE;
    f.flags |= FLAG_ABSOLUTE_PIXELS;
    StartPosition(engine, f);
    EXPECT_EQ(f.x, 1600 * 327 / 256 + 160);
    EXPECT_EQ(f.y, 16 * ((768 - 16) / 2)); // a code replaces the reference's y
    f.flags = 0;
    reference.flags |= FLAG_ABSOLUTE_PIXELS;
    StartPosition(engine, f);
    EXPECT_EQ(f.x, 1600 * 256 / 327 + 160);
    int32_t predicted = 0;
    ASSERT_TRUE(PredictStartX(engine, f, &predicted));
    EXPECT_EQ(predicted, 1600 * 256 / 327);
}

TEST_F(Movement, VectorStepsOncePerIntervalAndPlacesTheSlot) {
    CFeature& f = Showing(1600, 3200);
    f.movementType = MOVE_VECTOR;
    f.moveDx = 32;
    f.moveDy = -16;
    f.moveInterval = 100;
    Tick(0);
    EXPECT_EQ(SlotOf(f).x, 100);
    EXPECT_EQ(SlotOf(f).y, 200);
    Tick(99);
    EXPECT_EQ(f.x, 1600);
    Tick(100);
    EXPECT_EQ(f.x, 1632);
    EXPECT_EQ(f.y, 3184);
    EXPECT_EQ(SlotOf(f).x, 102);
    EXPECT_EQ(SlotOf(f).y, 199);
    Tick(450); // a late frame makes one step, never several
    EXPECT_EQ(f.x, 1664);
    EXPECT_EQ(Time(f.nextMoveTime), 550u);
}

TEST_F(Movement, VectorStepsGivenAsRandomCodesAreDrawnPerShowing) {
    CFeature& f = Showing(1600, 3200);
    f.movementType = MOVE_VECTOR;
    f.moveDx = RandomCode(2, 1);
    f.moveDy = 0;
    f.moveInterval = 10;
    Tick(0);
    EXPECT_TRUE(f.moveArg1 == 16 || f.moveArg1 == 32);
    Tick(10);
    EXPECT_EQ(f.x, 1600 + f.moveArg1);
    EXPECT_EQ(f.moveDx, RandomCode(2, 1)); // the script's code stays for the next showing
}

TEST_F(Movement, PositionsSaturateInsteadOfOverflowing) {
    CFeature& f = Showing(0, 0);
    f.movementType = MOVE_VECTOR;
    f.moveDx = INT32_MAX / 2;
    f.moveDy = INT32_MIN / 2;
    f.moveInterval = 1;
    f.durationType = DURATION_FIXED;
    for (uint32_t t = 0; t < 10; ++t) Tick(t);
    EXPECT_EQ(f.x, INT32_MAX);
    EXPECT_EQ(f.y, INT32_MIN);
}

TEST_F(Movement, BounceStartsOnADiagonalWithinThirtyDegrees) {
    for (int i = 0; i < 200; ++i) {
        CFeature& f = featureTable[0];
        featureCount = 0;
        f = Showing(6400, 4800);
        f.movementType = MOVE_BOUNCE;
        f.moveArg1 = 5;
        StartMovement(engine, f, 0);
        const int32_t angle = f.moveArg2;
        const int32_t quarter = (angle - 15) / 90;
        EXPECT_GE(angle - 90 * quarter - 45, -30) << angle;
        EXPECT_LE(angle - 90 * quarter - 45, 29) << angle;
        EXPECT_EQ(f.moveDx, PolarStep(angle, 5).dx);
        EXPECT_EQ(f.moveDy, PolarStep(angle, 5).dy);
    }
}

TEST_F(Movement, BounceOffTheLeftEdgeMirrorsLeftRight) {
    for (int i = 0; i < 100; ++i) {
        featureCount = 0;
        CFeature& f = Showing(10, 4800);
        f.movementType = MOVE_BOUNCE;
        f.moveArg1 = 5;
        f.moveInterval = 100;
        Tick(0);
        f.moveArg2 = 135; // left and down
        f.moveDx = PolarStep(135, 5).dx;
        f.moveDy = PolarStep(135, 5).dy;
        Tick(100);
        EXPECT_EQ(f.x, 0);
        EXPECT_GE(f.moveArg2, 15);
        EXPECT_LE(f.moveArg2, 74);
    }
}

TEST_F(Movement, BounceOffTheTopMirrorsUpDown) {
    for (int i = 0; i < 100; ++i) {
        featureCount = 0;
        CFeature& f = Showing(6400, 10);
        f.movementType = MOVE_BOUNCE;
        f.moveArg1 = 5;
        f.moveInterval = 100;
        Tick(0);
        f.moveArg2 = 225; // left and up
        f.moveDx = PolarStep(225, 5).dx;
        f.moveDy = PolarStep(225, 5).dy;
        Tick(100);
        EXPECT_EQ(f.y, 0);
        EXPECT_GE(f.moveArg2, 105);
        EXPECT_LE(f.moveArg2, 164);
    }
}

TEST_F(Movement, CornerHitAtTheBottomRight) {
    for (int i = 0; i < 100; ++i) {
        featureCount = 0;
        CFeature& f = Showing(12800 - 512 - 10, 9600 - 256 - 10);
        f.movementType = MOVE_BOUNCE;
        f.moveArg1 = 5;
        f.moveInterval = 100;
        Tick(0);
        f.moveArg2 = 45;
        f.moveDx = PolarStep(45, 5).dx;
        f.moveDy = PolarStep(45, 5).dy;
        Tick(100);
        EXPECT_EQ(f.x, 12800 - 512);
        EXPECT_EQ(f.y, 9600 - 256);
        EXPECT_GE(f.moveArg2, 195);
        EXPECT_LE(f.moveArg2, 254);
    }
}

TEST_F(Movement, BounceSoundStartsAheadOfTheHitPannedWhereTheSpriteIs) {
    CFeature& f = Showing(12000, 4800);
    f.movementType = MOVE_BOUNCE;
    f.moveArg1 = 10;
    f.moveInterval = 200; // the look-ahead is one step
    CSound* bounce = AttachBounceSound(f, 90);
    Tick(0);
    f.moveArg2 = 0;
    f.moveDx = 160;
    f.moveDy = 0;
    Tick(200); // x = 12160: the next step hits the right edge
    ASSERT_EQ(Calls('S').size(), 1u);
    const SoundCall start = Calls('S')[0];
    EXPECT_EQ(start.sound, bounce);
    EXPECT_EQ(start.stopTime, Time(f.endTime));
    EXPECT_EQ(start.volume, 90);
    // 16 + 96 * 12160 / 12800 = 107 from the left, mirrored for the mixer: the
    // mixer attenuates the left output below 64, so the sound is on the right.
    EXPECT_EQ(start.pan, 128 - 107);
    EXPECT_EQ(f.bounceSoundPlayed, 1);
    Tick(300); // not due yet
    Tick(400); // the hit itself: no second sound for the same hit
    EXPECT_EQ(f.x, 12800 - 512);
    EXPECT_EQ(Calls('S').size(), 1u);
    EXPECT_EQ(f.bounceSoundPlayed, 0);
}

TEST_F(Movement, EdgeHitLookAheadDependsOnTheInterval) {
    CFeature& f = Showing(0, 0);
    f.x = 12800 - 512 - 5 * 160 + 1;
    f.y = 4800;
    f.moveDx = 160;
    f.moveDy = 0;
    f.moveInterval = 50; // five steps
    SetDesignSize(engine, f);
    f.currentFrame = f.image;
    EXPECT_TRUE(EdgeHitSoon(engine, f));
    EXPECT_EQ(f.x, 12800 - 512 - 5 * 160 + 1); // position put back
    f.moveInterval = 126;                      // one step
    EXPECT_FALSE(EdgeHitSoon(engine, f));
    f.moveInterval = 0; // no look-ahead, and no division by zero
    EXPECT_FALSE(EdgeHitSoon(engine, f));
    f.x = -1;
    EXPECT_TRUE(EdgeHitSoon(engine, f));
}

TEST_F(Movement, PatternFollowsItsEntriesInACycle) {
    PatternStep steps[] = {{16, 0, 2}, {0, 32, 1}, {-8, -8, 0}};
    CFeature& f = Showing(0, 0);
    f.movementType = MOVE_PATTERN;
    f.moveInterval = 100;
    f.pattern = {3, steps};
    Tick(0);
    const int32_t expected[][2] = {{16, 0},  {32, 0},  {32, 32}, {24, 24},
                                   {40, 24}, {56, 24}, {56, 56}};
    uint32_t t = 100;
    for (const auto& position : expected) {
        Tick(t);
        t += 100;
        EXPECT_EQ(f.x, position[0]);
        EXPECT_EQ(f.y, position[1]);
    }
    f.pattern = {0, nullptr}; // an empty pattern does not move
    Tick(t);
    EXPECT_EQ(f.x, 56);
    f.pattern = {0, nullptr};
}

TEST_F(Movement, ArcTurnsItsHeadingEachStep) {
    CFeature& f = Showing(6400, 4800);
    f.movementType = MOVE_ARC;
    f.moveArg1 = 10;  // speed
    f.moveArg2 = 0;   // start angle
    f.moveArg3 = 900; // 90 degrees per step
    f.moveInterval = 100;
    Tick(0);
    EXPECT_EQ(f.moveState, 0);
    Tick(100);
    EXPECT_EQ(f.x, 6560);
    EXPECT_EQ(f.moveState, 900);
    Tick(200);
    EXPECT_EQ(f.x, 6558);
    EXPECT_EQ(f.y, 4960);
    EXPECT_EQ(f.moveState, 1800);
    f.moveArg3 = -5000; // beyond a full turn: the heading stays within the table
    for (uint32_t t = 300; t < 2000; t += 100) {
        Tick(t);
        EXPECT_GE(f.moveState, 0);
        EXPECT_LT(f.moveState, 3600);
    }
}

TEST_F(Movement, ProjectileFliesFromItsLaunchPoint) {
    CFeature& f = Showing(1600, 1600);
    f.movementType = MOVE_PROJECTILE;
    f.moveArg1 = 0;   // angle
    f.moveArg2 = 100; // design pixels per second
    f.moveArg3 = 160; // gravity 10, times 16
    f.moveInterval = 40;
    Tick(1000);
    EXPECT_EQ(f.moveState, 1000);
    Tick(1500);
    EXPECT_EQ(f.x, 1600 + 500 * 1600 / 1000);
    EXPECT_EQ(f.y, 1600 + ((500 * 500 / 1000) * 160) / 2000);
    Tick(2000);
    EXPECT_EQ(f.x, 1600 + 1600);
    EXPECT_EQ(f.y, 1600 + 80);
}

TEST_F(Movement, ProjectileWithoutGravityIsAStraightLineAtItsSpeed) {
    CFeature& f = Showing(0, 0);
    f.movementType = MOVE_PROJECTILE;
    f.moveArg1 = 90;
    f.moveArg2 = 50;
    f.moveInterval = 333;
    Tick(0);
    Tick(1000);
    EXPECT_EQ(f.y, 800);
    EXPECT_EQ(f.x, -13); // the table's cosine of 90 degrees is -1143/65536
}

TEST_F(Movement, LongProjectileFlightsKeepTheirArithmetic) {
    CFeature& f = Showing(0, 0);
    f.movementType = MOVE_PROJECTILE;
    f.moveArg1 = 0;
    f.moveArg2 = 1;
    f.moveArg3 = 160;
    f.moveInterval = 1000;
    f.durationType = DURATION_FIXED;
    f.currentDuration = 200000;
    Tick(0);
    Tick(100000); // t*t is beyond 32 bits after 46 s
    EXPECT_EQ(f.y, static_cast<int32_t>((100000LL * 100000 / 1000) * 160 / 2000));
    EXPECT_EQ(f.x, 1600);
    f.moveArg3 = INT32_MAX;
    Tick(199999);
    EXPECT_EQ(f.y, INT32_MAX);
}

TEST_F(Movement, OnImageCycleJumpsWhenTheLastFrameIsLeft) {
    CFeature& f = AddFeature();
    AttachImage(f, 3, 32, 16, 100, true);
    f.startType = START_FIXED;
    f.positionX = 1600;
    f.positionY = 1600;
    f.movementType = MOVE_ON_IMAGE_CYCLE;
    f.moveDx = 160;
    f.moveDy = -32;
    f.durationType = DURATION_FIXED;
    f.currentDuration = 100000;
    Tick(0);
    Tick(100);
    Tick(200);
    EXPECT_EQ(f.currentFrame->frameIndex, 2);
    EXPECT_EQ(f.x, 1600);
    Tick(300);
    EXPECT_EQ(f.currentFrame->frameIndex, 0);
    EXPECT_EQ(f.x, 1760);
    EXPECT_EQ(f.y, 1568);
    EXPECT_EQ(SlotOf(f).x, 110);
}

TEST_F(Movement, OnScreenDurationEndsWhenTheSpriteHasLeft) {
    CFeature& f = Showing(0, 1600);
    f.durationType = DURATION_ON_SCREEN;
    f.movementType = MOVE_VECTOR;
    f.moveDx = -256;
    f.moveDy = 0;
    f.moveInterval = 10;
    f.startType = START_OFFSET;
    f.startArg1 = 1;
    f.startArg2 = 1000;
    f.startTime = 1;
    Tick(1);
    Tick(11);
    Tick(21);
    EXPECT_EQ(f.x, -512); // exactly its width off: still on screen
    EXPECT_NE(SlotOf(f).frame, nullptr);
    Tick(31);
    EXPECT_EQ(Time(f.endTime), 0u);
    EXPECT_EQ(SlotOf(f).frame, nullptr);
    EXPECT_FALSE(OnScreenX(engine, f));
}

TEST_F(Movement, AutoPanFollowsTheSpriteAcrossTheScreen) {
    CFeature& f = Showing(0, 1600);
    f.flags |= FLAG_AUTO_PAN;
    CSound* sound = AttachSound(f);
    f.movementType = MOVE_VECTOR;
    f.moveDx = 800;
    f.moveInterval = 10;
    Tick(0);
    // The lead pans from the foreseen start: the left edge. The mixer keeps the
    // left output whole above 64, so the left of the screen has the high pans.
    ASSERT_FALSE(Calls('S').empty());
    EXPECT_EQ(Calls('S')[0].pan, 117);
    EXPECT_EQ(sound->pan, 117);
    for (uint32_t t = 10; t <= 150; t += 10) Tick(t);
    EXPECT_EQ(f.x, 12000);
    EXPECT_EQ(sound->pan, 117 - 7 * 15);
    EXPECT_EQ(Calls('V').back().pan, 12);
    EXPECT_EQ(Calls('V').back().volume, 100);
}

TEST_F(Movement, AutoPanWithoutAForeseeableStartIsCentred) {
    CFeature& f = AddFeature();
    AttachImage(f);
    AttachSound(f);
    f.flags |= FLAG_AUTO_PAN;
    f.startType = START_FIXED;
    f.startTime = 1000;
    f.positionX = RANDOM_CODE;
    Tick(750);
    ASSERT_EQ(Calls('S').size(), 1u);
    EXPECT_EQ(Calls('S')[0].pan, 117 - 7 * 7);
    f.flags |= FLAG_ABSOLUTE_PIXELS;
    EXPECT_EQ(AutoPanValue(engine, f, 16 * 799), 12);
    view.screenWidth = 0;
    EXPECT_EQ(AutoPanValue(engine, f, 5000), 117 - 7 * 7); // no screen size: no division
}

TEST_F(Movement, TheMixerHearsASpriteWhereItIs) {
    CFeature& f = Showing(0, 0);
    int32_t left = 0;
    int32_t right = 0;
    audio.Gains(100, AutoPanValue(engine, f, 0), &left, &right);
    EXPECT_GT(left, 4 * right); // at the left edge: mostly the left output
    audio.Gains(100, AutoPanValue(engine, f, 12799), &left, &right);
    EXPECT_GT(right, 4 * left);
    audio.Gains(100, AutoPanValue(engine, f, 6400), &left, &right);
    EXPECT_LT(std::abs(left - right), left / 4); // the middle: about even
    f.x = 100; // bounce pans span 16..112: up to four times louder on one side
    audio.Gains(100, BouncePan(engine, f), &left, &right);
    EXPECT_EQ(left, 4 * right);
    f.x = 12700;
    audio.Gains(100, BouncePan(engine, f), &left, &right);
    EXPECT_GT(right, 3 * left);
}

TEST_F(Movement, BouncePanOfAbsoluteFeaturesStaysInRange) {
    view.SetSize(1920, 1080);
    CFeature& f = Showing(0, 0);
    f.flags |= FLAG_ABSOLUTE_PIXELS;
    f.x = 16 * 1900; // far beyond the 12800 of the design width
    const int32_t pan = BouncePan(engine, f);
    EXPECT_GE(pan, 0);
    EXPECT_LE(pan, 127);
    EXPECT_EQ(pan, 128 - (16 + 96 * (16 * 1900) / (16 * 1920)));
}
