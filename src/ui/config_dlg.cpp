#include "ui/config_dlg.h"

#include "platform/shell.h"
#include "script/script_context.h"
#include "script/setup_scan.h"
#include "settings/settings_store.h"

#include <cstdio>
#include <cstring>

namespace {

int32_t Clamp(int32_t value, int32_t low, int32_t high) {
    return value < low ? low : (value > high ? high : value);
}

bool Reversed(const ModuleParam& slot) {
    return slot.leftValue > slot.rightValue;
}

// leftValue + rightValue - x without overflow, clamped to the slot's range.
int32_t Mirror(const ModuleParam& slot, int32_t x) {
    int64_t mirrored = static_cast<int64_t>(slot.leftValue) + slot.rightValue - x;
    if (mirrored < slot.rightValue) return slot.rightValue;
    if (mirrored > slot.leftValue) return slot.leftValue;
    return static_cast<int32_t>(mirrored);
}

// Appends `text` to the test command; false (nothing appended) when it does not fit.
bool Append(char* testCommand, const char* text) {
    size_t length = std::strlen(testCommand);
    size_t add = std::strlen(text);
    if (length + add > static_cast<size_t>(TEST_COMMAND_LEN)) return false;
    std::memcpy(testCommand + length, text, add + 1);
    return true;
}

} // namespace

CConfigDlg::CConfigDlg(SettingsStore& settings, SystemShell& shell, const char* mediaDirectory,
                       int argc, const char* const* argv)
    : settings(settings), shell(shell), mediaDirectory(mediaDirectory), argc(argc), argv(argv) {
    caption[0] = '\0';
    for (ParamGroupView& group : groups) group = {false, "", "", "", 0, 0, 0};
}

ThemeTables& CConfigDlg::Theme() const {
    return *settings.theme;
}

int32_t CConfigDlg::ListCount() const {
    const int32_t moduleCount = Theme().moduleCount;
    return moduleCount < 0 ? 0 : (moduleCount > MAX_MODULES ? MAX_MODULES : moduleCount);
}

const char* CConfigDlg::ListEntry(int32_t index) const {
    if (index < 0 || index >= ListCount()) return "";
    return Theme().moduleTable[index].name;
}

void CConfigDlg::OnInitDialog() {
    ThemeTables& theme = Theme();
    int32_t& Gamma = settings.Gamma;
    int32_t& activeModule = settings.activeModule;
    brightnessPosition = Clamp(Gamma > INT32_MAX - GAMMA_OFFSET ? INT32_MAX : Gamma + GAMMA_OFFSET,
                               BRIGHTNESS_MIN, BRIGHTNESS_MAX);
    soundChecked = settings.Sound;
    if (activeModule < 0 || activeModule >= MAX_MODULES) activeModule = 0;
    theme.currentModule = &theme.moduleTable[activeModule];
    std::snprintf(caption, sizeof(caption), "%s", theme.themeName);
    ShowParameterControls();
    selection = activeModule < ListCount() ? activeModule : -1;
}

void CConfigDlg::ShowParameterControls() {
    ThemeModule* currentModule = Theme().currentModule;
    bool listed = currentModule && currentModule - Theme().moduleTable < ListCount();
    for (int k = 0; k < MODULE_PARAMS; ++k) {
        ParamGroupView& group = groups[k];
        const ModuleParam* slot = listed ? &currentModule->params[k] : nullptr;
        if (!slot || slot->name[0] == '\0') {
            group.visible = false;
            continue;
        }
        group.caption = slot->caption;
        group.leftLabel = slot->leftLabel;
        group.rightLabel = slot->rightLabel;
        if (Reversed(*slot)) {
            group.rangeMin = slot->rightValue;
            group.rangeMax = slot->leftValue;
            group.position = Mirror(*slot, slot->value);
        } else {
            group.rangeMin = slot->leftValue;
            group.rangeMax = slot->rightValue;
            group.position = Clamp(slot->value, group.rangeMin, group.rangeMax);
        }
        group.visible = true;
    }
}

void CConfigDlg::SetParamPosition(int k, int32_t position) {
    if (k < 0 || k >= MODULE_PARAMS) return;
    groups[k].position = Clamp(position, groups[k].rangeMin, groups[k].rangeMax);
}

void CConfigDlg::SetBrightnessPosition(int32_t position) {
    brightnessPosition = Clamp(position, BRIGHTNESS_MIN, BRIGHTNESS_MAX);
}

void CConfigDlg::OnHScroll() {
    if (ThemeModule* currentModule = Theme().currentModule) {
        for (int k = 0; k < MODULE_PARAMS; ++k) {
            ModuleParam& slot = currentModule->params[k];
            if (slot.name[0] == '\0' || !groups[k].visible) continue;
            slot.value = Reversed(slot) ? Mirror(slot, groups[k].position) : groups[k].position;
        }
    }
    settings.Gamma = brightnessPosition - GAMMA_OFFSET;
}

void CConfigDlg::OnSelChange(int32_t index) {
    if (index < 0 || index >= ListCount()) return;
    settings.activeModule = index;
    Theme().currentModule = &Theme().moduleTable[index];
    selection = index;
    ShowParameterControls();
}

bool CConfigDlg::ComposeTestCommand() {
    testCommand[0] = '\0';
    if (argc < 1 || !argv || !argv[0]) return false;
    int count = 0;
    testArgs[count++] = argv[0];
    testArgs[count++] = "-s";
    if (!Append(testCommand, argv[0]) || !Append(testCommand, " -s")) return false;
    for (int i = 2; i < argc; ++i) {
        if (count >= TEST_ARGS_MAX - 1) return false;
        testArgs[count++] = argv[i];
        bool blank = std::strchr(argv[i], ' ') != nullptr;
        if (!Append(testCommand, blank ? " \"" : " ") || !Append(testCommand, argv[i]) ||
            (blank && !Append(testCommand, "\"")))
            return false;
    }
    testArgs[count++] = "-test";
    testArgs[count] = nullptr;
    return Append(testCommand, " -test");
}

bool CConfigDlg::Save() {
    saveFailure[0] = '\0';
    if (settings.WriteSettings()) return true;
    std::snprintf(saveFailure, sizeof(saveFailure), SETTINGS_NOT_SAVED, settings.writeFailure);
    return false;
}

int CConfigDlg::OnTest() {
    settings.Sound = soundChecked;
    if (!Save()) {
        testCommand[0] = '\0';
        return 0;
    }
    // A line that does not fit would start some other command: none starts then.
    if (!ComposeTestCommand()) {
        testCommand[0] = '\0';
        return 0;
    }
    return shell.StartDetached(testCommand, testArgs);
}

const char* CConfigDlg::TestCommandLine() const {
    return testCommand;
}

int CConfigDlg::OnOK() {
    settings.Gamma = brightnessPosition - GAMMA_OFFSET;
    settings.Sound = soundChecked;
    return Save() ? DLG_OK : 0;
}

int RunSettingsDialog(ScriptContext& script, SettingsStore& settings, DialogHost& dialogs,
                      SystemShell& shell, const char* scriptPath, const char* mediaDirectory,
                      int argc, const char* const* argv, uintptr_t owner) {
    settings.theme = &script.theme;
    CConfigDlg dlg(settings, shell, mediaDirectory, argc, argv);
    // The theme's name: the script's file name less ".SS".
    const char* name = scriptPath;
    for (const char* p = scriptPath; *p; ++p) {
        if (*p == '/' || *p == '\\') name = p + 1;
    }
    std::snprintf(dlg.themeName, sizeof(dlg.themeName), "%s", name);
    char* dot = std::strrchr(dlg.themeName, '.');
    if (dot && (dot[1] == 'S' || dot[1] == 's') && (dot[2] == 'S' || dot[2] == 's') && !dot[3]) {
        *dot = '\0';
    }
    dlg.ownerWindow = owner;
    ScanThemeSetup(script, scriptPath);
    settings.ReadSettings();
    return dialogs.RunSettings(dlg);
}
