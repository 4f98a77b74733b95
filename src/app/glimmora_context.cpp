#include "app/glimmora_context.h"

#include "app/monitor_run.h"
#include "app/saver_window.h"
#include "platform/sys.h"

namespace {

// Messages are shown in a box captioned with the application title.
void ShowInMessageBox(void* user, const char* message) {
    SysMessageBox(static_cast<const RunConfig*>(user)->appTitle, message);
}

} // namespace

GlimmoraContext::GlimmoraContext() : engine(script.theme, view) {
    errors.show = ShowInMessageBox;
    errors.user = &run;
    errors.line = &script.reader.lineNumber;
    settings.saverName = run.saverName;
    settings.theme = &script.theme;
    script.errors = &errors;
    script.reader.warnings = &errors;
    images.errors = &errors;
    images.budget = &memory;
    view.errors = &errors;
    audio.errors = &errors;
    audio.sectionClock = &engine.sectionTime;
    engine.sound = EngineSoundCalls::Mixer(audio);
}

GlimmoraContext::~GlimmoraContext() {
    if (monitors) EndOtherMonitors(*this);
    monitors.reset();
    audio.Shutdown();
    saverWindow.reset();
    view.Reset();
    ResetModule();
}

void GlimmoraContext::ResetModule() {
    // The view holds no image of the module any more.
    view.SetBackgroundImage(nullptr);
    for (SpriteSlot& slot : view.slots) slot = SpriteSlot();
    script.theme.ResetModuleContent();
    script.theme.currentModule = nullptr;
    images.Reset();
    sounds.Reset();
    memory.Reset();
    load = ModuleLoad();
    engine.ResetEngineState();
}
