// The demo theme is the showcase of the script language: loaded module by
// module, its feature records together must use every kind of start, duration,
// movement, condition, command, fade, sound and flag, and both backgrounds.
#include "ports/headless/headless_port.h"
#include "support/module_fixture.h"

#include <set>
#include <string>

namespace {

// What the loaded modules use, gathered over all of them.
struct Usage {
    std::set<int> startTypes;
    std::set<int> durationTypes;
    std::set<int> movementTypes;
    std::set<int> conditionTypes;
    std::set<int> fadeTypes;
    std::set<int> enableModes;
    std::set<char> commands;
    bool bounceSound = false;
    bool patternSteps = false;
    bool offsetPosition = false;
    bool groupInOrder = false;
    bool groupAtRandom = false;
    bool autoPan = false;
    bool absolutePixels = false;
    bool loopSound = false;
    bool loopOnImageCycle = false;
    bool soundWithLoopPoint = false;
    bool tiledBackground = false;
    bool colourBackground = false;
    bool enabledOnSetup = false;
    bool disabledOnSetup = false;
    int sectionsEnded = 0; // modules whose every section can end by command
};

class DemoCoverage : public ModuleFixture {
  protected:
    // Loads module `module` of the demo theme in the full or the preview block set.
    // Call SetUp() first to start from empty tables.
    void LoadDemo(int module, bool preview) {
        const std::string folder = std::string(GLIMMORA_SOURCE_DIR) + "/themes/Aquarium";
        std::snprintf(run.mediaDirectory, sizeof(run.mediaDirectory), "%s", folder.c_str());
        std::snprintf(run.scriptPath, sizeof(run.scriptPath), "%s/Aquarium.SS", folder.c_str());
        port.settings.Set(run.saverName, "Config", "ActiveModule", module);
        run.previewMode = preview;
        LoadModule(ctx);
        ASSERT_EQ(errorLine, 0) << "module " << module;
        ASSERT_TRUE(port.system.Messages().empty()) << LastMessage();
    }

    void Collect(Usage* u) {
        if (view.backgroundImage)
            u->tiledBackground = true;
        else
            u->colourBackground = true;
        std::set<int> sectionsWithEnd;
        for (int i = 0; i < featureCount; ++i) {
            const CFeature& f = featureTable[i];
            u->startTypes.insert(f.startType);
            u->durationTypes.insert(f.durationType);
            u->movementTypes.insert(f.movementType);
            u->conditionTypes.insert(f.conditionType);
            u->fadeTypes.insert(f.fadeType);
            u->enableModes.insert(f.enableMode);
            for (const char* c = f.commands; *c; ++c) {
                if (!(*c >= '0' && *c <= '9')) u->commands.insert(*c);
                if (*c == CMD_END_SECTION) sectionsWithEnd.insert(f.section);
            }
            if (f.movementType == MOVE_BOUNCE && f.bounceSound) u->bounceSound = true;
            if (f.movementType == MOVE_PATTERN && f.pattern.count > 1) u->patternSteps = true;
            if (f.positionMode == 1) u->offsetPosition = true;
            if (f.startType == START_GROUP) {
                if (f.startGroup & 1)
                    u->groupAtRandom = true;
                else
                    u->groupInOrder = true;
            }
            if (f.flags & FLAG_AUTO_PAN) u->autoPan = true;
            if (f.flags & FLAG_ABSOLUTE_PIXELS) u->absolutePixels = true;
            if (f.sound && (f.sound->flags & SOUND_LOOP)) u->loopSound = true;
            if (f.sound && f.soundCycleFrame >= 0) u->loopOnImageCycle = true;
            if (f.sound && f.sound->loopPoint > 0) u->soundWithLoopPoint = true;
            if (f.enableMode == ENABLE_BY_COMMAND && f.enabled) u->enabledOnSetup = true;
        }
        if (static_cast<int>(sectionsWithEnd.size()) == sectionCount) ++u->sectionsEnded;
    }
};

TEST_F(DemoCoverage, TheModulesTogetherUseEveryFeatureOfTheScript) {
    Usage u;
    for (int module = 0; module < 3; ++module) {
        SetUp();
        LoadDemo(module, false);
        EXPECT_GE(sectionCount, 2) << "module " << module;
        EXPECT_STRNE(theme.currentModule->params[0].name, "") << "module " << module;
        Collect(&u);
        TearDown();
    }
    EXPECT_EQ(u.startTypes, (std::set<int>{START_FIXED, START_RANDOM, START_GROUP, START_OFFSET,
                                           START_ON_TRIGGER}));
    EXPECT_EQ(u.durationTypes, (std::set<int>{DURATION_FIXED, DURATION_RANDOM, DURATION_ON_SCREEN,
                                              DURATION_OFFSET}));
    EXPECT_EQ(u.movementTypes,
              (std::set<int>{MOVE_VECTOR, MOVE_RANDOM, MOVE_STATIC, MOVE_BOUNCE, MOVE_PATTERN,
                             MOVE_ON_IMAGE_CYCLE, MOVE_ARC, MOVE_PROJECTILE}));
    EXPECT_EQ(u.conditionTypes, (std::set<int>{COND_NONE, COND_IN_REGION, COND_AFTER_TIME,
                                               COND_ON_FRAME, COND_ON_END}));
    EXPECT_EQ(u.commands, (std::set<char>{CMD_STOP, CMD_TRIGGER, CMD_END_SECTION, CMD_DISABLE,
                                          CMD_DISABLE_SELF, CMD_ENABLE}));
    EXPECT_EQ(u.fadeTypes, (std::set<int>{FADE_NONE, FADE_IN, FADE_OUT, FADE_IN_OUT}));
    EXPECT_EQ(u.enableModes, (std::set<int>{ENABLE_ALWAYS, ENABLE_AFTER_TIME, ENABLE_BY_COMMAND}));
    EXPECT_TRUE(u.bounceSound);
    EXPECT_TRUE(u.patternSteps);
    EXPECT_TRUE(u.offsetPosition);
    EXPECT_TRUE(u.groupInOrder);
    EXPECT_TRUE(u.groupAtRandom);
    EXPECT_TRUE(u.autoPan);
    EXPECT_TRUE(u.absolutePixels);
    EXPECT_TRUE(u.loopSound);
    EXPECT_TRUE(u.loopOnImageCycle);
    EXPECT_TRUE(u.soundWithLoopPoint);
    EXPECT_TRUE(u.tiledBackground);
    EXPECT_TRUE(u.colourBackground);
    EXPECT_TRUE(u.enabledOnSetup);
    EXPECT_EQ(u.sectionsEnded, 3);
}

TEST_F(DemoCoverage, SetupSwitchesTurnFeaturesOnAndOff) {
    // The reef's "Enable OnSetup" fish follow the "Fish" slider: more of them
    // are switched on with the most fish than with the fewest.
    int switchedOn[2] = {};
    for (int most = 0; most < 2; ++most) {
        SetUp();
        port.settings.Set(run.saverName, "Coral Reef", "Fish", most ? 5 : 1);
        LoadDemo(0, false);
        EXPECT_EQ(theme.currentModule->params[0].value, most ? 5 : 1);
        for (int i = 0; i < featureCount; ++i) {
            if (featureTable[i].enableMode == ENABLE_BY_COMMAND && featureTable[i].enabled)
                ++switchedOn[most];
        }
        TearDown();
    }
    EXPECT_EQ(switchedOn[0], 0);
    EXPECT_GE(switchedOn[1], 5);
}

TEST_F(DemoCoverage, EveryModuleHasItsOwnPreview) {
    bool tiled = false, colour = false;
    for (int module = 0; module < 3; ++module) {
        SetUp();
        LoadDemo(module, true);
        EXPECT_GE(featureCount, 2) << "module " << module;
        for (int i = 0; i < featureCount; ++i) {
            EXPECT_NE(featureTable[i].image, nullptr) << "module " << module << " feature " << i;
        }
        (view.backgroundImage ? tiled : colour) = true;
        TearDown();
    }
    EXPECT_TRUE(tiled);
    EXPECT_TRUE(colour);
}

} // namespace
