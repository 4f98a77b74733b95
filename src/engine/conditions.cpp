#include "engine/conditions.h"

#include "engine/engine_state.h"
#include "engine/random.h"
#include "image/image.h"
#include "script/theme_records.h"

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads the two-digit label index after a command letter at `at`; -1 when the
// digits are missing.
int32_t LabelAt(const char* commands, int at) {
    if (at + 2 > COMMANDS_LEN || !IsDigit(commands[at + 1]) || !IsDigit(commands[at + 2]))
        return -1;
    return (commands[at + 1] - '0') * 10 + (commands[at + 2] - '0');
}

bool TakesLabel(char command) {
    return command == CMD_TRIGGER || command == CMD_DISABLE || command == CMD_ENABLE;
}

// The label of the first Trigger command, or -1.
int32_t FirstTrigger(const CFeature& feature) {
    const char* commands = feature.commands;
    for (int i = 0; i <= COMMANDS_LEN && commands[i] != '\0'; ++i) {
        if (!TakesLabel(commands[i])) continue;
        const int32_t label = LabelAt(commands, i);
        if (label < 0) return -1;
        if (commands[i] == CMD_TRIGGER) return label;
        i += 2;
    }
    return -1;
}

bool Holds(const CFeature& feature, uint32_t now, bool atEnd) {
    const uint32_t t = atEnd ? TIME_NEVER : now;
    switch (feature.conditionType) {
    case COND_IN_REGION:
        return feature.conditionArg1 <= feature.x && feature.x < feature.conditionArg3 &&
               feature.conditionArg2 <= feature.y && feature.y < feature.conditionArg4;
    case COND_AFTER_TIME:
        return static_cast<int64_t>(AsTime(feature.startTime)) + feature.conditionArg1 <
               static_cast<int64_t>(t);
    case COND_ON_FRAME:
        return feature.currentFrame && feature.currentFrame->frameIndex == feature.conditionArg1;
    case COND_ON_END: return atEnd;
    default: return false;
    }
}

// Schedules the target at `time` unless it is scheduled already (a fixed time
// other than 0 is).
void Trigger(CFeature& target, uint32_t time) {
    if (target.startTime != 0) return;
    target.startTime = TimeField(TimeAfter(time, 0));
}

} // namespace

bool FireCondition(Engine& e, CFeature& feature, uint32_t now, bool atEnd) {
    if (feature.conditionFired) return false;
    if (!Holds(feature, now, atEnd)) return false;
    feature.conditionFired = 1;
    bool stop = false;
    const char* commands = feature.commands;
    for (int i = 0; i <= COMMANDS_LEN && commands[i] != '\0'; ++i) {
        const char command = commands[i];
        if (command == CMD_STOP) {
            stop = true;
        } else if (command == CMD_END_SECTION) {
            if (feature.section >= 0 && feature.section < MAX_SECTIONS)
                e.theme.sectionTable[feature.section].endRequested = 1;
        } else if (command == CMD_DISABLE_SELF) {
            feature.enabled = 0;
        } else if (TakesLabel(command)) {
            const int32_t label = LabelAt(commands, i);
            if (label < 0) break; // a command cut short ends the list
            i += 2;
            CFeature* target = LabelledFeature(e, label);
            if (!target) continue;
            if (command == CMD_TRIGGER)
                Trigger(*target, now);
            else
                target->enabled = command == CMD_ENABLE ? 1 : 0;
        }
    }
    return stop;
}

bool ConditionHolds(const CFeature& feature, uint32_t now) {
    return Holds(feature, now, false);
}

bool WillBeTriggered(Engine& e, int target, uint32_t now) {
    for (int i = 0; i < e.theme.featureCount && i < MAX_FEATURES; ++i) {
        const CFeature& f = e.theme.featureTable[i];
        const uint32_t end = AsTime(f.endTime);
        if (end == TIME_NONE || end == TIME_NEVER || f.conditionFired) continue;
        if (f.conditionType != COND_AFTER_TIME && f.conditionType != COND_ON_FRAME) continue;
        const int32_t label = FirstTrigger(f);
        if (label < 0) continue;
        const CFeature* named = LabelledFeature(e, label);
        if (!named || FeatureIndex(e, *named) != target) continue;
        if (f.conditionType == COND_AFTER_TIME) {
            // In 32-bit unsigned time: a condition due within the lead of the
            // section's start wraps round and is not foreseen.
            const uint32_t ahead =
                AsTime(f.startTime) + static_cast<uint32_t>(f.conditionArg1) - SOUND_LEAD_MS;
            if (ahead <= now) return true;
        } else if (f.currentFrame && f.currentFrame->frameIndex == f.conditionArg3) {
            return true;
        }
    }
    return false;
}

bool IsInGroup(Engine& e, int feature, int32_t group) {
    if (feature < 0 || feature >= MAX_FEATURES) return false;
    const CFeature& f = e.theme.featureTable[feature];
    return f.startType == START_GROUP && f.startGroup / 2 == group;
}

int32_t GroupCurrent(Engine& e, int32_t group) {
    if (e.groupsDirty) {
        e.groupsDirty = false;
        for (int32_t label = 0; label < e.theme.labelCount && label < MAX_LABELS; ++label) {
            for (int j = 0; j < e.theme.featureCount && j < MAX_FEATURES; ++j) {
                if (!IsInGroup(e, j, label)) continue;
                e.theme.labelTable[label].feature = -1;
                GroupNext(e, label, false);
            }
        }
    }
    if (group < 0 || group >= MAX_LABELS) return -1;
    return e.theme.labelTable[group].feature;
}

void GroupNext(Engine& e, int32_t group, bool random) {
    if (group < 0 || group >= MAX_LABELS) return;
    const int count = e.theme.featureCount < MAX_FEATURES ? e.theme.featureCount : MAX_FEATURES;
    int32_t& current = e.theme.labelTable[group].feature;
    if (current < 0) {
        for (int j = 0; j < count; ++j) {
            if (!IsInGroup(e, j, group)) continue;
            if (e.theme.featureTable[j].startGroup & 1) random = true;
            if (e.theme.featureTable[j].startArg1 == 1) {
                current = j;
                return;
            }
        }
    }
    int members = 0;
    int first = -1;
    int after = -1; // the first member after the current one
    for (int j = 0; j < count; ++j) {
        if (!IsInGroup(e, j, group)) continue;
        if (first < 0) first = j;
        if (after < 0 && j > current) after = j;
        ++members;
    }
    if (members == 0) return;
    if (members == 1) { // the only member keeps its turn
        current = first;
        return;
    }
    if (!random) {
        current = after >= 0 ? after : first;
        return;
    }
    int32_t chosen;
    do {
        int32_t k = e.random.RandomBelow(members);
        chosen = -1;
        for (int j = 0; j < count; ++j) {
            if (IsInGroup(e, j, group) && k-- == 0) {
                chosen = j;
                break;
            }
        }
    } while (chosen == current);
    current = chosen;
}
