// A full-screen run over every monitor. The run's own context (the lead)
// plays on the primary monitor with sound; every other monitor gets a window
// over a context of its own (view size, random seed, section clock) that
// plays the lead's module silently, or stays black. Input on any window ends
// the run; monitors that come or go while it plays get or lose their window.
#pragma once

#include "app/monitor_layout.h"

#include <cstdint>
#include <memory>

struct GlimmoraContext;
struct SaverRun;

struct MonitorRun {
    MonitorLayout layout;
    // The contexts of the other monitors' windows, by layout slot; the lead's
    // slot stays empty.
    std::unique_ptr<GlimmoraContext> others[MAX_MONITORS];
};

// Saver mode without "-debug" or "-v": when the desktop has more than one
// monitor, creates the lead's window (its module loaded) full screen on the
// primary monitor and a window on every other one, sets `created` and
// returns true. Returns false, doing nothing, on a desktop of one monitor.
bool CreateMonitorWindows(SaverRun& run, bool* created);
// One frame tick for every other monitor's engine, at the clock's `now`.
void TickOtherMonitors(SaverRun& run, uint32_t now);
// Milliseconds from the clock's `now` until the earliest change pending in
// another monitor's engine (0xFFFFFFFF without one).
uint32_t OtherMonitorsNextChangeMs(SaverRun& run, uint32_t now);
// Brings the windows in line with the desktop's monitors.
void FollowMonitors(SaverRun& run);
// Takes every other monitor's window down.
void EndOtherMonitors(SaverRun& run);
