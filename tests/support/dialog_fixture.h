// Shared set-up of the dialog tests: a clean module table and settings, and
// modules written straight into the table.
#pragma once

#include "platform/headless/headless_settings.h"
#include "support/context_fixture.h"

#include <cstdio>
#include <gtest/gtest.h>

struct ParamSpec {
    const char* name;
    const char* caption;
    const char* leftLabel;
    const char* rightLabel;
    int32_t leftValue;
    int32_t rightValue;
    int32_t value;
};

class DialogTest : public ContextTest {
  protected:
    void SetUp() override {
        HeadlessSettingsClear();
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
};
