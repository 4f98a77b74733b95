// Which window covers which monitor in a full-screen run. The run's own
// engine (the lead, which alone plays sound) covers the primary monitor;
// every other monitor gets a window of its own that plays the active module
// or stays black. The layout follows the monitor list as monitors come and go.
#pragma once

#include "platform/shell.h"

#include <cstdint>

constexpr int MAX_MONITORS = 16;
constexpr int LEAD_SLOT = 0;
// Room for the changes of one update: a slot can be removed and reused.
constexpr int MAX_MONITOR_CHANGES = 2 * MAX_MONITORS;

enum class MonitorRole { Lead, Play, Black };

struct MonitorSlot {
    bool used = false;
    SysMonitor monitor{};
    MonitorRole role = MonitorRole::Play;
};

enum class MonitorChangeKind {
    Add,    // the slot is new: make its window
    Remove, // the slot's monitor is gone: take its window down
    Move    // the slot's window moves to its (new) rectangle
};

struct MonitorChange {
    MonitorChangeKind kind;
    int slot;
};

class MonitorLayout {
  public:
    // Whether monitors other than the lead's play or stay black.
    bool othersBlack = false;
    MonitorSlot slots[MAX_MONITORS];

    // Brings the slots in line with the monitor list and writes what changed
    // into `changes`, MAX_MONITOR_CHANGES long (removals first, then moves, then additions);
    // returns their number. Monitors past MAX_MONITORS, of no area or listed twice are left out.
    // The first call places the lead on the primary monitor (the first listed when none is marked).
    // When the lead's monitor goes, the lead moves to the primary monitor and the window there is
    // removed, so the run and its sound go on. An empty list changes nothing: a desktop being
    // rearranged may list no monitor for a moment.
    int Update(const SysMonitor* monitors, int count, MonitorChange* changes);
    int UsedCount() const;
};
