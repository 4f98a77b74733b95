#include "ui/dialog_templates.h"

namespace {

const DialogItem CONFIG_ITEMS[] = {
    {IDC_STATIC, ITEM_GROUP_BOX, "Modules", 3, 4, 236, 135, ALIGN_LEFT},
    {IDC_MODULE_LIST, ITEM_LIST_BOX, "", 9, 15, 105, 84, ALIGN_LEFT},
    {1012, ITEM_GROUP_BOX, "", 120, 11, 115, 32, ALIGN_LEFT},
    {1013, ITEM_STATIC, "", 128, 19, 44, 8, ALIGN_LEFT},
    {1014, ITEM_STATIC, "", 182, 20, 45, 8, ALIGN_RIGHT},
    {1011, ITEM_SLIDER, "", 124, 29, 108, 12, ALIGN_LEFT},
    {1016, ITEM_GROUP_BOX, "", 120, 47, 115, 32, ALIGN_LEFT},
    {1017, ITEM_STATIC, "", 128, 55, 46, 8, ALIGN_LEFT},
    {1018, ITEM_STATIC, "", 183, 56, 44, 8, ALIGN_RIGHT},
    {1015, ITEM_SLIDER, "", 124, 65, 108, 12, ALIGN_LEFT},
    {1020, ITEM_GROUP_BOX, "", 120, 83, 115, 32, ALIGN_LEFT},
    {1021, ITEM_STATIC, "", 128, 91, 46, 8, ALIGN_LEFT},
    {1022, ITEM_STATIC, "", 183, 93, 44, 8, ALIGN_RIGHT},
    {1019, ITEM_SLIDER, "", 124, 101, 108, 12, ALIGN_LEFT},
    {IDC_STATIC, ITEM_STATIC, "Brightness", 8, 100, 33, 8, ALIGN_LEFT},
    {IDC_BRIGHTNESS, ITEM_SLIDER, "", 5, 109, 68, 11, ALIGN_LEFT},
    {IDC_SOUND, ITEM_CHECK_BOX, "Sound", 79, 106, 36, 13, ALIGN_LEFT},
    {IDC_MORE_OPTIONS, ITEM_PUSH_BUTTON, "More Options...", 9, 121, 105, 14, ALIGN_CENTER},
    {IDC_TEST, ITEM_PUSH_BUTTON, "Test Screen Saver", 120, 121, 115, 14, ALIGN_CENTER},
    {IDC_STATIC, ITEM_STATIC, "This screen saver was created with", 5, 142, 170, 8, ALIGN_CENTER},
    {IDB_LOGO, ITEM_PICTURE, "", 5, 153, 169, 49, ALIGN_LEFT},
    {IDC_ABOUT, ITEM_PUSH_BUTTON, "About", 180, 177, 57, 14, ALIGN_CENTER},
    {IDOK_BUTTON, ITEM_DEFAULT_BUTTON, "OK", 180, 196, 57, 14, ALIGN_CENTER},
    {IDC_STATIC, ITEM_STATIC, "Glimmora by Tarnwell", 5, 203, 170, 8, ALIGN_CENTER},
};

const DialogItem MORE_OPTIONS_ITEMS[] = {
    {IDOK_BUTTON, ITEM_DEFAULT_BUTTON, "OK", 135, 2, 50, 14, ALIGN_CENTER},
    {IDC_STATIC, ITEM_GROUP_BOX, "When screen saver activates", 3, 2, 126, 46, ALIGN_LEFT},
    {IDC_PLAY_SELECTED, ITEM_RADIO, "Always play the selected module", 8, 15, 116, 8, ALIGN_LEFT},
    {IDC_PLAY_RANDOM, ITEM_RADIO, "Play a module at random", 8, 26, 116, 8, ALIGN_LEFT},
    {IDC_PLAY_SEQUENTIAL, ITEM_RADIO, "Play modules sequentually", 8, 37, 115, 8, ALIGN_LEFT},
    {IDC_STATIC, ITEM_GROUP_BOX, "Master Volume", 3, 50, 126, 31, ALIGN_LEFT},
    {IDC_STATIC, ITEM_STATIC, "Min", 9, 58, 13, 8, ALIGN_LEFT},
    {IDC_STATIC, ITEM_STATIC, "Max", 109, 58, 13, 8, ALIGN_LEFT},
    {IDC_VOLUME, ITEM_SLIDER, "", 5, 67, 122, 12, ALIGN_LEFT},
    {IDC_STATIC, ITEM_STATIC, "Other monitors:", 5, 87, 52, 8, ALIGN_LEFT},
    {IDC_OTHER_PLAY, ITEM_RADIO, "play", 60, 86, 30, 10, ALIGN_LEFT},
    {IDC_OTHER_BLACK, ITEM_RADIO, "black", 94, 86, 32, 10, ALIGN_LEFT},
    {IDC_STATIC, ITEM_STATIC, "Picture size:", 5, 102, 52, 8, ALIGN_LEFT},
    {IDC_PICTURE_ORIGINAL, ITEM_RADIO, "original", 60, 101, 40, 10, ALIGN_LEFT},
    {IDC_PICTURE_FIT, ITEM_RADIO, "fit the screen", 102, 101, 62, 10, ALIGN_LEFT},
    {IDC_START_GROUP, ITEM_GROUP_BOX, "Starting", 3, 114, 182, 62, ALIGN_LEFT},
    {IDC_START_TEXT, ITEM_STATIC, "", 8, 124, 172, 24, ALIGN_LEFT},
    {IDC_IDLE_START, ITEM_CHECK_BOX, "Start Glimmora after 10 minutes without input", 8, 150, 172,
     10, ALIGN_LEFT},
    {IDC_IDLE_MINUTES, ITEM_SLIDER, "", 5, 162, 177, 12, ALIGN_LEFT},
};

const DialogItem ABOUT_ITEMS[] = {
    {IDB_LOGO, ITEM_PICTURE, "", 7, 3, 169, 47, ALIGN_LEFT},
    {IDC_VERSION, ITEM_STATIC, "Screen Saver Engine Version 1.0", 1, 55, 119, 8, ALIGN_LEFT},
    {IDOK_BUTTON, ITEM_DEFAULT_BUTTON, "OK", 136, 57, 40, 14, ALIGN_CENTER},
    {IDC_STATIC, ITEM_STATIC, "Made by Tarnwell; engine written by the Glimmora developers", 1, 66,
     119, 17, ALIGN_LEFT},
    {IDC_README, ITEM_PUSH_BUTTON, "ReadMe", 136, 76, 40, 14, ALIGN_CENTER},
    {IDC_STATIC, ITEM_STATIC, "Free to copy and pass on.", 1, 85, 120, 10, ALIGN_LEFT},
    {IDC_STATIC, ITEM_STATIC, "www.tarnwell.example/glimmora", 1, 96, 130, 8, ALIGN_LEFT},
};

const DialogItem SPLASH_ITEMS[] = {
    {IDB_LOGO, ITEM_PICTURE, "", 0, 0, 167, 49, ALIGN_LEFT},
    {IDC_STATIC, ITEM_STATIC, "Loading Screen Saver...", 0, 49, 168, 8, ALIGN_CENTER},
};

template <int N> constexpr int Count(const DialogItem (&)[N]) {
    return N;
}

} // namespace

const DialogTemplate configTemplate = {IDD_CONFIG,   "Demo Screen Saver", 243, 213,
                                       CONFIG_ITEMS, Count(CONFIG_ITEMS), 8};
const DialogTemplate moreOptionsTemplate = {
    IDD_MORE_OPTIONS, "More Options", 187, 180, MORE_OPTIONS_ITEMS, Count(MORE_OPTIONS_ITEMS), 8};
const DialogTemplate aboutTemplate = {IDD_ABOUT,   "About Glimmora",   182, 106,
                                      ABOUT_ITEMS, Count(ABOUT_ITEMS), 8};
const DialogTemplate splashTemplate = {IDD_SPLASH,          nullptr, 167, 58, SPLASH_ITEMS,
                                       Count(SPLASH_ITEMS), 8};

const DialogItem* FindDialogItem(const DialogTemplate& dialog, int id) {
    for (int i = 0; i < dialog.itemCount; ++i) {
        if (dialog.items[i].id == id) return &dialog.items[i];
    }
    return nullptr;
}
