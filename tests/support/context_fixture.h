// Every test starts from a fresh context: the state of one saver run, with
// short names for the parts the tests look at.
#pragma once

#include "app/glimmora_context.h"

#include <gtest/gtest.h>

#include <memory>

class ContextTest : public ::testing::Test {
  protected:
    std::unique_ptr<GlimmoraContext> context = std::make_unique<GlimmoraContext>();
    GlimmoraContext& ctx = *context;
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
