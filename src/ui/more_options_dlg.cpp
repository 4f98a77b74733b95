#include "ui/more_options_dlg.h"

#include "platform/shell.h"
#include "settings/settings_store.h"

#include <cstdio>

namespace {

int32_t ClampMinutes(int32_t minutes) {
    return minutes < IDLE_MINUTES_MIN   ? IDLE_MINUTES_MIN
           : minutes > IDLE_MINUTES_MAX ? IDLE_MINUTES_MAX
                                        : minutes;
}

} // namespace

void CMoreOptionsDlg::OnInitDialog() {
    const int32_t PlayMode = settings.PlayMode;
    const int32_t MasterVolume = settings.MasterVolume;
    checkedMode = PlayMode >= 0 && PlayMode < PLAY_MODES ? PlayMode : -1;
    volumePosition = MasterVolume < VOLUME_MIN   ? VOLUME_MIN
                     : MasterVolume > VOLUME_MAX ? VOLUME_MAX
                                                 : MasterVolume;
    othersBlack = settings.OtherMonitors == OTHER_MONITORS_BLACK;
    pictureFit = settings.PictureSize != PICTURE_SIZE_ORIGINAL;
    if (!shell) return;
    char name[64];
    int32_t minutes = 0;
    const SaverStarter starter = shell->HowSaverStarts(name, sizeof(name), &minutes);
    switch (starter) {
    case SaverStarter::System:
        std::snprintf(startText, sizeof(startText), "Windows starts it as the screen saver.");
        break;
    case SaverStarter::XScreenSaver:
        std::snprintf(startText, sizeof(startText),
                      "XScreenSaver starts the screen saver: choose \"Glimmora\" in its "
                      "settings (xscreensaver-settings).");
        break;
    case SaverStarter::DesktopSaver:
        std::snprintf(startText, sizeof(startText),
                      "The desktop's screen saver (%s) starts it: choose \"Glimmora\" in its "
                      "settings.",
                      name);
        break;
    case SaverStarter::IdleService:
        std::snprintf(startText, sizeof(startText),
                      "Glimmora's idle service starts it after %d minutes without input.",
                      static_cast<int>(minutes));
        break;
    case SaverStarter::Nothing:
        std::snprintf(startText, sizeof(startText),
                      "Nothing starts Glimmora on this desktop: tick the box below to start it "
                      "when the desktop is idle.");
        break;
    }
    idleOffered = starter == SaverStarter::IdleService || starter == SaverStarter::Nothing;
    idleWasOn = idleChecked = starter == SaverStarter::IdleService;
    idleWasMinutes = minutes;
    idleMinutes =
        starter == SaverStarter::IdleService ? ClampMinutes(minutes) : IDLE_MINUTES_DEFAULT;
}

void CMoreOptionsDlg::SetIdleMinutes(int32_t minutes) {
    idleMinutes = ClampMinutes(minutes);
}

const char* CMoreOptionsDlg::IdleText() {
    std::snprintf(idleText, sizeof(idleText), "Start Glimmora after %d minute%s without input",
                  static_cast<int>(idleMinutes), idleMinutes == 1 ? "" : "s");
    return idleText;
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
    idleFailure[0] = '\0';
    if (!shell || !idleOffered) return;
    if (idleChecked == idleWasOn && (!idleChecked || idleMinutes == idleWasMinutes)) return;
    char why[192];
    if (shell->SetIdleStart(theme, idleChecked ? idleMinutes : 0, why, sizeof(why))) {
        idleWasOn = idleChecked;
        idleWasMinutes = idleMinutes;
        return;
    }
    std::snprintf(idleFailure, sizeof(idleFailure), "The idle service could not be turned %s: %s",
                  idleChecked ? "on" : "off", why);
}
