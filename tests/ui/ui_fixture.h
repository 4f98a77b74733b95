// Shared set-up of the dialog tests: a clean module table and settings over
// the headless store, the headless shell and dialogs, and modules written
// straight into the table.
#pragma once

#include "base/error_sink.h"
#include "base/paths.h"
#include "ports/headless/headless_dialogs.h"
#include "ports/headless/headless_settings.h"
#include "ports/headless/headless_shell.h"
#include "ports/headless/headless_system.h"
#include "script/script_context.h"
#include "settings/settings_store.h"

#include "support/module_table.h"
#include <cstdio>

#include <gtest/gtest.h>
#include <memory>

// The headless services the dialogs use.
struct DialogPort {
    HeadlessSystem system;
    HeadlessShell shell;
    HeadlessSettings settings;
    HeadlessDialogs dialogs{system};
};

// The names a run gives the dialogs.
struct DialogNames {
    char saverName[PATH_LEN + 1] = {};
    char mediaDirectory[PATH_LEN + 1] = {};
    char scriptPath[PATH_LEN + 1] = {};
};

class DialogTest : public ::testing::Test {
  protected:
    DialogTest() {
        script.ReportTo(errors);
        errors.show = [](void* user, const char* message) {
            static_cast<HeadlessSystem*>(user)->ShowMessageBox("Glimmora", message);
        };
        errors.user = &port.system;
        settings.saverName = run.saverName;
        settings.theme = &theme;
        settings.storage = &port.settings;
        std::snprintf(run.saverName, sizeof(run.saverName), "QV Dialogs");
    }

    // Reads back what the settings store holds, after spoiling memory.
    void ReloadSettings() { ::ReloadSettings(settings, theme); }

    // Adds a module with up to three parameters (a null name leaves a slot empty).
    void AddModule(const char* name, std::initializer_list<ParamSpec> params) {
        ::AddModule(theme, name, params);
    }

    DialogPort port;
    DialogNames run;
    ErrorSink errors;
    std::unique_ptr<ScriptContext> context = std::make_unique<ScriptContext>();
    ScriptContext& script = *context;
    ThemeTables& theme = script.theme;
    ThemeModule* const moduleTable = theme.moduleTable;
    int32_t& moduleCount = theme.moduleCount;
    int32_t& errorLine = errors.errorLine;
    SettingsStore settings;
};
