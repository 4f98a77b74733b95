#include "ui/more_options_dlg.h"

#include "settings/settings_store.h"

void CMoreOptionsDlg::OnInitDialog() {
    const int32_t PlayMode = settings.PlayMode;
    const int32_t MasterVolume = settings.MasterVolume;
    checkedMode = PlayMode >= 0 && PlayMode < PLAY_MODES ? PlayMode : -1;
    volumePosition = MasterVolume < VOLUME_MIN   ? VOLUME_MIN
                     : MasterVolume > VOLUME_MAX ? VOLUME_MAX
                                                 : MasterVolume;
    othersBlack = settings.OtherMonitors == OTHER_MONITORS_BLACK;
    pictureFit = settings.PictureSize != PICTURE_SIZE_ORIGINAL;
}

void CMoreOptionsDlg::SetPictureFit(bool fit) {
    pictureFit = fit;
}

void CMoreOptionsDlg::SetOthersBlack(bool black) {
    othersBlack = black;
}

void CMoreOptionsDlg::SetCheckedMode(int32_t mode) {
    if (mode >= 0 && mode < PLAY_MODES) checkedMode = mode;
}

void CMoreOptionsDlg::OnHScroll(int32_t position) {
    volumePosition =
        position < VOLUME_MIN ? VOLUME_MIN : (position > VOLUME_MAX ? VOLUME_MAX : position);
    settings.MasterVolume = volumePosition;
}

void CMoreOptionsDlg::OnOK() {
    settings.PlayMode = checkedMode == PLAY_SELECTED ? PLAY_SELECTED
                        : checkedMode == PLAY_RANDOM ? PLAY_RANDOM
                                                     : PLAY_SEQUENTIAL;
    settings.OtherMonitors = othersBlack ? OTHER_MONITORS_BLACK : OTHER_MONITORS_PLAY;
    settings.PictureSize = pictureFit ? PICTURE_SIZE_FIT : PICTURE_SIZE_ORIGINAL;
}
