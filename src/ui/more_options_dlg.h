// More Options: what an activation plays, the master volume, what the
// More Options: what an activation plays, the master volume, what the
// monitors other than the primary show, how big pictures are drawn, and how
// the screen saver starts on this desktop, with Glimmora's idle service where
// the platform has one.
#pragma once

#include <cstdint>

constexpr int32_t VOLUME_MIN = 0;
constexpr int32_t VOLUME_MAX = 100;
constexpr int32_t PLAY_MODES = 3; // selected module, at random, in turn
constexpr int32_t IDLE_MINUTES_MIN = 1;
constexpr int32_t IDLE_MINUTES_MAX = 60;
constexpr int32_t IDLE_MINUTES_DEFAULT = 10;
constexpr int START_TEXT_LEN = 200;

class SettingsStore;
class SystemShell;

class CMoreOptionsDlg {
  public:
    explicit CMoreOptionsDlg(SettingsStore& settings) : settings(settings) {}
    // With `shell`, the dialog also says what starts the screen saver and
    // offers the idle service for `theme`.
    CMoreOptionsDlg(SettingsStore& settings, SystemShell* shell, const char* theme)
        : settings(settings), shell(shell), theme(theme) {}

    SettingsStore& settings;
    SystemShell* const shell = nullptr;
    const char* const theme = "";
    int32_t checkedMode = -1; // the checked radio button (a play mode), -1 none
    int32_t volumePosition = 0;
    bool othersBlack = false; // the checked "Other monitors" button is "black"
    bool pictureFit = true;   // the checked "Picture size" button is "fit the screen"
    // What starts the screen saver, in words; the idle service's controls
    // show only when it is offered (no other screen saver starts Glimmora).
    char startText[START_TEXT_LEN] = {};
    bool idleOffered = false;
    bool idleChecked = false;
    int32_t idleMinutes = IDLE_MINUTES_DEFAULT;
    // Why the idle service could not be turned on or off at OK; empty when
    // it could (or nothing changed).
    char idleFailure[256] = {};

    // Checks the button of PlayMode (none for an unknown mode) and sets the
    // volume slider to MasterVolume.
    void OnInitDialog();
    // The user checked the button of play mode `mode`.
    void SetCheckedMode(int32_t mode);
    // The volume slider moved: MasterVolume follows at once, even if the
    // dialog is cancelled later.
    void OnHScroll(int32_t position);
    // The user checked "play" or "black" for the other monitors.
    void SetOthersBlack(bool black);
    // The user checked "original" or "fit the screen" for the picture size.
    void SetPictureFit(bool fit);
    // The idle service's check box and its minutes (clamped to 1 to 60).
    void SetIdleChecked(bool checked) { idleChecked = checked; }
    void SetIdleMinutes(int32_t minutes);
    // The check box's text, with the minutes: "Start Glimmora after 10
    // minutes without input".
    const char* IdleText();
    // OK: PlayMode from the checked button (the last mode when none is),
    // OtherMonitors and PictureSize from their buttons; the idle service on
    // or off as checked, when that changed.
    void OnOK();

  private:
    char idleText[64] = {};
    bool idleWasOn = false;
    int32_t idleWasMinutes = 0;
};
