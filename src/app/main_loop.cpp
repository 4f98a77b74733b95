#include "app/main_loop.h"

#include "app/app_state.h"
#include "app/settings_store.h"
#include "app/startup.h"
#include "engine/frame_tick.h"
#include "engine/random.h"
#include "platform/sys.h"
#include "platform/window.h"
#include "sound/audio.h"

bool displayReady = false;

namespace {

constexpr uint32_t IDLE_INTERVAL_MS = 100;
constexpr int MIXER_FORMAT_STEREO = 2;
constexpr int MIXER_FRAMES_PER_BUFFER = 2756;

uint32_t idleDeadline = IDLE_INTERVAL_MS;
int idleCounter = 0;
uint32_t lastTickClock = 0;
bool mixerStarted = false;

} // namespace

void BeginRunLoop() {
    mixerStarted = !previewMode && Sound;
    if (mixerStarted) {
        audio.SetMasterVolume(MasterVolume);
        audio.Init(MIXER_FORMAT_STEREO, MIXER_FRAMES_PER_BUFFER);
    }
    clockStart = SysMilliseconds();
    SeedRandom(SysMilliseconds());
    idleDeadline = IDLE_INTERVAL_MS;
    idleCounter = 0;
    lastTickClock = clockStart - 1;
}

void EndRunLoop() {
    if (mixerStarted) audio.Shutdown();
    mixerStarted = false;
}

bool RunLoopPass() {
    uint32_t now = SysMilliseconds();
    uint32_t t = now - clockStart;
    sectionTime.store(t, std::memory_order_relaxed);
    if (displayReady) FrameTick(t);

    PumpResult pumped = WndPumpMessage();
    if (pumped == PumpResult::Quit) return false;
    if (pumped == PumpResult::Handled) {
        idleCounter = 0;
    } else if (now == lastTickClock) {
        // Every time in the engine is a whole millisecond: until the clock
        // moves on, another tick would change nothing, so wait for input.
        WndWaitMessage(1);
    }
    lastTickClock = now;

    if (idleDeadline <= t) {
        while (WndIdle(idleCounter++)) {
        }
        idleDeadline = t + IDLE_INTERVAL_MS;
    }
    return true;
}

int RunLoop() {
    BeginRunLoop();
    while (RunLoopPass()) {
    }
    EndRunLoop();
    return Finish();
}
