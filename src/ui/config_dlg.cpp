#include "ui/config_dlg.h"

#include "app/settings_store.h"
#include "platform/dialogs.h"
#include "script/setup_scan.h"

#include <cstdio>
#include <cstring>

namespace {

char testCommand[TEST_COMMAND_LEN + 1];
const char* testArgs[TEST_ARGS_MAX + 1];

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
bool Append(const char* text) {
    size_t length = std::strlen(testCommand);
    size_t add = std::strlen(text);
    if (length + add > static_cast<size_t>(TEST_COMMAND_LEN)) return false;
    std::memcpy(testCommand + length, text, add + 1);
    return true;
}

} // namespace

CConfigDlg::CConfigDlg(int argc, const char* const* argv) : argc(argc), argv(argv) {
    caption[0] = '\0';
    for (ParamGroupView& group : groups) group = {false, "", "", "", 0, 0, 0};
}

int32_t CConfigDlg::ListCount() const {
    return moduleCount < 0 ? 0 : (moduleCount > MAX_MODULES ? MAX_MODULES : moduleCount);
}

const char* CConfigDlg::ListEntry(int32_t index) const {
    if (index < 0 || index >= ListCount()) return "";
    return moduleTable[index].name;
}

void CConfigDlg::OnInitDialog() {
    brightnessPosition = Clamp(Gamma > INT32_MAX - GAMMA_OFFSET ? INT32_MAX : Gamma + GAMMA_OFFSET,
                               BRIGHTNESS_MIN, BRIGHTNESS_MAX);
    soundChecked = Sound;
    if (activeModule < 0 || activeModule >= MAX_MODULES) activeModule = 0;
    currentModule = &moduleTable[activeModule];
    std::snprintf(caption, sizeof(caption), "%s", themeName);
    ShowParameterControls();
    selection = activeModule < ListCount() ? activeModule : -1;
}

void CConfigDlg::ShowParameterControls() {
    bool listed = currentModule && currentModule - moduleTable < ListCount();
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
    if (currentModule) {
        for (int k = 0; k < MODULE_PARAMS; ++k) {
            ModuleParam& slot = currentModule->params[k];
            if (slot.name[0] == '\0' || !groups[k].visible) continue;
            slot.value = Reversed(slot) ? Mirror(slot, groups[k].position) : groups[k].position;
        }
    }
    Gamma = brightnessPosition - GAMMA_OFFSET;
}

void CConfigDlg::OnSelChange(int32_t index) {
    if (index < 0 || index >= ListCount()) return;
    activeModule = index;
    currentModule = &moduleTable[index];
    selection = index;
    ShowParameterControls();
}

bool CConfigDlg::ComposeTestCommand() {
    testCommand[0] = '\0';
    if (argc < 1 || !argv || !argv[0]) return false;
    int count = 0;
    testArgs[count++] = argv[0];
    testArgs[count++] = "-s";
    if (!Append(argv[0]) || !Append(" -s")) return false;
    for (int i = 2; i < argc; ++i) {
        if (count >= TEST_ARGS_MAX - 1) return false;
        testArgs[count++] = argv[i];
        bool blank = std::strchr(argv[i], ' ') != nullptr;
        if (!Append(blank ? " \"" : " ") || !Append(argv[i]) || (blank && !Append("\"")))
            return false;
    }
    testArgs[count++] = "-test";
    testArgs[count] = nullptr;
    return Append(" -test");
}

int CConfigDlg::OnTest() {
    Sound = soundChecked;
    WriteSettings();
    // A line that does not fit would start some other command: none starts then.
    if (!ComposeTestCommand()) {
        testCommand[0] = '\0';
        return 0;
    }
    return DlgStartDetached(testCommand, testArgs);
}

const char* CConfigDlg::TestCommandLine() const {
    return testCommand;
}

int CConfigDlg::OnOK() {
    Gamma = brightnessPosition - GAMMA_OFFSET;
    Sound = soundChecked;
    return DLG_OK;
}

int RunSettingsDialog(int argc, const char* const* argv) {
    CConfigDlg dlg(argc, argv);
    ScanThemeSetup();
    ReadSettings();
    int result = DlgRunSettings(dlg);
    if (result == DLG_OK) WriteSettings();
    return result;
}
