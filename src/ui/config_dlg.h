// The settings dialog's behaviour: module list, the selected module's
// parameter sliders, brightness, sound and the test run. Platforms show it
// with their own widgets and pass the user's actions in here.
#pragma once

#include "base/paths.h"
#include "platform/settings_backend.h"
#include "script/theme_records.h"
#include "ui/dialog_host.h"

#include <cstdint>

class SettingsStore;
class SystemShell;
struct ScriptContext;

constexpr int32_t BRIGHTNESS_MIN = 0;
constexpr int32_t BRIGHTNESS_MAX = 6;
constexpr int32_t GAMMA_OFFSET = 3; // brightness position = Gamma + 3

// The test command: as long as a Windows command line may be, and a bounded
// argument count.
constexpr int TEST_COMMAND_LEN = 32767;
constexpr int TEST_ARGS_MAX = 64;

// What one parameter group shows: group box, end labels and slider.
struct ParamGroupView {
    bool visible;
    const char* caption;
    const char* leftLabel;
    const char* rightLabel;
    int32_t rangeMin;
    int32_t rangeMax;
    int32_t position;
};

class CConfigDlg {
  public:
    // Edits `settings` and the parameter values of its module table. The
    // program's own command line is used for the test run, which `shell`
    // starts; `mediaDirectory` is the theme folder the About box opens the
    // read-me in.
    CConfigDlg(SettingsStore& settings, SystemShell& shell, const char* mediaDirectory, int argc,
               const char* const* argv);

    SettingsStore& settings;
    SystemShell& shell;
    const char* mediaDirectory;
    // The theme the dialog sets (its script's name), which More Options
    // offers the idle service for.
    char themeName[PATH_LEN + 1] = {};
    // The window the settings were asked for from ("/c:<window>"), which
    // owns the dialog; 0 for none.
    uintptr_t ownerWindow = 0;

    // Dialog state, read by the platform's widgets.
    char caption[THEME_NAME_LEN + 1];
    ParamGroupView groups[MODULE_PARAMS];
    int32_t brightnessPosition = 0;
    bool soundChecked = false;
    int32_t selection = -1; // selected list entry; -1 none

    int32_t ListCount() const;
    const char* ListEntry(int32_t index) const;

    // Loads the settings into the controls and fills the list.
    void OnInitDialog();
    // Refreshes the three parameter groups from the module table's currentModule.
    void ShowParameterControls();

    // The user moved a slider: the platform sets every slider's position
    // (clamped into its range) and then calls OnHScroll.
    void SetParamPosition(int k, int32_t position);
    void SetBrightnessPosition(int32_t position);
    void SetSoundChecked(bool checked) { soundChecked = checked; }
    // Takes every named parameter's value and Gamma from the sliders.
    void OnHScroll();

    // The list selection changed to `index`.
    void OnSelChange(int32_t index);

    // "Test Screen Saver": stores the settings and starts the saver with the
    // current command line. Returns 1 when the test run was started. When
    // the settings cannot be stored no test run starts (it would play the
    // stored ones): `saveFailure` says why, for a message box.
    int OnTest();
    // The command line of the last test run (empty before one was composed).
    const char* TestCommandLine() const;

    // OK: takes brightness and sound into the settings and stores them.
    // Returns DLG_OK, or 0 when they could not be stored: the dialog then
    // stays open (to try again or cancel) and shows `saveFailure`.
    int OnOK();

    // What the user is told after the last OK or Test could not store the
    // settings; empty after a store that worked.
    char saveFailure[SETTINGS_REASON_LEN + 64] = {};

  private:
    bool ComposeTestCommand();
    bool Save();
    ThemeTables& Theme() const;
    int argc;
    const char* const* argv;
    char testCommand[TEST_COMMAND_LEN + 1] = {};
    const char* testArgs[TEST_ARGS_MAX + 1] = {};
};

// Settings mode: scans the theme at `scriptPath` into the script context's
// module table, reads the settings and runs the dialog through `dialogs`,
// whose OK writes the settings; `owner` is the window that owns the dialog
// (0: none). Returns the dialog's result.
int RunSettingsDialog(ScriptContext& script, SettingsStore& settings, DialogHost& dialogs,
                      SystemShell& shell, const char* scriptPath, const char* mediaDirectory,
                      int argc, const char* const* argv, uintptr_t owner = 0);
