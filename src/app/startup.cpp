#include "app/startup.h"

#include "app/app_state.h"
#include "app/saver_window.h"
#include "app/settings_store.h"
#include "app/startup_rules.h"
#include "display/ss_view.h"
#include "engine/random.h"
#include "platform/shell.h"
#include "platform/sys.h"
#include "platform/window.h"
#include "script/script_reader.h"
#include "script/theme_records.h"
#include "ui/config_dlg.h"

CSaverWnd* saverWindow = nullptr;

namespace {

// Saver mode: the module for the next activation, by the play mode.
void ChooseNextModule() {
    if (PlayMode == 0 || moduleCount <= 1) return;
    if (PlayMode == 2) {
        activeModule = (activeModule + 1) % moduleCount;
    } else {
        activeModule = RandomBelow(moduleCount);
    }
    WriteSettings();
}

// A window that failed, or whose module reported an error, is taken down.
bool Abandon() {
    WndDestroy(saverWindow);
    saverWindow = nullptr;
    return false;
}

bool StartPreview(int argc, char** argv) {
    exclusiveMode = false;
    previewMode = true;
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
    saverWindow = new CSaverWnd();
    if (!WndCreate(saverWindow, layout) || errorLine != 0) return Abandon();
    return true;
}

bool StartSaver() {
    saverWindow = new CSaverWnd();
    if (!saverWindow->CreateFullScreen() || errorLine != 0) return Abandon();
    if (!testRun) ChooseNextModule();
    return true;
}

} // namespace

bool CSaverWnd::CreateFullScreen() {
    WindowSpec layout{};
    layout.right = view.screenWidth;
    layout.bottom = view.screenHeight;
    layout.topmost = exclusiveMode;
    layout.hideCursor = exclusiveMode;
    return WndCreate(this, layout);
}

bool StartUp(int argc, char** argv) {
    char programName[PATH_LEN + 1];
    ProgramBaseName(argc > 0 ? argv[0] : "", programName, sizeof(programName));
    DeriveNames(programName);
    SetPaths();
    int32_t width = 0;
    int32_t height = 0;
    SysScreenSize(&width, &height);
    view.SetSize(width, height);
    ParseOptions(argc, argv);
    SeedRandom(SysMilliseconds());

    switch (DispatchMode(argc, argv)) {
    case StartMode::Settings: RunSettingsDialog(argc, argv); return false;
    case StartMode::Preview: return StartPreview(argc, argv);
    case StartMode::Saver: return StartSaver();
    case StartMode::Stop: return false;
    }
    return false;
}

int Finish() {
    return errorLine;
}
