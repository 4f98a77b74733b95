// One run of the program over a port: the lead context, which plays in the
// mode's window (in a full-screen run, on the primary monitor, with sound),
// and, in a full-screen run over several monitors, the other monitors'
// contexts.
#pragma once

#include "app/glimmora_context.h"
#include "app/monitor_run.h"

#include <memory>

struct SaverRun {
    explicit SaverRun(const PortServices& port) : lead(port) {}
    // Takes the other monitors' windows down before their contexts go.
    ~SaverRun();
    SaverRun(const SaverRun&) = delete;
    SaverRun& operator=(const SaverRun&) = delete;

    GlimmoraContext lead;
    // The other monitors' windows of a full-screen run over several monitors.
    std::unique_ptr<MonitorRun> monitors;
};
