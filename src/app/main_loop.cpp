#include "app/main_loop.h"

#include "app/glimmora_context.h"
#include "app/monitor_run.h"
#include "app/startup.h"
#include "engine/frame_tick.h"
#include "platform/sys.h"
#include "platform/window.h"

namespace {

constexpr uint32_t IDLE_INTERVAL_MS = 100;
constexpr int MIXER_FORMAT_STEREO = 2;
constexpr int MIXER_FRAMES_PER_BUFFER = 2756;

} // namespace

void BeginRunLoop(GlimmoraContext& ctx) {
    LoopState& loop = ctx.loop;
    loop.mixerStarted = !ctx.run.previewMode && ctx.settings.Sound;
    if (loop.mixerStarted) {
        ctx.audio.SetMasterVolume(ctx.settings.MasterVolume);
        ctx.audio.Init(MIXER_FORMAT_STEREO, MIXER_FRAMES_PER_BUFFER);
    }
    ctx.engine.clockStart = SysMilliseconds();
    ctx.engine.random.SeedRandom(SysMilliseconds());
    loop.idleDeadline = IDLE_INTERVAL_MS;
    loop.idleCounter = 0;
    loop.lastTickClock = ctx.engine.clockStart - 1;
}

void EndRunLoop(GlimmoraContext& ctx) {
    if (ctx.loop.mixerStarted) ctx.audio.Shutdown();
    ctx.loop.mixerStarted = false;
    EndOtherMonitors(ctx);
    // The palettizing mode writes the loaded module's palette file at the end.
    if (ctx.run.exportPalettes) ctx.images.histogram.Palettize(ctx.load.module);
}

bool RunLoopPass(GlimmoraContext& ctx) {
    LoopState& loop = ctx.loop;
    Engine& engine = ctx.engine;
    uint32_t now = SysMilliseconds();
    uint32_t t = now - engine.clockStart;
    engine.sectionTime.store(t, std::memory_order_relaxed);
    if (loop.displayReady) FrameTick(engine, t);
    TickOtherMonitors(ctx);

    PumpResult pumped = WndPumpMessage();
    if (pumped == PumpResult::Quit) return false;
    if (pumped == PumpResult::Handled) {
        loop.idleCounter = 0;
    } else if (now == loop.lastTickClock) {
        // Every time in the engine is a whole millisecond: until the clock
        // moves on, another tick would change nothing, so wait for input.
        WndWaitMessage(1);
    }
    loop.lastTickClock = now;

    if (loop.idleDeadline <= t) {
        while (WndIdle(loop.idleCounter++)) {
        }
        FollowMonitors(ctx);
        loop.idleDeadline = t + IDLE_INTERVAL_MS;
    }
    return true;
}

int RunLoop(GlimmoraContext& ctx) {
    BeginRunLoop(ctx);
    while (RunLoopPass(ctx)) {
    }
    EndRunLoop(ctx);
    return Finish(ctx);
}
