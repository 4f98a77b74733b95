#include "ui/more_options_dlg.h"

#include "app/settings_store.h"

void CMoreOptionsDlg::OnInitDialog() {
    checkedMode = PlayMode >= 0 && PlayMode < PLAY_MODES ? PlayMode : -1;
    volumePosition = MasterVolume < VOLUME_MIN   ? VOLUME_MIN
                     : MasterVolume > VOLUME_MAX ? VOLUME_MAX
                                                 : MasterVolume;
}

void CMoreOptionsDlg::SetCheckedMode(int32_t mode) {
    if (mode >= 0 && mode < PLAY_MODES) checkedMode = mode;
}

void CMoreOptionsDlg::OnHScroll(int32_t position) {
    volumePosition =
        position < VOLUME_MIN ? VOLUME_MIN : (position > VOLUME_MAX ? VOLUME_MAX : position);
    MasterVolume = volumePosition;
}

void CMoreOptionsDlg::OnOK() {
    PlayMode = checkedMode == PLAY_SELECTED ? PLAY_SELECTED
               : checkedMode == PLAY_RANDOM ? PLAY_RANDOM
                                            : PLAY_SEQUENTIAL;
}
