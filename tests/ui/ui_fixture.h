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

#include <cstdio>
#include <gtest/gtest.h>
#include <memory>

struct ParamSpec {
    const char* name;
    const char* caption;
    const char* leftLabel;
    const char* rightLabel;
    int32_t leftValue;
    int32_t rightValue;
    int32_t value;
};

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
    void ReloadSettings() {
        settings.Sound = false;
        settings.Gamma = 99;
        settings.PlayMode = 99;
        settings.MasterVolume = 99;
        settings.activeModule = 0;
        for (int m = 0; m < moduleCount; ++m) {
            for (ModuleParam& p : moduleTable[m].params) p.value = -99;
        }
        settings.ReadSettings();
    }

    // Adds a module with up to three parameters (a null name leaves a slot empty).
    void AddModule(const char* name, std::initializer_list<ParamSpec> params) {
        ThemeModule& module = moduleTable[moduleCount++];
        std::snprintf(module.name, sizeof(module.name), "%s", name);
        int k = 0;
        for (const ParamSpec& p : params) {
            ModuleParam& slot = module.params[k++];
            std::snprintf(slot.name, sizeof(slot.name), "%s", p.name ? p.name : "");
            std::snprintf(slot.caption, sizeof(slot.caption), "%s", p.caption);
            std::snprintf(slot.leftLabel, sizeof(slot.leftLabel), "%s", p.leftLabel);
            std::snprintf(slot.rightLabel, sizeof(slot.rightLabel), "%s", p.rightLabel);
            slot.leftValue = p.leftValue;
            slot.rightValue = p.rightValue;
            slot.defaultValue = p.value;
            slot.value = p.value;
        }
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
