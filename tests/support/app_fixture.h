// Every test starts from a fresh run over a fresh headless port: the state of
// one saver run, with short names for the parts of its lead context that the
// tests look at.
#pragma once

#include "app/glimmora_context.h"
#include "app/saver_run.h"
#include "app/saver_window.h"
#include "ports/headless/headless_port.h"

#include <gtest/gtest.h>

#include <memory>
#include <new>

class ContextTest : public ::testing::Test {
  protected:
    // The headless services every context of the test runs over.
    std::unique_ptr<HeadlessPort> headless = std::make_unique<HeadlessPort>();
    HeadlessPort& port = *headless;
    std::unique_ptr<SaverRun> saverRun = std::make_unique<SaverRun>(port.Services());
    GlimmoraContext& ctx = saverRun->lead;
    RunConfig& run = ctx.run;
    SettingsStore& settings = ctx.settings;
    ScriptContext& script = ctx.script;
    ScriptReader& reader = ctx.script.reader;
    ThemeTables& theme = ctx.script.theme;
    CSSView& view = ctx.view;
    CAudio& audio = ctx.audio;
    Engine& engine = ctx.engine;
    int32_t& errorLine = ctx.errors.errorLine;

    ThemeModule* const moduleTable = theme.moduleTable;
    int32_t& moduleCount = theme.moduleCount;
    LabelEntry* const labelTable = theme.labelTable;
    int32_t& labelCount = theme.labelCount;
    SectionEntry* const sectionTable = theme.sectionTable;
    int32_t& sectionCount = theme.sectionCount;
    CFeature* const featureTable = theme.featureTable;
    int32_t& featureCount = theme.featureCount;

    // A new run in place of the old one (the short names stay valid).
    void RestartRun() {
        saverRun->~SaverRun();
        new (saverRun.get()) SaverRun(port.Services());
    }
    // Asks the run's window to close and pumps until the quit message.
    void CloseRunWindow() {
        if (!ctx.saverWindow || !ctx.saverWindow->Id()) return;
        port.windows.PostClose(ctx.saverWindow->Id());
        for (int i = 0; i < 1000 && port.windows.PumpMessage() != PumpResult::Quit; ++i) {
        }
    }

    // Back to the state of a program that has just started, in place (the
    // short names stay valid).
    void ResetContext() {
        ctx.view.Reset();
        ctx.ResetModule();
        ctx.script.Reset();
        ctx.errors.Clear();
        ctx.run = RunConfig();
        ctx.settings.ResetSettings();
    }
};
