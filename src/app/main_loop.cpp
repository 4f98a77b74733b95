#include "app/main_loop.h"

#include "app/saver_run.h"
#include "app/startup.h"
#include "engine/frame_tick.h"
#include "platform/system.h"
#include "platform/window.h"

#include <algorithm>

namespace {

constexpr uint32_t IDLE_INTERVAL_MS = 100;
// The longest sleep between passes: the window system's idle work comes at
// this cadence too.
constexpr uint32_t LONGEST_SLEEP_MS = IDLE_INTERVAL_MS;
constexpr int MIXER_FORMAT_STEREO = 2;
constexpr int MIXER_FRAMES_PER_BUFFER = 2756;

// How long the loop may sleep after the pass at `now` (section time t): until
// the earliest change any engine has pending, or the next idle work. Passes in
// between would change nothing; input and pictures wake the window system
// earlier.
uint32_t SleepMs(SaverRun& run, uint32_t now, uint32_t t) {
    GlimmoraContext& ctx = run.lead;
    const uint32_t section = now - ctx.engine.clockStart; // 0 after a section change
    uint32_t wait = ctx.loop.displayReady ? NextChangeTime(ctx.engine, section) - section : 1;
    wait = std::min(wait, OtherMonitorsNextChangeMs(run, now));
    if (ctx.loop.idleDeadline > t) wait = std::min(wait, ctx.loop.idleDeadline - t);
    wait = std::min(wait, LONGEST_SLEEP_MS);
    const uint32_t spent = ctx.port.system->Milliseconds() - now; // the pass itself took time
    return wait > spent ? wait - spent : 0;
}

// Tells the user of the palette file -exp256 writes at the end of the run.
constexpr char PALETTIZE_CAPTION[] = "Glimmora";

} // namespace

void BeginRunLoop(SaverRun& run) {
    GlimmoraContext& ctx = run.lead;
    LoopState& loop = ctx.loop;
    loop.mixerStarted = !ctx.run.previewMode && ctx.settings.Sound;
    if (loop.mixerStarted) {
        ctx.audio.SetMasterVolume(ctx.settings.MasterVolume);
        ctx.audio.Init(MIXER_FORMAT_STEREO, MIXER_FRAMES_PER_BUFFER);
    }
    ctx.engine.clockStart = ctx.port.system->Milliseconds();
    ctx.engine.random.SeedRandom(ctx.port.system->Milliseconds());
    loop.idleDeadline = IDLE_INTERVAL_MS;
    loop.idleCounter = 0;
    loop.ticked = false;
    loop.waitMs = 0;
}

void EndRunLoop(SaverRun& run) {
    GlimmoraContext& ctx = run.lead;
    if (ctx.loop.mixerStarted) ctx.audio.Shutdown();
    ctx.loop.mixerStarted = false;
    EndOtherMonitors(run);
    // The palettizing mode writes the loaded module's palette file at the end.
    ColorHistogram& histogram = ctx.images.histogram;
    if (ctx.run.exportPalettes && histogram.Active()) {
        SystemServices& system = *ctx.port.system;
        system.ShowMessageBox(PALETTIZE_CAPTION, "Palletizing, please wait...");
        if (histogram.Palettize(ctx.load.module))
            system.ShowMessageBox(PALETTIZE_CAPTION, "Palettizing completed");
    }
}

bool RunLoopPass(SaverRun& run) {
    GlimmoraContext& ctx = run.lead;
    WindowSystem& windows = *ctx.port.windows;
    LoopState& loop = ctx.loop;
    Engine& engine = ctx.engine;
    uint32_t now = ctx.port.system->Milliseconds();
    uint32_t t = now - engine.clockStart;
    engine.sectionTime.store(t, std::memory_order_relaxed);
    // Engine times are whole milliseconds: a pass in a millisecond that has
    // been ticked already (straight after a message) leaves the engines alone,
    // as a loop that passes once every millisecond would. Ticking again would
    // test at once what the first tick has just started.
    if (!loop.ticked || now != loop.tickClock) {
        if (loop.displayReady) FrameTick(engine, t, now);
        TickOtherMonitors(run, now);
        loop.ticked = true;
        loop.tickClock = now;
    }

    PumpResult pumped = windows.PumpMessage();
    loop.waitMs = 0;
    if (pumped == PumpResult::Quit) return false;
    if (pumped == PumpResult::Handled) {
        loop.idleCounter = 0;
    } else if (const uint32_t sleep = SleepMs(run, now, t); sleep > 0) {
        loop.waitMs = sleep;
        windows.WaitMessage(sleep);
    }

    if (loop.idleDeadline <= t) {
        while (windows.Idle(loop.idleCounter++)) {
        }
        // The sound device closes while nothing plays, so the system may sleep.
        if (loop.mixerStarted) ctx.audio.CloseWhenIdle();
        FollowMonitors(run);
        loop.idleDeadline = t + IDLE_INTERVAL_MS;
    }
    return true;
}

int RunLoop(SaverRun& run) {
    BeginRunLoop(run);
    while (RunLoopPass(run)) {
    }
    EndRunLoop(run);
    return Finish(run.lead);
}
