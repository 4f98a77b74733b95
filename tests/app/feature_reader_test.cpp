#include "ports/headless/headless_port.h"
#include "support/module_fixture.h"

#include <cstring>

namespace {

using FeatureReaderTest = ModuleFixture;

const char* const BIRDS_PARAM = "#Birds \"Birds\" \"None\" \"Many\" 0 10 3\n";

TEST_F(FeatureReaderTest, EmptyBlockGivesTheDefaults) {
    LoadFeature("");
    ASSERT_EQ(featureCount, 1);
    const CFeature& f = featureTable[0];
    EXPECT_EQ(f.section, 0);
    EXPECT_EQ(f.startType, START_RANDOM);
    EXPECT_EQ(f.startArg1, 0);
    EXPECT_EQ(f.startArg2, 0);
    EXPECT_EQ(f.positionX, RANDOM_CODE);
    EXPECT_EQ(f.positionY, 1);
    EXPECT_EQ(f.durationType, DURATION_ON_SCREEN);
    EXPECT_EQ(f.movementType, MOVE_STATIC);
    EXPECT_EQ(f.enabled, 1);
    EXPECT_EQ(f.enableMode, ENABLE_ALWAYS);
    EXPECT_EQ(f.fadeType, FADE_NONE);
    EXPECT_EQ(f.fadeNextTime, -1);
    EXPECT_EQ(f.conditionType, COND_NONE);
    EXPECT_STREQ(f.commands, "");
    EXPECT_EQ(f.image, nullptr);
    EXPECT_EQ(f.sound, nullptr);
    EXPECT_EQ(f.bounceSound, nullptr);
    EXPECT_EQ(f.soundCycleFrame, -1);
    EXPECT_EQ(f.displaySlot, -1);
    EXPECT_EQ(f.flags, 0u);
    EXPECT_EQ(errorLine, 0);
    EXPECT_TRUE(port.system.Messages().empty());
}

TEST_F(FeatureReaderTest, LabelsNameFeatures) {
    LoadBody("Feature\n{\nStart OnTrigger\n}\n"
             "Feature\n{\nCondition OnEnd\n{\nTrigger Bird\n}\n}\n"
             "Feature\n{\nLabel Bird\n}\n");
    ASSERT_EQ(featureCount, 3);
    ASSERT_EQ(labelCount, 1);
    EXPECT_STREQ(featureTable[1].commands, "T00");
    EXPECT_EQ(labelTable[0].feature, 2);
}

TEST_F(FeatureReaderTest, EnableForms) {
    LoadBody("Feature\n{\nEnable AfterTime 500\n}\n"
             "Feature\n{\nEnable Off\n}\n"
             "Feature\n{\nEnable OnSetup(#Birds > 0)\n}\n"
             "Feature\n{\nEnable OnSetup(#Birds > 3)\n}\n",
             BIRDS_PARAM);
    ASSERT_EQ(featureCount, 4);
    EXPECT_EQ(featureTable[0].enabled, 0);
    EXPECT_EQ(featureTable[0].enableMode, ENABLE_AFTER_TIME);
    EXPECT_EQ(featureTable[0].enableAfter, 500);
    EXPECT_EQ(featureTable[1].enabled, 0);
    EXPECT_EQ(featureTable[1].enableMode, ENABLE_BY_COMMAND);
    EXPECT_EQ(featureTable[2].enabled, 1);
    EXPECT_EQ(featureTable[2].enableMode, ENABLE_BY_COMMAND);
    EXPECT_EQ(featureTable[3].enabled, 0);
}

TEST_F(FeatureReaderTest, SetupTestFollowsTheStoredParameter) {
    port.settings.Set("QV Test", "Test", "Birds", 0);
    LoadFeature("Enable OnSetup(#Birds > 0)\n", BIRDS_PARAM);
    ASSERT_EQ(featureCount, 1);
    EXPECT_EQ(featureTable[0].enabled, 0);
}

TEST_F(FeatureReaderTest, MalformedEnable) {
    LoadFeature("Enable Sometimes\n");
    EXPECT_EQ(LastMessage(), "Invalid Keyword: Sometimes");
    EXPECT_EQ(errorLine, MODULE_HEAD_LINES + 3);
    EXPECT_EQ(featureCount, 0);

    SetUp();
    LoadFeature("Enable OnSetup #Birds > 0\n", BIRDS_PARAM);
    EXPECT_EQ(LastMessage(), "Invalid Keyword: OnSetup #Birds > 0");
}

TEST_F(FeatureReaderTest, StartForms) {
    LoadBody("Feature\n{\nStart 1500\n}\n"
             "Feature\n{\nStart -1500\n}\n"
             "Feature\n{\nStart Random 500, 2000\n}\n"
             "Feature\n{\nStart OnTrigger\n}\n"
             "Feature\n{\nStart Group(Birds,Random500,2000)\n}\n"
             "Feature\n{\nStart Group(Fish, Random500, 2000)\n}\n"
             "Feature\n{\nStart Offset 100, 200\n}\n");
    ASSERT_EQ(featureCount, 7);
    EXPECT_EQ(featureTable[0].startType, START_FIXED);
    EXPECT_EQ(featureTable[0].startTime, 1500);
    EXPECT_EQ(featureTable[1].startTime, 1500); // the minus is skipped
    EXPECT_EQ(featureTable[2].startType, START_RANDOM);
    EXPECT_EQ(featureTable[2].startArg1, 500);
    EXPECT_EQ(featureTable[2].startArg2, 2000);
    EXPECT_EQ(featureTable[2].startTime, 0);
    EXPECT_EQ(featureTable[3].startType, START_ON_TRIGGER);
    EXPECT_EQ(featureTable[4].startType, START_GROUP);
    EXPECT_EQ(featureTable[4].startGroup, 2 * 0 + 1);
    EXPECT_EQ(featureTable[4].startArg1, 500);
    EXPECT_EQ(featureTable[4].startArg2, 2000);
    EXPECT_EQ(featureTable[4].startTime, 0);
    // "Random" after a blank is not recognised.
    EXPECT_EQ(featureTable[5].startGroup, 2 * 1);
    EXPECT_EQ(featureTable[5].startArg1, 0);
    EXPECT_EQ(featureTable[5].startArg2, 2000);
    EXPECT_EQ(featureTable[6].startType, START_OFFSET);
    EXPECT_EQ(featureTable[6].startArg1, 100);
    EXPECT_EQ(featureTable[6].startArg2, 200);
    EXPECT_EQ(featureTable[6].startTime, 100);
    EXPECT_STREQ(labelTable[0].name, "Birds");
    EXPECT_STREQ(labelTable[1].name, "Fish");
}

TEST_F(FeatureReaderTest, GroupWithoutItsArguments) {
    LoadFeature("Start Group Birds\n");
    EXPECT_EQ(LastMessage(), "Invalid Keyword: Group Birds");
    SetUp();
    LoadFeature("Start Group(Birds, 10)\n");
    EXPECT_EQ(LastMessage(), "Invalid Keyword: Group(Birds, 10)");
    EXPECT_EQ(featureCount, 0);
}

TEST_F(FeatureReaderTest, PositionForms) {
    LoadBody("Feature\n{\nPosition Random\n}\n"
             "Feature\n{\nPosition Random(100,5), 7\n}\n"
             "Feature\n{\nPosition Center, Bottom\n}\n"
             "Feature\n{\nPosition 10, 20\n}\n"
             "Feature\n{\nPosition Offset(Fish, 10, -5)\n}\n"
             "Feature\n{\nPosition Right, Random(300, 50)\n}\n");
    ASSERT_EQ(featureCount, 6);
    EXPECT_EQ(featureTable[0].positionX, 1);
    EXPECT_EQ(featureTable[0].positionY, 1);
    EXPECT_EQ(featureTable[1].positionX, 1);
    EXPECT_EQ(featureTable[1].positionY, 1);
    EXPECT_EQ(featureTable[2].positionX, CENTER_CODE);
    EXPECT_EQ(featureTable[2].positionY, FAR_EDGE_CODE);
    EXPECT_EQ(featureTable[3].positionMode, 0);
    EXPECT_EQ(featureTable[3].positionX, 160);
    EXPECT_EQ(featureTable[3].positionY, 320);
    EXPECT_EQ(featureTable[4].positionMode, 1);
    EXPECT_EQ(featureTable[4].positionLabel, 0);
    EXPECT_EQ(featureTable[4].positionX, 160);
    EXPECT_EQ(featureTable[4].positionY, -80);
    EXPECT_EQ(featureTable[5].positionX, FAR_EDGE_CODE);
    EXPECT_EQ(featureTable[5].positionY, RANDOM_CODE + (300 << 14) + 50);
}

TEST_F(FeatureReaderTest, PixelPositionsFollowTheScreenSize) {
    view.SetSize(1024, 768);
    LoadFeature("Position a100, a60\n");
    ASSERT_EQ(featureCount, 1);
    EXPECT_EQ(featureTable[0].positionX, 1252);
    EXPECT_EQ(featureTable[0].positionY, 60 * 4096 / (768 * 256 / 600));
}

TEST_F(FeatureReaderTest, DurationForms) {
    LoadBody("Feature\n{\nDuration OnScreen\n}\n"
             "Feature\n{\nDuration Random(1000, 5000)\n}\n"
             "Feature\n{\nDuration Offset 50, 60\n}\n"
             "Feature\n{\nDuration 3000\n}\n");
    ASSERT_EQ(featureCount, 4);
    EXPECT_EQ(featureTable[0].durationType, DURATION_ON_SCREEN);
    EXPECT_EQ(featureTable[1].durationType, DURATION_RANDOM);
    EXPECT_EQ(featureTable[1].durationArg1, 1000);
    EXPECT_EQ(featureTable[1].durationArg2, 5000);
    EXPECT_EQ(featureTable[2].durationType, DURATION_OFFSET);
    EXPECT_EQ(featureTable[2].durationArg1, 50);
    EXPECT_EQ(featureTable[2].durationArg2, 60);
    EXPECT_EQ(featureTable[2].currentDuration, 50);
    EXPECT_EQ(featureTable[3].durationType, DURATION_FIXED);
    EXPECT_EQ(featureTable[3].currentDuration, 3000);
}

TEST_F(FeatureReaderTest, DurationRandomNeedsItsParentheses) {
    LoadFeature("Duration Random 1000, 5000\n");
    EXPECT_EQ(LastMessage(), "Invalid Keyword: Random 1000, 5000");
    EXPECT_EQ(featureCount, 0);
}

TEST_F(FeatureReaderTest, MovementForms) {
    LoadBody("Feature\n{\nMovement Random\n}\n"
             "Feature\n{\nMovement Static\n}\n"
             "Feature\n{\nMovement Bounce(8, 40)\n}\n"
             "Feature\n{\nMovement Pattern(100,{5,0,20},{0,5,20},{-5,0,20},{0,-5,20})\n}\n"
             "Feature\n{\nMovement OnImageCycle(2, -3)\n}\n"
             "Feature\n{\nMovement Arc(90, 4, 50, 1.5)\n}\n"
             "Feature\n{\nMovement Arc(90, 4, 50, 2)\n}\n"
             "Feature\n{\nMovement Projectile(45, 10, 30, 2)\n}\n"
             "Feature\n{\nMovement 30, -10, 100\n}\n");
    ASSERT_EQ(featureCount, 9);
    EXPECT_EQ(featureTable[0].movementType, MOVE_RANDOM);
    EXPECT_EQ(featureTable[1].movementType, MOVE_STATIC);
    EXPECT_EQ(featureTable[2].movementType, MOVE_BOUNCE);
    EXPECT_EQ(featureTable[2].moveArg1, 8);
    EXPECT_EQ(featureTable[2].moveInterval, 40);
    const CFeature& pattern = featureTable[3];
    EXPECT_EQ(pattern.movementType, MOVE_PATTERN);
    EXPECT_EQ(pattern.moveInterval, 100);
    ASSERT_EQ(pattern.pattern.count, 4);
    EXPECT_EQ(pattern.pattern.steps[2].dx, -80);
    EXPECT_EQ(pattern.pattern.steps[3].dy, -80);
    EXPECT_EQ(pattern.pattern.steps[3].steps, 20);
    EXPECT_EQ(featureTable[4].movementType, MOVE_ON_IMAGE_CYCLE);
    EXPECT_EQ(featureTable[4].moveDx, 32);
    EXPECT_EQ(featureTable[4].moveDy, -48);
    EXPECT_EQ(featureTable[5].movementType, MOVE_ARC);
    EXPECT_EQ(featureTable[5].moveArg2, 90);
    EXPECT_EQ(featureTable[5].moveArg1, 4);
    EXPECT_EQ(featureTable[5].moveInterval, 50);
    EXPECT_EQ(featureTable[5].moveArg3, 15);
    EXPECT_EQ(featureTable[6].moveArg3, 20);
    EXPECT_EQ(featureTable[7].movementType, MOVE_PROJECTILE);
    EXPECT_EQ(featureTable[7].moveArg1, 45);
    EXPECT_EQ(featureTable[7].moveArg2, 10);
    EXPECT_EQ(featureTable[7].moveInterval, 30);
    EXPECT_EQ(featureTable[7].moveArg3, 32);
    EXPECT_EQ(featureTable[8].movementType, MOVE_VECTOR);
    EXPECT_EQ(featureTable[8].moveDx, 480);
    EXPECT_EQ(featureTable[8].moveDy, -160);
    EXPECT_EQ(featureTable[8].moveInterval, 100);
}

TEST_F(FeatureReaderTest, ArcTurnKeepsTheSignOfItsTenths) {
    LoadBody("Feature\n{\nMovement Arc(0, 4, 50, -1.5)\n}\n"
             "Feature\n{\nMovement Arc(0, 4, 50, -0.5)\n}\n"
             "Feature\n{\nMovement Arc(0, 4, 50, #Turn)\n}\n",
             "#Turn \"Turn\" \"l\" \"r\" -50 50 -3\n");
    ASSERT_EQ(featureCount, 3);
    EXPECT_EQ(featureTable[0].moveArg3, -15);
    EXPECT_EQ(featureTable[1].moveArg3, -5);
    EXPECT_EQ(featureTable[2].moveArg3, -30);
}

TEST_F(FeatureReaderTest, PatternWithoutStepsStandsStill) {
    LoadFeature("Movement Pattern(100, {5,0,20})\n");
    ASSERT_EQ(featureCount, 1);
    EXPECT_EQ(featureTable[0].movementType, MOVE_STATIC);
    EXPECT_EQ(featureTable[0].pattern.count, 0);
    EXPECT_EQ(featureTable[0].moveInterval, 100);
}

TEST_F(FeatureReaderTest, MovementFormsMissingTheirArguments) {
    const char* lines[] = {"Movement Bounce 8, 40\n", "Movement Bounce(8)\n",
                           "Movement OnImageCycle(2)\n", "Movement Arc(90, 4, 50)\n",
                           "Movement Projectile 45, 10, 30, 2\n"};
    for (const char* line : lines) {
        SetUp();
        LoadFeature(line);
        std::string rest = std::string(line + 9, std::strlen(line) - 10);
        EXPECT_EQ(LastMessage(), "Invalid Keyword: " + rest) << line;
        EXPECT_EQ(featureCount, 0) << line;
        EXPECT_EQ(errorLine, MODULE_HEAD_LINES + 3) << line;
    }
}

TEST_F(FeatureReaderTest, ImagesTakeDisplaySlots) {
    LoadBody("Feature\n{\nImage \"fish.gif\"\n}\n"
             "Feature\n{\n}\n"
             "Feature\n{\nImage \"still.gif\" // the rock\nImage \"fish.gif\"\n}\n");
    ASSERT_EQ(featureCount, 3);
    ASSERT_NE(featureTable[0].image, nullptr);
    EXPECT_EQ(featureTable[0].image->width, 4);
    EXPECT_EQ(featureTable[0].displaySlot, 0);
    EXPECT_EQ(featureTable[1].displaySlot, -1);
    // A second Image line takes a further slot; the first stays taken.
    EXPECT_EQ(featureTable[2].displaySlot, 2);
    ASSERT_NE(featureTable[2].image, nullptr);
    EXPECT_NE(featureTable[2].image->next, nullptr); // the animated fish
    EXPECT_EQ(view.AllocSlot(), 3);
}

TEST_F(FeatureReaderTest, WithoutAFreeSlotTheFeatureIsKeptOffTheDisplay) {
    for (int i = 0; i < MAX_SLOTS; ++i) ASSERT_EQ(view.AllocSlot(), i);
    LoadBody("Feature\n{\nImage \"fish.gif\"\nCondition OnFrame(2)\n{\nStop\n}\n}\n");
    ASSERT_EQ(featureCount, 1);
    EXPECT_EQ(featureTable[0].displaySlot, -1);
    ASSERT_NE(featureTable[0].image, nullptr); // it still animates and fires
    EXPECT_EQ(featureTable[0].conditionArg3, featureTable[0].image->FrameBefore(250, 2));
    EXPECT_EQ(errorLine, 0);
}

TEST_F(FeatureReaderTest, LaterImageWithoutAFreeSlotKeepsTheEarlierSlot) {
    for (int i = 0; i < MAX_SLOTS - 1; ++i) ASSERT_EQ(view.AllocSlot(), i);
    LoadFeature("Image \"still.gif\"\nImage \"fish.gif\"\n");
    ASSERT_EQ(featureCount, 1);
    EXPECT_EQ(featureTable[0].displaySlot, MAX_SLOTS - 1);
}

TEST_F(FeatureReaderTest, ImageFailures) {
    LoadBody("Feature\n{\nImage \"fish.gif\"\n}\nFeature\n{\nImage \"shark.gif\"\n}\n");
    EXPECT_EQ(LastMessage(), "File Not Found: " + Media("shark.gif"));
    EXPECT_EQ(errorLine, MODULE_HEAD_LINES + 7);
    EXPECT_EQ(featureCount, 1); // the features before stay

    SetUp();
    LoadFeature("Image \"fish.bmp\"\n");
    EXPECT_EQ(LastMessage(), "Unsupported image format " + Media("fish.bmp"));
    EXPECT_EQ(featureCount, 0);
}

TEST_F(FeatureReaderTest, SoundValues) {
    LoadBody("Feature\n{\nSound \"bubble.wav\", 100\n}\n"
             "Feature\n{\nSound \"bubble.wav\", 100, 0\n}\n"
             "Feature\n{\nSound \"bubble.wav\", 200, 127\n}\n"
             "Feature\n{\nBounceSound \"bubble.wav\", #Vol, -5, 50, 2, 3\n}\n",
             "#Vol \"Volume\" \"l\" \"r\" 0 127 90\n");
    ASSERT_EQ(featureCount, 4);
    ASSERT_NE(featureTable[0].sound, nullptr);
    EXPECT_EQ(featureTable[0].sound->volume, 100);
    EXPECT_EQ(featureTable[0].sound->pan, 64);
    EXPECT_EQ(featureTable[0].sound->loopPoint, 0);
    EXPECT_EQ(featureTable[0].sound->length, 200u);
    EXPECT_EQ(featureTable[0].image, nullptr); // sound-only features are allowed
    EXPECT_EQ(featureTable[1].sound->pan, 0);
    EXPECT_EQ(featureTable[2].sound->volume, 127);
    EXPECT_EQ(featureTable[2].sound->pan, 127);
    EXPECT_EQ(featureTable[3].sound, nullptr);
    ASSERT_NE(featureTable[3].bounceSound, nullptr);
    EXPECT_EQ(featureTable[3].bounceSound->volume, 90);
    EXPECT_EQ(featureTable[3].bounceSound->pan, 0);
    EXPECT_EQ(featureTable[3].bounceSound->loopPoint, 50);
    EXPECT_EQ(featureTable[3].bounceSound->headCount, 2);
    EXPECT_EQ(featureTable[3].bounceSound->tailCount, 3);
}

TEST_F(FeatureReaderTest, IncompleteSoundValuesStopLoadingQuietly) {
    const char* lines[] = {"Sound \"bubble.wav\", 100, 64, 0\n",
                           "Sound \"bubble.wav\", 100, 64, 0, 1\n", "Sound \"bubble.wav\"\n",
                           "Sound \"bubble.wav\",\n"};
    for (const char* line : lines) {
        SetUp();
        LoadBody(std::string("Feature\n{\n}\nFeature\n{\n") + line + "}\nFeature\n{\n}\n");
        EXPECT_TRUE(port.system.Messages().empty()) << line;
        EXPECT_EQ(errorLine, 0) << line;
        EXPECT_EQ(featureCount, 1) << line; // what was loaded before plays
        EXPECT_EQ(ctx.load.loadStopLine, MODULE_HEAD_LINES + 6) << line;
    }
}

TEST_F(FeatureReaderTest, SoundFileNames) {
    WriteWav("a,b.wav", 20);
    LoadBody("Feature\n{\nSound \"a,b.wav\", 80\n}\nFeature\n{\nSound bubble.wav, 70, 10\n}\n");
    ASSERT_EQ(featureCount, 2);
    ASSERT_NE(featureTable[0].sound, nullptr);
    EXPECT_EQ(featureTable[0].sound->volume, 80);
    EXPECT_EQ(featureTable[0].sound->length, 20u);
    ASSERT_NE(featureTable[1].sound, nullptr);
    EXPECT_EQ(featureTable[1].sound->pan, 10);
}

TEST_F(FeatureReaderTest, SoundFailures) {
    LoadFeature("Sound \"whale.wav\", 100\n");
    EXPECT_EQ(LastMessage(), "File Not Found: " + Media("whale.wav"));
    EXPECT_EQ(errorLine, MODULE_HEAD_LINES + 3);
    EXPECT_EQ(featureCount, 0);

    SetUp();
    LoadFeature("BounceSound \"whale.mp3\", 100\n");
    EXPECT_EQ(LastMessage(), "Unsupported sound format " + Media("whale.mp3"));
}

TEST_F(FeatureReaderTest, LoopSound) {
    LoadBody("Feature\n{\nLoopSound\nSound \"bubble.wav\", 100\n}\n"
             "Feature\n{\nSound \"bubble.wav\", 100\nLoopSound\n}\n"
             "Feature\n{\nSound \"bubble.wav\", 100\nLoopSound OnImageCycle\n}\n");
    ASSERT_EQ(featureCount, 3);
    EXPECT_EQ(featureTable[0].sound->flags & SOUND_LOOP, 0u); // before Sound: no effect
    EXPECT_EQ(featureTable[1].sound->flags & SOUND_LOOP, SOUND_LOOP);
    // Without an image the cycle form loops the sound.
    EXPECT_EQ(featureTable[2].sound->flags & SOUND_LOOP, SOUND_LOOP);
    EXPECT_EQ(featureTable[2].soundCycleFrame, -1);
}

TEST_F(FeatureReaderTest, LoopSoundOnImageCycleFollowsTheImage) {
    // Four frames of 100 ms: 250 ms before the last frame comes up is frame 0.
    LoadBody("Feature\n{\nImage \"fish.gif\"\nSound \"bubble.wav\", 100\n"
             "LoopSound OnImageCycle\n}\n"
             "Feature\n{\nSound \"bubble.wav\", 100\nLoopSound OnImageCycle\n"
             "Image \"fish.gif\"\n}\n");
    ASSERT_EQ(featureCount, 2);
    for (int i = 0; i < 2; ++i) {
        const CFeature& f = featureTable[i];
        ASSERT_NE(f.image, nullptr);
        EXPECT_EQ(f.soundCycleFrame, f.image->FrameBefore(250, -1)) << i;
        EXPECT_EQ(f.soundCycleFrame, 0) << i;
        EXPECT_EQ(f.sound->flags & SOUND_LOOP, 0u) << i;
    }
}

TEST_F(FeatureReaderTest, SecondSoundReplacesTheFirst) {
    WriteWav("splash.wav", 30);
    LoadFeature("Sound \"bubble.wav\", 100\nLoopSound\nSound \"splash.wav\", 50\n");
    ASSERT_EQ(featureCount, 1);
    EXPECT_EQ(featureTable[0].sound->length, 30u);
    EXPECT_EQ(featureTable[0].sound->volume, 50);
    EXPECT_EQ(featureTable[0].sound->flags & SOUND_LOOP, 0u);
}

TEST_F(FeatureReaderTest, Flags) {
    LoadFeature("AutoPan\nAbsolutePixels\n");
    ASSERT_EQ(featureCount, 1);
    EXPECT_EQ(featureTable[0].flags, FLAG_AUTO_PAN | FLAG_ABSOLUTE_PIXELS);
}

TEST_F(FeatureReaderTest, ConditionOnFrameLooksAheadInTheImage) {
    WriteGif("five.gif", 5, 10);
    LoadBody("Feature\n{\nImage \"five.gif\"\nCondition OnFrame(2)\n{\nStop\n}\n}\n"
             "Feature\n{\nCondition OnFrame(4)\n{\nStop\n}\nImage \"five.gif\"\n}\n"
             "Feature\n{\nCondition OnFrame(3)\n{\nStop\n}\n}\n");
    ASSERT_EQ(featureCount, 3);
    EXPECT_EQ(featureTable[0].conditionType, COND_ON_FRAME);
    EXPECT_EQ(featureTable[0].conditionArg1, 2);
    EXPECT_EQ(featureTable[0].conditionArg3, 0); // 200 ms of frames, less than 250
    EXPECT_EQ(featureTable[1].conditionArg1, 4);
    EXPECT_EQ(featureTable[1].conditionArg3, 1); // 400 - 250 = 150 ms: frame 1
    EXPECT_STREQ(featureTable[1].commands, "!");
    EXPECT_EQ(featureTable[2].conditionArg3, 3); // no image: the frame itself
}

TEST_F(FeatureReaderTest, ConditionErrors) {
    LoadFeature("Condition OnEnd\nStop\n");
    EXPECT_EQ(LastMessage(), "Syntax Error: Missing '{'");
    EXPECT_EQ(errorLine, MODULE_HEAD_LINES + 4);
    EXPECT_EQ(featureCount, 0);

    SetUp();
    LoadFeature("Condition WhenBored\n{\n}\n");
    EXPECT_EQ(LastMessage(), "Invalid Keyword: WhenBored");

    SetUp();
    LoadFeature("Condition OnEnd\n{\nStop\nExplode\n}\n");
    EXPECT_EQ(LastMessage(), "Invalid Keyword: Explode");
    EXPECT_EQ(errorLine, MODULE_HEAD_LINES + 6);
}

TEST_F(FeatureReaderTest, FadeForms) {
    LoadBody("Feature\n{\nFade FadeInOut(10, 50)\n}\n"
             "Feature\n{\nFade FadeIn(5, 20)\n}\n"
             "Feature\n{\nFade FadeOut(#Step, 30)\n}\n",
             "#Step \"Step\" \"l\" \"r\" 1 20 7\n");
    ASSERT_EQ(featureCount, 3);
    EXPECT_EQ(featureTable[0].fadeType, FADE_IN_OUT);
    EXPECT_EQ(featureTable[0].fadeStep, 10);
    EXPECT_EQ(featureTable[0].fadeInterval, 50);
    EXPECT_EQ(featureTable[0].fadeLevel, -1);
    EXPECT_EQ(featureTable[1].fadeType, FADE_IN);
    EXPECT_EQ(featureTable[2].fadeType, FADE_OUT);
    EXPECT_EQ(featureTable[2].fadeStep, 7);
    EXPECT_EQ(featureTable[2].fadeInterval, 30);
}

TEST_F(FeatureReaderTest, MalformedFades) {
    LoadFeature("FadeIn(5, 20)\n");
    EXPECT_EQ(LastMessage(), "Invalid Keyword: 5, 20)");
    SetUp();
    LoadFeature("Fade Sideways(5, 20)\n");
    EXPECT_EQ(LastMessage(), "Invalid Keyword: Sideways(5, 20)");
    SetUp();
    LoadFeature("Fade FadeIn 5, 20\n");
    EXPECT_EQ(LastMessage(), "Invalid Keyword: FadeIn 5, 20");
    EXPECT_EQ(featureCount, 0);
}

TEST_F(FeatureReaderTest, UnknownKeyword) {
    LoadBody("Feature\n{\n}\nFeature\n{\nStart 10\nColour red\n}\n");
    EXPECT_EQ(LastMessage(), "Invalid Keyword: Colour");
    EXPECT_EQ(errorLine, MODULE_HEAD_LINES + 7);
    EXPECT_EQ(featureCount, 1);
}

TEST_F(FeatureReaderTest, DirectiveLineInsideABlockIsAnEmptyKeyword) {
    LoadFeature("#if 1\nStart 10\n#endif\n");
    EXPECT_EQ(LastMessage(), "Invalid Keyword: ");
    EXPECT_EQ(errorLine, MODULE_HEAD_LINES + 3);
}

TEST_F(FeatureReaderTest, KeywordsArePrefixesWithoutCase) {
    LoadFeature("labels Fish\nSTARTING 250\nimages \"fish.gif\"\n");
    ASSERT_EQ(featureCount, 1);
    EXPECT_EQ(labelTable[0].feature, 0);
    EXPECT_EQ(featureTable[0].startTime, 250);
    EXPECT_NE(featureTable[0].image, nullptr);
}

TEST_F(FeatureReaderTest, BlockEndingAtEndOfFileCounts) {
    std::string path = dir.Write("theme.SS", "Module \"A\"\n{\nSetup\n{\n}\nFeature\n{\nStart 5\n");
    std::snprintf(run.scriptPath, sizeof(run.scriptPath), "%s", path.c_str());
    LoadModule(ctx);
    EXPECT_EQ(featureCount, 1);
    EXPECT_EQ(featureTable[0].startTime, 5);
    EXPECT_EQ(errorLine, 0);
}

} // namespace
