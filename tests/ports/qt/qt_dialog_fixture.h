// Set-up of the Qt dialog tests: a fresh context per test whose dialogs and
// shell are the Qt port's (the shell starts programs and opens files for
// real) and whose other services, the settings store among them, are the
// headless port's. Modules are written straight into the table.
#pragma once

#include "app/glimmora_context.h"
#include "ports/headless/headless_port.h"
#include "ports/qt/dialogs_qt.h"
#include "ports/qt/shell_qt.h"
#include "qt_test_app.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <initializer_list>
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

class QtDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        TestApplication();
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

    HeadlessPort headless;
    QtDialogs dialogs{0};
    QtShell shell{0};
    std::unique_ptr<GlimmoraContext> context = std::make_unique<GlimmoraContext>(Services());
    GlimmoraContext& ctx = *context;
    RunConfig& run = ctx.run;
    SettingsStore& settings = ctx.settings;
    ScriptContext& script = ctx.script;
    ThemeTables& theme = ctx.script.theme;
    ThemeModule* const moduleTable = theme.moduleTable;
    int32_t& moduleCount = theme.moduleCount;

  private:
    PortServices Services() {
        PortServices services = headless.Services();
        services.dialogs = &dialogs;
        services.shell = &shell;
        return services;
    }
};
