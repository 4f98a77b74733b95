// Run-time conditions and their commands, foreseen triggers, and the turns of
// the members of a group.
#pragma once

#include <cstdint>

class CFeature;
struct Engine;

// Evaluates the feature's condition and, when it fires (once per showing),
// runs its command string. `atEnd` is the call made when the showing ends:
// every kind is then tested as at the latest possible time, and OnEnd holds.
// Returns true when the commands hold Stop.
bool FireCondition(Engine& e, CFeature& feature, uint32_t now, bool atEnd);
// Whether the feature's condition holds at `now` (OnEnd never does before the end).
bool ConditionHolds(const CFeature& feature, uint32_t now);
// Whether a trigger of feature `target` is foreseen within the sound lead.
bool WillBeTriggered(Engine& e, int target, uint32_t now);
// The group's current member (a feature index), or -1 when it has none.
int32_t GroupCurrent(Engine& e, int32_t group);
// Passes the group's turn on: to the next member in table order, or at random
// to another member.
void GroupNext(Engine& e, int32_t group, bool random);
bool IsInGroup(Engine& e, int feature, int32_t group);
