#include "app/glimmora_context.h"

#include "app/saver_window.h"
#include "platform/system.h"

namespace {

// Messages are shown in a box captioned with the application title.
void ShowInMessageBox(void* user, const char* message) {
    const GlimmoraContext& ctx = *static_cast<const GlimmoraContext*>(user);
    if (ctx.port.system) ctx.port.system->ShowMessageBox(ctx.run.appTitle, message);
}

} // namespace

GlimmoraContext::GlimmoraContext(const PortServices& port)
    : port(port), engine(script.theme, view) {
    errors.show = ShowInMessageBox;
    errors.user = this;
    settings.saverName = run.saverName;
    settings.theme = &script.theme;
    settings.storage = port.settings;
    script.ReportTo(errors);
    images.errors = &errors;
    images.budget = &memory;
    view.errors = &errors;
    view.SetFonts(port.fonts);
    audio.errors = &errors;
    audio.device = port.audio;
    audio.sectionClock = &engine.sectionTime;
    engine.sound = EngineSoundCalls::Mixer(audio);
}

GlimmoraContext::~GlimmoraContext() {
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
