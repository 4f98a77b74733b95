#include "engine/conditions.h"
#include "engine/schedule.h"
#include "engine_fixture.h"

#include <cstring>
#include <string>

namespace {

class Conditions : public EngineTest {
  protected:
    CFeature& OnTrigger(int32_t label, int32_t duration = 1000) {
        CFeature& f = AddFeature();
        AttachImage(f);
        f.startType = START_ON_TRIGGER;
        f.positionX = 0;
        f.durationType = DURATION_FIXED;
        f.currentDuration = duration;
        SetLabel(label, FeatureIndex(engine, f));
        return f;
    }
    void When(CFeature& f, int32_t type, int32_t arg1, const char* commands) {
        f.conditionType = type;
        f.conditionArg1 = arg1;
        std::strncpy(f.commands, commands, COMMANDS_LEN);
    }
};

// A group member: label `group`, chosen at random when `random`.
CFeature& Member(EngineTest& test, CFeature& f, int32_t group, bool random) {
    (void)test;
    f.startType = START_GROUP;
    f.startGroup = group * 2 + (random ? 1 : 0);
    f.startArg2 = 100;
    f.positionX = 0;
    f.durationType = DURATION_FIXED;
    f.currentDuration = 200;
    return f;
}

} // namespace

TEST_F(Conditions, StopEndsTheShowingAtOnce) {
    CFeature& f = Fixed(0, 10000);
    When(f, COND_AFTER_TIME, 500, "!");
    Tick(0);
    Tick(500);
    EXPECT_TRUE(Showing(f));
    Tick(501);
    EXPECT_EQ(Time(f.endTime), 0xFFFFFFFFu);
    EXPECT_EQ(SlotOf(f).frame, nullptr);
}

TEST_F(Conditions, StopWithAFadeOutFadesFirst) {
    CFeature& f = Fixed(0, 10000);
    When(f, COND_AFTER_TIME, 500, "!");
    f.fadeType = FADE_OUT;
    f.fadeStep = 50;
    f.fadeInterval = 100;
    Tick(0);
    Tick(501);
    EXPECT_TRUE(Showing(f));
    EXPECT_EQ(f.fadeLevel, 50);
    Tick(601);
    EXPECT_EQ(Time(f.endTime), 0xFFFFFFFFu);
}

TEST_F(Conditions, ForeseenTriggerSchedulesItsTargetAheadWithItsSound) {
    CFeature& trigger = Fixed(0, 5000);
    When(trigger, COND_AFTER_TIME, 1000, "T05");
    CFeature& target = OnTrigger(5);
    AttachSound(target);
    Tick(0);
    Tick(749);
    EXPECT_EQ(target.startTime, 0);
    Tick(750);
    EXPECT_EQ(target.startTime, 1000);
    EXPECT_EQ(Calls('S').size(), 1u); // its sound starts now, the lead before it shows
    Tick(1000);
    EXPECT_TRUE(Showing(target));
    Tick(1001); // the condition fires: the target is scheduled already
    EXPECT_EQ(trigger.conditionFired, 1);
    EXPECT_EQ(target.startTime, 1000);
}

TEST_F(Conditions, OnlyTheFirstTriggerIsForeseen) {
    CFeature& trigger = Fixed(0, 5000);
    When(trigger, COND_AFTER_TIME, 1000, "T05T06");
    CFeature& first = OnTrigger(5);
    CFeature& second = OnTrigger(6);
    Tick(0);
    Tick(800);
    EXPECT_EQ(first.startTime, 1050); // foreseen at the first tick within the lead
    EXPECT_EQ(second.startTime, 0);
    Tick(1001);
    EXPECT_EQ(second.startTime, 1001);
    EXPECT_TRUE(Showing(second));
}

TEST_F(Conditions, ATriggerAtTheEndOfAShowingStartsItsTargetNow) {
    CFeature& trigger = Fixed(0, 1000);
    When(trigger, COND_ON_END, 0, "T05");
    CFeature& target = OnTrigger(5);
    Tick(0);
    Tick(1000);
    EXPECT_EQ(trigger.conditionFired, 1);
    EXPECT_EQ(target.startTime, 1000); // not the end marker, which would block it for good
    EXPECT_TRUE(Showing(target));
    Tick(2000);
    EXPECT_EQ(target.endTime, 0);
    EXPECT_EQ(target.startTime, 0); // free for the next trigger
}

TEST_F(Conditions, TwoForeseenTriggersOfOneTargetScheduleItOnce) {
    CFeature& early = Fixed(0, 5000);
    When(early, COND_AFTER_TIME, 1000, "T05");
    CFeature& late = Fixed(0, 5000);
    When(late, COND_AFTER_TIME, 1100, "T05");
    CFeature& target = OnTrigger(5, 2000);
    Tick(0);
    Tick(750);
    EXPECT_EQ(target.startTime, 1000);
    Tick(850);
    Tick(1001);
    Tick(1101);
    EXPECT_EQ(target.startTime, 1000);      // the second finds it scheduled
    EXPECT_EQ(Time(target.endTime), 3001u); // shown from the first tick at or after 1000
}

TEST_F(Conditions, OnEndWithStopHasNoFurtherEffect) {
    CFeature& f = Fixed(0, 1000);
    When(f, COND_ON_END, 0, "!");
    f.fadeType = FADE_IN;
    f.fadeStep = 100;
    f.fadeInterval = 10;
    Tick(0);
    Tick(10);
    Tick(500);
    EXPECT_EQ(f.conditionFired, 0);
    Tick(1000);
    EXPECT_EQ(f.conditionFired, 1);
    EXPECT_EQ(Time(f.endTime), 0xFFFFFFFFu);
}

TEST_F(Conditions, AnAfterTimeLongerThanTheShowingFiresAtTheEnd) {
    CFeature& f = Fixed(0, 1000);
    When(f, COND_AFTER_TIME, 5000, "S");
    f.section = 2;
    UpdateFeature(engine, f, 0, 2);
    UpdateFeature(engine, f, 999, 2);
    EXPECT_EQ(sectionTable[2].endRequested, 0);
    UpdateFeature(engine, f, 1000, 2);
    EXPECT_EQ(sectionTable[2].endRequested, 1);
}

// A Trigger sets a start time that is free (0), whatever the Start kind; a
// scheduled one, or a fixed time other than 0, stays.
TEST_F(Conditions, TriggerSetsOnlyAFreeStartTime) {
    CFeature& trigger = Fixed(0, 5000);
    When(trigger, COND_AFTER_TIME, 100, "T05T06T07");
    CFeature& scheduled = OnTrigger(5);
    scheduled.startTime = 3000;
    CFeature& fixedAtZero = Fixed(0, 100);
    SetLabel(6, FeatureIndex(engine, fixedAtZero));
    CFeature& fixedLater = Fixed(7000, 100);
    SetLabel(7, FeatureIndex(engine, fixedLater));
    Tick(0);
    Tick(101);
    Tick(200);
    EXPECT_EQ(scheduled.startTime, 3000);
    EXPECT_EQ(fixedAtZero.startTime, 101);
    EXPECT_EQ(fixedLater.startTime, 7000);
}

// The AfterTime look-ahead is taken in 32-bit unsigned time: a trigger due
// within the lead of its feature's start wraps round and is not foreseen, so
// the target starts when the trigger fires; a later one is foreseen.
TEST_F(Conditions, AfterTimeLookAheadInUnsignedTime) {
    for (int32_t delay : {100, 1000}) {
        SetUp();
        CFeature& trigger = Fixed(0, 5000);
        When(trigger, COND_AFTER_TIME, delay, "T05");
        CFeature& target = OnTrigger(5, 100);
        for (uint32_t t = 0; t <= static_cast<uint32_t>(delay) + 1; ++t) Tick(t);
        EXPECT_EQ(target.startTime, delay < 250 ? delay + 1 : delay) << delay;
        EXPECT_TRUE(Showing(target)) << delay;
    }
}

TEST_F(Conditions, EnableAndDisableCommands) {
    CFeature& f = Fixed(0, 5000);
    When(f, COND_AFTER_TIME, 100, "D07E08d");
    CFeature& a = Fixed(10000, 100);
    CFeature& b = Fixed(10000, 100);
    b.enabled = 0;
    SetLabel(7, FeatureIndex(engine, a));
    SetLabel(8, FeatureIndex(engine, b));
    Tick(0);
    Tick(101);
    EXPECT_EQ(a.enabled, 0);
    EXPECT_EQ(b.enabled, 1);
    EXPECT_EQ(f.enabled, 0);
    EXPECT_TRUE(Showing(f)); // a showing feature goes on
}

TEST_F(Conditions, MalformedCommandStringsAreHarmless) {
    const char* strings[] = {"T5", "T", "E9", "T99D63", "TxyS", "!T0"};
    for (const char* commands : strings) {
        SetUp();
        CFeature& f = Fixed(0, 5000);
        std::memset(f.commands, 'T', sizeof(f.commands)); // no zero byte at all
        When(f, COND_AFTER_TIME, 0, commands);
        Tick(0);
        Tick(1);
        EXPECT_EQ(f.conditionFired, 1) << commands;
    }
    SetUp();
    CFeature& f = Fixed(0, 5000);
    std::memset(f.commands, 'd', sizeof(f.commands)); // a full string without an end
    f.conditionType = COND_AFTER_TIME;
    Tick(0);
    Tick(1);
    EXPECT_EQ(f.enabled, 0);
}

TEST_F(Conditions, InRegionAndOnFrame) {
    CFeature& region = Fixed(0, 5000);
    region.movementType = MOVE_VECTOR;
    region.moveDx = 160;
    region.moveInterval = 100;
    region.conditionType = COND_IN_REGION;
    region.conditionArg1 = 1920;
    region.conditionArg2 = 0;
    region.conditionArg3 = 3200;
    region.conditionArg4 = 3200;
    std::strcpy(region.commands, "d");
    CFeature& frame = AddFeature();
    AttachImage(frame, 4, 8, 8, 100, true);
    frame.startType = START_FIXED;
    When(frame, COND_ON_FRAME, 2, "d");
    Tick(0);
    Tick(100);
    Tick(200);
    EXPECT_EQ(region.x, 1920);
    EXPECT_EQ(region.enabled, 0);
    EXPECT_EQ(frame.enabled, 0);
    EXPECT_EQ(frame.currentFrame->frameIndex, 2);
}

TEST_F(Conditions, OnFrameLookAheadForeseesTheTrigger) {
    CFeature& animated = AddFeature();
    AttachImage(animated, 5, 8, 8, 100, true);
    animated.startType = START_FIXED;
    When(animated, COND_ON_FRAME, 4, "T05");
    animated.conditionArg3 = 2; // the frame on screen 250 ms before frame 4
    CFeature& target = OnTrigger(5);
    Tick(0);
    Tick(100);
    EXPECT_EQ(target.startTime, 0);
    Tick(200);
    EXPECT_EQ(target.startTime, 450);
}

TEST_F(Conditions, FinishedFeaturesForeseeNothing) {
    CFeature& trigger = Fixed(0, 100);
    When(trigger, COND_AFTER_TIME, 1000, "T05");
    CFeature& target = OnTrigger(5);
    trigger.endTime = -1; // finished for this section, its condition never fired
    EXPECT_FALSE(WillBeTriggered(engine, FeatureIndex(engine, target), 5000));
    trigger.endTime = 100;
    EXPECT_TRUE(WillBeTriggered(engine, FeatureIndex(engine, target), 5000));
    trigger.conditionFired = 1;
    EXPECT_FALSE(WillBeTriggered(engine, FeatureIndex(engine, target), 5000));
}

TEST_F(Conditions, AnOrderedGroupTakesTurnsInTableOrder) {
    CFeature* members[3];
    for (auto& m : members) {
        m = &AddFeature();
        AttachImage(*m);
        Member(*this, *m, 4, false);
    }
    SetLabel(4, 0);
    std::string order;
    for (uint32_t t = 0; t < 2000; t += 10) {
        Tick(t);
        for (int i = 0; i < 3; ++i)
            if (Showing(*members[i]) && Time(members[i]->endTime) == t + 200)
                order += static_cast<char>('A' + i);
    }
    EXPECT_EQ(order.substr(0, 7), "ABCABCA");
}

TEST_F(Conditions, TheFlaggedMemberGoesFirst) {
    for (int i = 0; i < 3; ++i) {
        CFeature& m = AddFeature();
        AttachImage(m);
        Member(*this, m, 4, false);
        m.startArg1 = i == 1 ? 1 : 0;
    }
    SetLabel(4, 0);
    EXPECT_EQ(GroupCurrent(engine, 4), 1);
    GroupNext(engine, 4, false);
    EXPECT_EQ(GroupCurrent(engine, 4), 2);
    GroupNext(engine, 4, false);
    EXPECT_EQ(GroupCurrent(engine, 4), 0);
}

TEST_F(Conditions, ARandomGroupNeverRepeatsAMember) {
    for (int i = 0; i < 3; ++i) {
        CFeature& m = AddFeature();
        AttachImage(m);
        Member(*this, m, 2, true);
    }
    SetLabel(2, 0);
    int32_t previous = GroupCurrent(engine, 2);
    int counts[3] = {};
    for (int i = 0; i < 300; ++i) {
        GroupNext(engine, 2, true);
        const int32_t current = GroupCurrent(engine, 2);
        ASSERT_NE(current, previous);
        ++counts[current];
        previous = current;
    }
    for (int count : counts) EXPECT_GT(count, 50);
}

TEST_F(Conditions, ARandomGroupOfOneKeepsItsMember) {
    CFeature& only = AddFeature();
    AttachImage(only);
    Member(*this, only, 1, true);
    SetLabel(1, 0);
    EXPECT_EQ(GroupCurrent(engine, 1), 0);
    GroupNext(engine, 1, true);
    EXPECT_EQ(GroupCurrent(engine, 1), 0);
    int showings = 0;
    for (uint32_t t = 0; t < 2000; t += 10) {
        const bool before = Showing(only);
        Tick(t);
        if (!before && Showing(only)) ++showings;
    }
    EXPECT_GE(showings, 5); // 100 ms delay, 200 ms showing, over and over
}

TEST_F(Conditions, GroupsWithoutMembersAndBadLabels) {
    EXPECT_EQ(GroupCurrent(engine, 70), -1);
    GroupNext(engine, -1, true);
    GroupNext(engine, 64, false);
    labelCount = 3;
    labelTable[2].feature = -1;
    GroupNext(engine, 2, true);
    EXPECT_EQ(labelTable[2].feature, -1);
}
