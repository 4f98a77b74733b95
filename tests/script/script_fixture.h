// Shared set-up of the script tests: a script context whose errors and
// warnings go to an error sink, the messages kept by a log, and short names
// for the theme's tables.
#pragma once

#include "base/error_sink.h"
#include "base/paths.h"
#include "script/script_context.h"
#include "script/theme_records.h"
#include "support/error_log.h"

#include <gtest/gtest.h>

#include <memory>

class ScriptTest : public ::testing::Test {
  protected:
    ScriptTest() { script.ReportTo(errors); }

    // Back to a context that has read nothing.
    void ResetScript() {
        script.Reset();
        errors.Clear();
        log.texts.clear();
    }

    ErrorSink errors;
    ErrorLog log{errors};
    std::unique_ptr<ScriptContext> context = std::make_unique<ScriptContext>();
    ScriptContext& script = *context;
    ScriptReader& reader = script.reader;
    ThemeTables& theme = script.theme;
    int32_t& errorLine = errors.errorLine;
    char scriptPath[PATH_LEN + 1] = {};

    ThemeModule* const moduleTable = theme.moduleTable;
    int32_t& moduleCount = theme.moduleCount;
    LabelEntry* const labelTable = theme.labelTable;
    int32_t& labelCount = theme.labelCount;
    SectionEntry* const sectionTable = theme.sectionTable;
    int32_t& sectionCount = theme.sectionCount;
    CFeature* const featureTable = theme.featureTable;
    int32_t& featureCount = theme.featureCount;
};
