#include "app/startup.h"

#include "app/glimmora_context.h"
#include "app/module_loader.h"
#include "app/monitor_run.h"
#include "app/saver_window.h"
#include "app/startup_rules.h"
#include "platform/shell.h"
#include "platform/sys.h"
#include "platform/window.h"
#include "ui/config_dlg.h"

#include <cstdio>

namespace {

// Saver mode: the module for the next activation, by the play mode. A
// failed write leaves the stored settings as they were; it is logged rather
// than shown, since a box would end or hide the saver.
void ChooseNextModule(GlimmoraContext& ctx) {
    SettingsStore& settings = ctx.settings;
    const int32_t moduleCount = ctx.script.theme.moduleCount;
    if (settings.PlayMode == 0 || moduleCount <= 1) return;
    if (settings.PlayMode == 2) {
        settings.activeModule = (settings.activeModule + 1) % moduleCount;
    } else {
        settings.activeModule = ctx.engine.random.RandomBelow(moduleCount);
    }
    if (!settings.WriteSettings()) {
        char message[sizeof(settings.writeFailure) + 64];
        std::snprintf(message, sizeof(message), SETTINGS_NOT_SAVED, settings.writeFailure);
        SysLogMessage(ctx.run.appTitle, message);
    }
}

// A window that failed, or whose module reported an error, is taken down.
bool Abandon(GlimmoraContext& ctx) {
    EndOtherMonitors(ctx);
    WndDestroy(ctx.saverWindow.get());
    ctx.saverWindow.reset();
    return false;
}

// The saver window over the loaded module.
CSaverWnd* MakeSaverWindow(GlimmoraContext& ctx) {
    ctx.engine.previewMode = ctx.run.previewMode;
    LoadModule(ctx);
    ctx.saverWindow = std::make_unique<CSaverWnd>(ctx);
    return ctx.saverWindow.get();
}

bool StartPreview(GlimmoraContext& ctx, int argc, char** argv) {
    CSSView& view = ctx.view;
    ctx.run.exclusiveMode = false;
    ctx.run.previewMode = true;
    uintptr_t host = PreviewHandle(argc, argv);
    WindowSpec layout{};
    int32_t width = 0;
    int32_t height = 0;
    if (host != 0 && SysWindowClientSize(host, &width, &height)) {
        layout.right = width;
        layout.bottom = height;
        layout.parent = host;
    } else {
        CentredPreviewRect(view.screenWidth, view.screenHeight, &layout.left, &layout.top,
                           &layout.right, &layout.bottom);
    }
    layout.child = true;
    view.SetSize(layout.right - layout.left, layout.bottom - layout.top);
    CSaverWnd* window = MakeSaverWindow(ctx);
    if (!WndCreate(window, layout) || ctx.errors.errorLine != 0) return Abandon(ctx);
    return true;
}

bool StartSaver(GlimmoraContext& ctx) {
    CSaverWnd* window = MakeSaverWindow(ctx);
    // "-debug" and "-v" keep to one window, on the primary monitor.
    bool created = false;
    const bool everyMonitor = ctx.run.exclusiveMode && !ctx.run.sizeGiven;
    if (!everyMonitor || !CreateMonitorWindows(ctx, &created)) created = window->CreateFullScreen();
    if (!created || ctx.errors.errorLine != 0) return Abandon(ctx);
    if (!ctx.run.testRun) ChooseNextModule(ctx);
    return true;
}

} // namespace

bool CSaverWnd::CreateFullScreen() {
    WindowSpec layout{};
    layout.right = ctx.view.screenWidth;
    layout.bottom = ctx.view.screenHeight;
    layout.topmost = ctx.run.exclusiveMode;
    layout.hideCursor = ctx.run.exclusiveMode;
    return WndCreate(this, layout);
}

bool StartUp(GlimmoraContext& ctx, int argc, char** argv) {
    RunConfig& run = ctx.run;
    char programName[PATH_LEN + 1];
    ProgramBaseName(argc > 0 ? argv[0] : "", programName, sizeof(programName));
    DeriveNames(run, programName);
    SetPaths(run);
    int32_t width = 0;
    int32_t height = 0;
    SysScreenSize(&width, &height);
    ctx.view.SetSize(width, height);
    ParseOptions(run, ctx.view, argc, argv);
    if (run.scriptPathTooLong) {
        char message[96];
        std::snprintf(message, sizeof(message),
                      "Can't find the script: its path is longer than %d characters", PATH_LEN);
        ctx.errors.ReportFailure(message);
        return false;
    }
    ctx.engine.random.SeedRandom(SysMilliseconds());

    switch (DispatchMode(argc, argv)) {
    case StartMode::Settings:
        RunSettingsDialog(ctx.script, ctx.settings, run.scriptPath, run.mediaDirectory, argc, argv);
        return false;
    case StartMode::Preview: return StartPreview(ctx, argc, argv);
    case StartMode::Saver: return StartSaver(ctx);
    case StartMode::Stop: return false;
    }
    return false;
}

int Finish(GlimmoraContext& ctx) {
    return ExitStatus(ctx.errors);
}
