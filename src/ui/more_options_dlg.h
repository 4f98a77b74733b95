// More Options: what an activation plays, the master volume, what the
// monitors other than the primary show, and how big pictures are drawn.
#pragma once

#include <cstdint>

constexpr int32_t VOLUME_MIN = 0;
constexpr int32_t VOLUME_MAX = 100;
constexpr int32_t PLAY_MODES = 3; // selected module, at random, in turn

class SettingsStore;

class CMoreOptionsDlg {
  public:
    explicit CMoreOptionsDlg(SettingsStore& settings) : settings(settings) {}

    SettingsStore& settings;
    int32_t checkedMode = -1; // the checked radio button (a play mode), -1 none
    int32_t volumePosition = 0;
    bool othersBlack = false; // the checked "Other monitors" button is "black"
    bool pictureFit = true;   // the checked "Picture size" button is "fit the screen"

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
    // OK: PlayMode from the checked button (the last mode when none is),
    // OtherMonitors and PictureSize from their buttons.
    void OnOK();
};
