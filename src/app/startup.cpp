#include "app/startup.h"

#include "app/module_loader.h"
#include "app/saver_run.h"
#include "app/saver_window.h"
#include "app/startup_rules.h"
#include "base/file_checks.h"
#include "platform/shell.h"
#include "platform/system.h"
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
        ctx.port.system->LogMessage(ctx.run.appTitle, message);
    }
}

// A window that failed, or whose module reported an error, is taken down.
bool Abandon(SaverRun& run) {
    EndOtherMonitors(run);
    GlimmoraContext& ctx = run.lead;
    if (ctx.saverWindow) ctx.saverWindow->Destroy();
    ctx.saverWindow.reset();
    return false;
}

// The saver window over the loaded module.
CSaverWnd* MakeSaverWindow(GlimmoraContext& ctx) {
    ctx.engine.previewMode = ctx.run.previewMode;
    LoadModule(ctx);
    ctx.saverWindow = std::make_unique<CSaverWnd>(ctx.run, ctx.view, ctx.loop, *ctx.port.windows);
    return ctx.saverWindow.get();
}

bool StartPreview(SaverRun& run, int argc, char** argv) {
    GlimmoraContext& ctx = run.lead;
    CSSView& view = ctx.view;
    ctx.run.exclusiveMode = false;
    ctx.run.previewMode = true;
    uintptr_t host = PreviewHandle(argc, argv);
    WindowLayout layout{};
    int32_t width = 0;
    int32_t height = 0;
    if (host != 0 && ctx.port.shell->WindowClientSize(host, &width, &height)) {
        layout.right = width;
        layout.bottom = height;
        layout.parent = host;
    } else {
        CentredPreviewRect(view.screenWidth, view.screenHeight, &layout.left, &layout.top,
                           &layout.right, &layout.bottom);
    }
    layout.child = true;
    layout.title = ctx.run.appTitle;
    view.SetSize(layout.right - layout.left, layout.bottom - layout.top);
    CSaverWnd* window = MakeSaverWindow(ctx);
    if (!window->Create(layout) || ctx.errors.errorLine != 0) return Abandon(run);
    return true;
}

bool StartSaver(SaverRun& run) {
    GlimmoraContext& ctx = run.lead;
    CSaverWnd* window = MakeSaverWindow(ctx);
    // "-debug" and "-v" keep to one window, on the primary monitor.
    bool created = false;
    const bool everyMonitor = ctx.run.exclusiveMode && !ctx.run.sizeGiven;
    if (!everyMonitor || !CreateMonitorWindows(run, &created)) created = window->CreateFullScreen();
    if (!created || ctx.errors.errorLine != 0) return Abandon(run);
    if (!ctx.run.testRun) ChooseNextModule(ctx);
    return true;
}

// A theme named by the program's name or "--theme" whose script is not
// there: said, with the folders searched (`folders`, nullptr where the
// platform lists none), rather than playing an empty screen.
bool ThemeMissing(GlimmoraContext& ctx, const char* folders) {
    const RunConfig& run = ctx.run;
    if (!folders || run.mediaDirectory[0] == '\0' || PathExists(run.scriptPath)) return false;
    char message[4 * PATH_LEN + 3 * PATH_LEN];
    std::snprintf(message, sizeof(message),
                  "Can't find the theme \"%s\": there is no %s.SS in any of these folders:\n%s",
                  run.scriptName, run.scriptName, folders);
    ctx.errors.ReportFailure(message);
    return true;
}

} // namespace

bool CSaverWnd::CreateFullScreen() {
    WindowLayout layout{};
    layout.right = view.screenWidth;
    layout.bottom = view.screenHeight;
    layout.topmost = run.exclusiveMode;
    layout.hideCursor = run.exclusiveMode;
    layout.title = run.appTitle;
    return Create(layout);
}

bool StartUp(SaverRun& saverRun, int argc, char** argv, const char* theme) {
    GlimmoraContext& ctx = saverRun.lead;
    SystemShell& shell = *ctx.port.shell;
    RunConfig& run = ctx.run;
    char programName[PATH_LEN + 1];
    ProgramBaseName(argc > 0 ? argv[0] : "", programName, sizeof(programName));
    DeriveNames(run, shell, programName, theme);
    SetPaths(run, shell);
    int32_t width = 0;
    int32_t height = 0;
    shell.ScreenSize(&width, &height);
    ctx.view.SetSize(width, height);
    ParseOptions(run, ctx.view, argc, argv);
    if (run.scriptPathTooLong) {
        char message[96];
        std::snprintf(message, sizeof(message),
                      "Can't find the script: its path is longer than %d characters", PATH_LEN);
        ctx.errors.ReportFailure(message);
        return false;
    }
    ctx.engine.random.SeedRandom(ctx.port.system->Milliseconds());

    const StartMode mode = DispatchMode(argc, argv);
    // A platform that names the folders a theme is looked for in reports a
    // missing theme as such (ThemeMissing). Elsewhere (Windows, where a bare
    // "glimmora.scr" names no theme) the demo theme stands in for it.
    char folders[4 * PATH_LEN];
    const bool listsFolders = shell.ThemeSearchFolders(run.scriptName, folders, sizeof(folders));
    char missing[3 * PATH_LEN];
    if (mode != StartMode::Stop && !listsFolders &&
        !FindInstalledTheme(run, shell, missing, sizeof(missing))) {
        // Said where a box may show; a preview inside the system's settings
        // stays empty and logs it.
        if (mode == StartMode::Preview) {
            ctx.port.system->LogMessage(run.appTitle, missing);
        } else {
            ctx.errors.ReportFailure(missing);
            return false;
        }
    }
    switch (mode) {
    case StartMode::Settings:
        RunSettingsDialog(ctx.script, ctx.settings, *ctx.port.dialogs, shell, run.scriptPath,
                          run.mediaDirectory, argc, argv, SettingsOwner(argc, argv));
        return false;
    case StartMode::Preview: return StartPreview(saverRun, argc, argv);
    case StartMode::Saver:
        return !ThemeMissing(ctx, listsFolders ? folders : nullptr) && StartSaver(saverRun);
    case StartMode::Stop: return false;
    }
    return false;
}

int Finish(GlimmoraContext& ctx) {
    return ExitStatus(ctx.errors);
}
