// The one owner of a run's state. The application creates one context per
// engine that plays (a process may hold several); every layer below receives
// the parts it needs from it as parameters.
#pragma once

#include "app/app_state.h"
#include "base/error_sink.h"
#include "base/media_path.h"
#include "base/memory_budget.h"
#include "display/ss_view.h"
#include "engine/engine_state.h"
#include "image/image.h"
#include "script/script_context.h"
#include "settings/settings_store.h"
#include "sound/audio.h"
#include "sound/sound.h"

#include <cstdint>
#include <memory>

class CImage;
class CSaverWnd;
struct MonitorRun;

// What the last module load did.
struct ModuleLoad {
    // The line at which the load stopped early (with or without a message),
    // -1 when the script could not be opened, 0 when the module was read to its end.
    int32_t loadStopLine = 0;
    // The module that was loaded (its palette is the one -exp256 writes).
    int32_t module = 0;
    // The module's background image (the image cache owns it); none for a colour.
    CImage* moduleBackground = nullptr;
};

// The run loop's own bookkeeping.
struct LoopState {
    bool displayReady = false; // the display exists; the tick runs only then
    uint32_t idleDeadline = 0;
    int idleCounter = 0;
    bool mixerStarted = false;
    bool ticked = false;    // a pass has ticked the engines,
    uint32_t tickClock = 0; // at this clock value
    uint32_t waitMs = 0;    // how long the last pass waited for a message (0: it handled one)
};

struct GlimmoraContext {
    GlimmoraContext();
    ~GlimmoraContext();
    GlimmoraContext(const GlimmoraContext&) = delete;
    GlimmoraContext& operator=(const GlimmoraContext&) = delete;

    ErrorSink errors;
    RunConfig run;
    SettingsStore settings;
    ScriptContext script;
    // What the module's pictures and sounds hold against its memory limit;
    // before them, as the sounds give back to it when they go.
    MemoryBudget memory;
    ImageContext images;
    SoundBank sounds;
    CSSView view;
    CAudio audio;
    Engine engine;
    ModuleLoad load;
    LoopState loop;
    // Told when a media file was found only in another letter case or with a
    // backslash read as a folder separator (check warns of it).
    MediaPathNotice mediaNotice;
    // The saver window of this run (preview and saver modes), or none.
    std::unique_ptr<CSaverWnd> saverWindow;
    // The other monitors' windows of a full-screen run over several monitors.
    std::unique_ptr<MonitorRun> monitors;

    // Frees the loaded module (tables, images, sounds, background), empties
    // its memory budget and restarts the engine, for a fresh load. The mixer
    // must be stopped.
    void ResetModule();
};
