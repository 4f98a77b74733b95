// The dialog templates of the configuration interface: every control with its
// id, kind, text and place in dialog units. Each platform builds its dialogs
// from these tables, so texts, ids and layout stay the same everywhere.
#pragma once

#include <cstdint>

// Control ids.
constexpr int IDC_STATIC = -1; // a control the dialog never addresses
constexpr int IDOK_BUTTON = 1;
constexpr int IDC_MODULE_LIST = 1008;
constexpr int IDC_SOUND = 1009;
constexpr int IDC_PARAM_SLIDER = 1011; // group k: slider 1011 + 4k
constexpr int IDC_PARAM_GROUP = 1012;  // group k: group box 1012 + 4k
constexpr int IDC_PARAM_LEFT = 1013;   // group k: left label 1013 + 4k
constexpr int IDC_PARAM_RIGHT = 1014;  // group k: right label 1014 + 4k
constexpr int PARAM_ID_STRIDE = 4;
constexpr int IDC_ABOUT = 1023;
constexpr int IDC_VERSION = 1024;
constexpr int IDC_TEST = 1025;
constexpr int IDC_BRIGHTNESS = 1026;
constexpr int IDC_PLAY_SELECTED = 1028;
constexpr int IDC_PLAY_RANDOM = 1029;
constexpr int IDC_PLAY_SEQUENTIAL = 1030;
constexpr int IDC_README = 1031;
constexpr int IDC_MORE_OPTIONS = 1032;
constexpr int IDC_VOLUME = 1033;
constexpr int IDC_OTHER_PLAY = 1034; // other monitors: play, black (1035)
constexpr int IDC_OTHER_BLACK = 1035;
constexpr int IDC_PICTURE_ORIGINAL = 1036; // picture size: original, fit the screen (1037)
constexpr int IDC_PICTURE_FIT = 1037;
constexpr int IDC_START_TEXT = 1038; // what starts the screen saver, in words
constexpr int IDC_IDLE_START = 1039; // the idle service: on, after (slider 1040) minutes
constexpr int IDC_IDLE_MINUTES = 1040;
constexpr int IDC_START_GROUP = 1041; // the "Starting" group box
// Where the idle service is not offered, its two controls are hidden and the
// "Starting" group and the dialog are this many dialog units shorter.
constexpr int32_t IDLE_CONTROLS_HEIGHT = 26;

// Template ids and the logo bitmap.
constexpr int IDD_ABOUT = 100;
constexpr int IDD_CONFIG = 102;
constexpr int IDB_LOGO = 134;
constexpr int IDD_SPLASH = 135;
constexpr int IDD_MORE_OPTIONS = 137;

constexpr int LOGO_WIDTH = 251; // pixels of the logo bitmap
constexpr int LOGO_HEIGHT = 77;

enum DialogItemKind {
    ITEM_GROUP_BOX,
    ITEM_LIST_BOX,  // single selection, not sorted, vertical scroll bar, border
    ITEM_STATIC,    // text, aligned by its style
    ITEM_PICTURE,   // the logo bitmap, stretched to the item
    ITEM_SLIDER,    // horizontal, no ticks
    ITEM_CHECK_BOX, // automatic
    ITEM_RADIO,     // automatic; consecutive radio items form one group
    ITEM_PUSH_BUTTON,
    ITEM_DEFAULT_BUTTON
};

enum DialogItemAlign { ALIGN_LEFT, ALIGN_CENTER, ALIGN_RIGHT };

struct DialogItem {
    int id;
    DialogItemKind kind;
    const char* text;
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
    DialogItemAlign align;
};

struct DialogTemplate {
    int id;
    const char* caption; // nullptr: a window without a caption bar
    int32_t width;
    int32_t height;
    const DialogItem* items;
    int itemCount;
    int fontPoints; // "MS Sans Serif" at this size sets the dialog units
};

extern const DialogTemplate configTemplate;
extern const DialogTemplate moreOptionsTemplate;
extern const DialogTemplate aboutTemplate;
extern const DialogTemplate splashTemplate;

// The item with `id` in `dialog`, or nullptr.
const DialogItem* FindDialogItem(const DialogTemplate& dialog, int id);
