#include "engine/schedule.h"

#include "engine/conditions.h"
#include "engine/engine_math.h"
#include "engine/engine_sound.h"
#include "engine/engine_state.h"
#include "engine/fades.h"
#include "engine/feature_sprite.h"
#include "engine/movement.h"
#include "engine/random.h"
#include "image/image.h"
#include "script/theme_records.h"
#include "sound/sound.h"

#include <algorithm>

namespace {

bool IsShowing(const CFeature& feature) {
    const uint32_t end = AsTime(feature.endTime);
    return end != TIME_NONE && end != TIME_NEVER;
}

// Schedules a start `delay` ms from now and reports that it is not due yet.
// A start that comes to time 0 reads as "not scheduled": it is drawn again on
// the next tick (a feature without a Start line first shows at 2 ms).
bool ScheduleStart(CFeature& feature, uint32_t now, int64_t delay) {
    feature.startTime = now == 0 && delay <= 0 ? 0 : TimeField(TimeAfter(now, delay));
    return false;
}

// The first start of an Offset feature in a section. A first time of 0 (or
// below) is "not scheduled", so the first showing comes after the repeat time.
int32_t FirstOffsetStart(const CFeature& feature) {
    return feature.startArg1 > 0 ? feature.startArg1 : 0;
}

// Start time of the coming showing, if one is known: a fixed time always is.
bool StartKnown(const CFeature& feature) {
    return feature.startType == START_FIXED || feature.startTime != 0;
}

void StartShowing(Engine& e, CFeature& feature, uint32_t now) {
    feature.currentFrame = feature.image;
    if (feature.image) {
        SetDesignSize(e, feature);
        StartPosition(e, feature);
        AutoPan(e, feature, false);
        feature.nextFrameTime = TimeField(TimeAfter(now, feature.image->delayMs));
        StartMovement(e, feature, now);
        StartFade(feature, now);
        PlaceSprite(e, feature);
    }
    StartDuration(e, feature, now);
    feature.conditionFired = 0;
}

// Starts the feature's sound the sound lead before the feature appears, or at
// once when its start is nearer than that.
void SoundLead(Engine& e, CFeature& feature, uint32_t now) {
    if (!feature.sound || feature.soundStarted || !StartKnown(feature)) return;
    const uint32_t start = AsTime(feature.startTime);
    const uint32_t lead = start > SOUND_LEAD_MS ? start - SOUND_LEAD_MS : 0;
    if (now < lead) return;
    AutoPan(e, feature, AsTime(feature.endTime) == TIME_NONE);
    StartSound(e, TIME_NEVER, feature.sound, feature.sound->volume, feature.sound->pan);
    feature.soundStarted = 1;
}

void StepFrame(Engine& e, CFeature& feature, uint32_t now) {
    const uint32_t due = AsTime(feature.nextFrameTime);
    if (due == 0 || now < due) return;
    CImage* leaving = feature.currentFrame;
    if (!leaving->next) {
        feature.nextFrameTime = 0;
        return;
    }
    if (feature.movementType == MOVE_ON_IMAGE_CYCLE && (leaving->flags & IMAGE_LAST)) {
        feature.x = AddClamped(feature.x, feature.moveDx); // one jump per animation cycle
        feature.y = AddClamped(feature.y, feature.moveDy);
        AutoPan(e, feature, false);
    }
    feature.currentFrame = leaving->next;
    feature.nextFrameTime = TimeField(TimeAfter(now, feature.currentFrame->delayMs));
    PlaceSprite(e, feature);
    if (feature.sound && feature.soundCycleFrame != -1 &&
        feature.soundCycleFrame == feature.currentFrame->frameIndex)
        StartSound(e, TIME_NEVER, feature.sound, feature.sound->volume, feature.sound->pan);
}

void EndShowing(Engine& e, CFeature& feature) {
    if (feature.startType == START_GROUP)
        GroupNext(e, feature.startGroup / 2, (feature.startGroup & 1) != 0);
    if (feature.currentFrame) RemoveSprite(e, feature);
    if (feature.sound) StopSound(e, feature.sound);
    if (feature.bounceSound) StopSound(e, feature.bounceSound);
    feature.endTime = TimeField(feature.startType == START_FIXED ? TIME_NEVER : TIME_NONE);
    feature.soundStarted = 0;
    feature.bounceSoundPlayed = 0;
    if (feature.startType != START_FIXED) feature.startTime = 0;
    feature.currentFrame = nullptr;
}

} // namespace

void UpdateFeature(Engine& e, CFeature& feature, uint32_t now, int32_t section) {
    if (feature.section != section || !IsEnabled(feature, now)) return;
    const uint32_t end = AsTime(feature.endTime);
    if (end == TIME_NEVER) return;
    if (end == TIME_NONE) {
        if (StartDue(e, feature, now)) StartShowing(e, feature, now);
        SoundLead(e, feature, now);
        return;
    }
    bool fadedOut;
    if (feature.currentFrame) {
        fadedOut = StepFade(e, feature, now);
        StepFrame(e, feature, now);
        MoveStep(e, feature, now);
    } else {
        fadedOut = StepSoundFade(e, feature, now);
    }
    const bool stopped = FireCondition(e, feature, now, false);
    if (!IsExpired(e, feature, now) && !fadedOut && !stopped) return;
    FireCondition(e, feature, now, true);
    if (BeginFadeOut(e, feature, now)) return; // it ends when the fade-out is over
    EndShowing(e, feature);
}

bool StartDue(Engine& e, CFeature& feature, uint32_t now) {
    if (e.sectionEnding) return false;
    const uint32_t start = AsTime(feature.startTime);
    switch (feature.startType) {
    case START_FIXED: return now >= start;
    case START_RANDOM:
        if (start == 0)
            return ScheduleStart(feature, now,
                                 e.random.RandomAround(feature.startArg1, feature.startArg2));
        return now >= start;
    case START_GROUP:
        if (start == 0) {
            if (GroupCurrent(e, feature.startGroup / 2) == FeatureIndex(e, feature))
                ScheduleStart(feature, now, feature.startArg2);
            return false;
        }
        return now >= start;
    case START_OFFSET:
        if (start == 0) return ScheduleStart(feature, now, feature.startArg2);
        return now >= start;
    case START_ON_TRIGGER:
        if (start == 0 && WillBeTriggered(e, FeatureIndex(e, feature), now))
            feature.startTime = TimeField(TimeAfter(now, SOUND_LEAD_MS));
        return feature.startTime != 0 && now >= AsTime(feature.startTime);
    default: return false;
    }
}

void StartDuration(Engine& e, CFeature& feature, uint32_t now) {
    switch (feature.durationType) {
    case DURATION_RANDOM:
        feature.currentDuration = e.random.RandomAround(feature.durationArg1, feature.durationArg2);
        feature.endTime = TimeField(TimeAfter(now, feature.currentDuration));
        break;
    case DURATION_FIXED:
        feature.endTime = TimeField(TimeAfter(now, feature.currentDuration));
        break;
    case DURATION_OFFSET:
        feature.endTime = TimeField(TimeAfter(now, feature.currentDuration));
        feature.currentDuration = feature.durationArg2;
        break;
    default: feature.endTime = TimeField(TIME_ON_SCREEN); break;
    }
}

bool IsEnabled(CFeature& feature, uint32_t now) {
    if (feature.endTime != 0) return true;
    if (!feature.enabled && feature.enableMode == ENABLE_AFTER_TIME)
        feature.enabled = static_cast<int64_t>(now) >= feature.enableAfter ? 1 : 0;
    return feature.enabled != 0;
}

bool IsExpired(Engine& e, const CFeature& feature, uint32_t now) {
    if (AsTime(feature.fadeNextTime) != TIME_NEVER) return false;
    if (AsTime(feature.endTime) == TIME_ON_SCREEN)
        return feature.currentFrame && (!OnScreenX(e, feature) || !OnScreenY(e, feature));
    return now >= AsTime(feature.endTime);
}

void ResetForSection(Engine& e, CFeature& feature) {
    feature.endTime = 0;
    feature.soundStarted = 0;
    if (feature.startType == START_OFFSET) feature.startTime = FirstOffsetStart(feature);
    if (feature.durationType == DURATION_OFFSET) feature.currentDuration = feature.durationArg1;
    if (feature.image) feature.image->SetBrightness(100);
    if (feature.enableMode == ENABLE_AFTER_TIME) {
        feature.enabled = 0; // enables itself again by time
    } else if (feature.enableMode != ENABLE_ALWAYS) {
        // Off stays off until an Enable command; OnSetup keeps its load-time result.
        feature.enabled = e.loadStateCaptured ? LoadEnabled(e, FeatureIndex(e, feature)) : 0;
    }
}

void PrepareLoadedFeature(CFeature& feature) {
    if (feature.startType == START_OFFSET && feature.endTime == 0)
        feature.startTime = FirstOffsetStart(feature);
}

uint32_t NextFeatureChange(Engine& e, const CFeature& f, uint32_t now, int32_t section) {
    uint32_t next = TIME_NEVER;
    // A time that has come already means the next tick (it acts then).
    auto due = [&](uint32_t t) { next = std::min(next, t > now ? t : now + 1); };
    if (f.section != section) return next;
    const uint32_t end = AsTime(f.endTime);
    if (end == TIME_NEVER) return next;
    if (end == TIME_NONE) {
        const bool enabled =
            f.enabled || (f.enableMode == ENABLE_AFTER_TIME && int64_t{now} >= f.enableAfter);
        if (!enabled) {
            if (f.enableMode == ENABLE_AFTER_TIME) // not yet: enableAfter > now
                due(static_cast<uint32_t>(f.enableAfter));
            return next; // otherwise only a command of another feature enables it
        }
        const uint32_t start = AsTime(f.startTime);
        if (!e.sectionEnding) { // nothing starts or is scheduled while the section ends
            if (start != 0) {
                due(start);
            } else if (f.startType == START_RANDOM || f.startType == START_OFFSET) {
                due(now + 1); // the start is drawn at the next tick
            } else if (f.startType == START_GROUP) {
                const int32_t group = f.startGroup / 2;
                if (e.groupsDirty || (group >= 0 && group < MAX_LABELS &&
                                      e.theme.labelTable[group].feature == FeatureIndex(e, f)))
                    due(now + 1);
            } else if (f.startType == START_FIXED) {
                due(now + 1); // a fixed start at 0
            }
            // OnTrigger without a time: the look-ahead reads the triggering
            // feature, which may have reached its look-ahead frame after this
            // feature's update; its condition time that feature reports itself.
            if (f.startType == START_ON_TRIGGER && start == 0 &&
                WillBeTriggered(e, FeatureIndex(e, f), now + 1))
                due(now + 1);
        }
        if (f.sound && !f.soundStarted && StartKnown(f))
            due(start > SOUND_LEAD_MS ? start - SOUND_LEAD_MS : 0);
        return next;
    }
    const bool fadeRunning = AsTime(f.fadeNextTime) != TIME_NEVER;
    if (f.currentFrame) {
        if (fadeRunning && (e.sectionEnding || f.fadeType != FADE_NONE))
            due(AsTime(f.fadeNextTime));
        if (f.nextFrameTime != 0) due(AsTime(f.nextFrameTime));
        const bool steps =
            f.movementType == MOVE_VECTOR || f.movementType == MOVE_BOUNCE ||
            f.movementType == MOVE_ARC || f.movementType == MOVE_PROJECTILE ||
            (f.movementType == MOVE_PATTERN && f.pattern.count > 0 && f.pattern.steps != nullptr);
        if (steps) due(AsTime(f.nextMoveTime));
    } else if (fadeRunning && e.sectionEnding) {
        due(AsTime(f.fadeNextTime));
    }
    // The tick that starts a feature tests neither its condition nor its end:
    // the next one does, with whatever holds already (a region it starts in,
    // the frame it starts on, a start off the screen).
    if (!f.conditionFired && ConditionHolds(f, now)) due(now + 1);
    if (!fadeRunning && end == TIME_ON_SCREEN && f.currentFrame &&
        (!OnScreenX(e, f) || !OnScreenY(e, f)))
        due(now + 1);
    if (!f.conditionFired && f.conditionType == COND_AFTER_TIME) {
        // It fires once the time passes startTime + delay; so does the
        // look-ahead of a target it triggers, the sound lead before that.
        const int64_t fires = int64_t{AsTime(f.startTime)} + f.conditionArg1 + 1;
        if (fires <= int64_t{TIME_LATEST}) due(static_cast<uint32_t>(fires < 0 ? 0 : fires));
        const uint32_t ahead =
            AsTime(f.startTime) + static_cast<uint32_t>(f.conditionArg1) - SOUND_LEAD_MS;
        if (ahead > now) due(ahead);
    }
    if (!fadeRunning && end != TIME_ON_SCREEN) due(end);
    return next;
}

bool IsActiveInSection(const CFeature& feature, int32_t section) {
    return feature.section == section && feature.enabled && IsShowing(feature);
}

void LeaveSection(Engine& e, CFeature& feature) {
    if (IsShowing(feature)) {
        if (feature.currentFrame) RemoveSprite(e, feature);
        if (feature.sound) StopSound(e, feature.sound);
        if (feature.bounceSound) StopSound(e, feature.bounceSound);
        feature.currentFrame = nullptr;
        feature.fadeNextTime = TimeField(TIME_NEVER);
    } else if (feature.soundStarted && feature.sound && (feature.sound->flags & SOUND_LOOP)) {
        StopSound(e, feature.sound);
    }
}
