#include "app/monitor_run.h"

#include "app/module_loader.h"
#include "app/saver_run.h"
#include "app/saver_window.h"
#include "engine/frame_tick.h"
#include "platform/shell.h"
#include "platform/system.h"

#include <algorithm>

namespace {

// Seeds of the other monitors' engines differ from the lead's, so that no
// two monitors play the same picture.
constexpr uint32_t SEED_STRIDE = 0x9E3779B9u;

WindowLayout MonitorSpec(const GlimmoraContext& lead, const SysMonitor& monitor, bool secondary) {
    WindowLayout layout{};
    layout.left = monitor.left;
    layout.top = monitor.top;
    layout.right = monitor.left + monitor.width;
    layout.bottom = monitor.top + monitor.height;
    layout.topmost = lead.run.exclusiveMode;
    layout.hideCursor = lead.run.exclusiveMode;
    layout.monitor = monitor.id;
    layout.secondary = secondary;
    layout.title = lead.run.appTitle;
    return layout;
}

void RemoveOther(MonitorRun& monitors, int slot) {
    std::unique_ptr<GlimmoraContext>& other = monitors.others[slot];
    if (!other) return;
    if (other->saverWindow) other->saverWindow->Destroy();
    other.reset();
}

// A window on the slot's monitor over a fresh context: the lead's module
// (or nothing, for black) at the monitor's size, its clock starting now.
void AddOther(GlimmoraContext& lead, MonitorRun& monitors, int slot) {
    RemoveOther(monitors, slot);
    const MonitorSlot& place = monitors.layout.slots[slot];
    auto other = std::make_unique<GlimmoraContext>(lead.port);
    other->run = lead.run;
    other->run.otherMonitor = true;
    other->run.monitorModule = lead.load.module;
    other->run.exportPalettes = false;
    // The lead's load has shown whatever there was to say about the theme.
    other->errors.show = nullptr;
    other->view.SetSize(place.monitor.width, place.monitor.height);
    // A black monitor shows nothing at all, not even the banner.
    other->engine.previewMode = place.role == MonitorRole::Black;
    if (place.role == MonitorRole::Play) {
        LoadModule(*other);
        if (other->errors.errorLine != 0) {
            // What failed here played on the lead's monitor: this one stays black.
            other->ResetModule();
            other->errors.errorLine = 0;
        }
    }
    other->saverWindow =
        std::make_unique<CSaverWnd>(other->run, other->view, other->loop, *lead.port.windows);
    other->saverWindow->runWindow = lead.saverWindow.get();
    if (!other->saverWindow->Create(MonitorSpec(lead, place.monitor, true))) return;
    const uint32_t now = lead.port.system->Milliseconds();
    other->engine.clockStart = now;
    other->engine.random.SeedRandom(now + SEED_STRIDE * static_cast<uint32_t>(slot));
    monitors.others[slot] = std::move(other);
}

// The lead's monitor went: its window moves to the primary monitor and its
// view takes that monitor's size.
void MoveLead(GlimmoraContext& lead, const SysMonitor& monitor) {
    CSaverWnd* window = lead.saverWindow.get();
    if (!window) return;
    window->SetRect(MonitorSpec(lead, monitor, false));
    CSSView& view = lead.view;
    if (view.screenWidth != monitor.width || view.screenHeight != monitor.height) {
        view.SetSize(monitor.width, monitor.height);
        view.Init(window);
    }
    view.InvalidateAll();
}

void Apply(SaverRun& run, const MonitorChange* changes, int count) {
    GlimmoraContext& lead = run.lead;
    MonitorRun& monitors = *run.monitors;
    for (int i = 0; i < count; ++i) {
        const int slot = changes[i].slot;
        if (slot == LEAD_SLOT) {
            if (changes[i].kind == MonitorChangeKind::Move)
                MoveLead(lead, monitors.layout.slots[slot].monitor);
            continue;
        }
        switch (changes[i].kind) {
        case MonitorChangeKind::Remove: RemoveOther(monitors, slot); break;
        case MonitorChangeKind::Add:
        case MonitorChangeKind::Move: AddOther(lead, monitors, slot); break;
        }
    }
}

} // namespace

bool CreateMonitorWindows(SaverRun& run, bool* created) {
    GlimmoraContext& lead = run.lead;
    *created = false;
    SysMonitor list[MAX_MONITORS];
    const int count = lead.port.shell->Monitors(list, MAX_MONITORS);
    if (count <= 1) return false;
    run.monitors = std::make_unique<MonitorRun>();
    MonitorRun& monitors = *run.monitors;
    monitors.layout.othersBlack = lead.settings.OtherMonitors == OTHER_MONITORS_BLACK;
    MonitorChange changes[MAX_MONITOR_CHANGES];
    const int changed = monitors.layout.Update(list, count, changes);
    // The lead's window at its view's size, on the primary monitor's corner.
    SysMonitor primary = monitors.layout.slots[LEAD_SLOT].monitor;
    primary.width = lead.view.screenWidth;
    primary.height = lead.view.screenHeight;
    *created = lead.saverWindow->Create(MonitorSpec(lead, primary, false));
    if (!*created || lead.errors.errorLine != 0) return true;
    Apply(run, changes, changed);
    return true;
}

void TickOtherMonitors(SaverRun& run, uint32_t now) {
    if (!run.monitors) return;
    for (std::unique_ptr<GlimmoraContext>& other : run.monitors->others) {
        if (!other || !other->loop.displayReady) continue;
        Engine& engine = other->engine;
        const uint32_t t = now - engine.clockStart;
        engine.sectionTime.store(t, std::memory_order_relaxed);
        FrameTick(engine, t, now);
    }
}

uint32_t OtherMonitorsNextChangeMs(SaverRun& run, uint32_t now) {
    uint32_t wait = 0xFFFFFFFFu;
    if (!run.monitors) return wait;
    for (std::unique_ptr<GlimmoraContext>& other : run.monitors->others) {
        if (!other || !other->loop.displayReady) continue;
        Engine& engine = other->engine;
        const uint32_t t = now - engine.clockStart;
        wait = std::min(wait, NextChangeTime(engine, t) - t);
    }
    return wait;
}

void FollowMonitors(SaverRun& run) {
    if (!run.monitors || !run.lead.loop.displayReady) return;
    SysMonitor list[MAX_MONITORS];
    const int count = run.lead.port.shell->Monitors(list, MAX_MONITORS);
    MonitorChange changes[MAX_MONITOR_CHANGES];
    Apply(run, changes, run.monitors->layout.Update(list, count, changes));
}

void EndOtherMonitors(SaverRun& run) {
    if (!run.monitors) return;
    for (int slot = 0; slot < MAX_MONITORS; ++slot) RemoveOther(*run.monitors, slot);
}

SaverRun::~SaverRun() {
    EndOtherMonitors(*this);
}
