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

#include "support/module_table.h"
#include <cstdio>

#include <gtest/gtest.h>
#include <initializer_list>
#include <memory>

class QtDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        TestApplication();
        std::snprintf(run.saverName, sizeof(run.saverName), "QV Dialogs");
    }

    // Reads back what the settings store holds, after spoiling memory.
    void ReloadSettings() { ::ReloadSettings(settings, theme); }

    // Adds a module with up to three parameters (a null name leaves a slot empty).
    void AddModule(const char* name, std::initializer_list<ParamSpec> params) {
        ::AddModule(theme, name, params);
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
