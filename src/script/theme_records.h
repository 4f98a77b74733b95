// Theme records: the fixed-capacity tables that the theme script is turned
// into. They live for the whole run; records refer to each other by index.
#pragma once

#include <cstdint>

class CImage;
class CSound;

constexpr int MAX_MODULES = 16;
constexpr int MAX_LABELS = 64;
constexpr int MAX_SECTIONS = 10;
constexpr int MAX_FEATURES = 100;
constexpr int MODULE_PARAMS = 3;

constexpr int THEME_NAME_LEN = 80;
constexpr int MODULE_NAME_LEN = 60;
constexpr int PARAM_NAME_LEN = 40;
constexpr int PARAM_CAPTION_LEN = 40;
constexpr int PARAM_LABEL_LEN = 20;
constexpr int LABEL_NAME_LEN = 32;
constexpr int COMMANDS_LEN = 39;

// Coordinate codes. Values below RANDOM_CODE are fixed coordinates in 1/16 units.
constexpr int32_t RANDOM_CODE = 0x10000000;
constexpr int32_t FAR_EDGE_CODE = 0x20000000;
constexpr int32_t CENTER_CODE = 0x30000000;
constexpr int32_t RANDOM_PARAM_MASK = 0x3FFF; // a and b of "Random(a, b)", 14 bits each
constexpr int RANDOM_A_SHIFT = 14;

// Feature flags.
constexpr uint32_t FLAG_ABSOLUTE_PIXELS = 0x80000000u;
constexpr uint32_t FLAG_AUTO_PAN = 0x40000000u;

enum StartType {
    START_FIXED = 0,
    START_RANDOM = 1,
    START_GROUP = 2,
    START_OFFSET = 3,
    START_ON_TRIGGER = 4
};
enum DurationType {
    DURATION_FIXED = 0,
    DURATION_RANDOM = 1,
    DURATION_ON_SCREEN = 2,
    DURATION_OFFSET = 3
};
enum MovementType {
    MOVE_VECTOR = 0,
    MOVE_RANDOM = 1,
    MOVE_STATIC = 2,
    MOVE_BOUNCE = 3,
    MOVE_PATTERN = 4,
    MOVE_ON_IMAGE_CYCLE = 5,
    MOVE_ARC = 6,
    MOVE_PROJECTILE = 7
};
enum ConditionType {
    COND_NONE = 0,
    COND_IN_REGION = 1,
    COND_AFTER_TIME = 2,
    COND_ON_FRAME = 3,
    COND_ON_END = 4
};
enum FadeType { FADE_NONE = 0, FADE_IN = 1, FADE_OUT = 2, FADE_IN_OUT = 3 };
enum EnableMode { ENABLE_ALWAYS = 0, ENABLE_AFTER_TIME = 1, ENABLE_BY_COMMAND = 2 };

// Command string bytes.
constexpr char CMD_STOP = '!';
constexpr char CMD_TRIGGER = 'T';
constexpr char CMD_END_SECTION = 'S';
constexpr char CMD_DISABLE = 'D';
constexpr char CMD_DISABLE_SELF = 'd';
constexpr char CMD_ENABLE = 'E';

struct ModuleParam {
    char name[PARAM_NAME_LEN + 1];
    char caption[PARAM_CAPTION_LEN + 1];
    char leftLabel[PARAM_LABEL_LEN + 1];
    char rightLabel[PARAM_LABEL_LEN + 1];
    int32_t leftValue;
    int32_t rightValue;
    int32_t defaultValue;
    int32_t value;
};

struct ThemeModule {
    char name[MODULE_NAME_LEN + 1];
    int32_t bodyOffset;
    int32_t bodyLine;
    ModuleParam params[MODULE_PARAMS];
};

struct LabelEntry {
    char name[LABEL_NAME_LEN + 1];
    int32_t feature;
};

struct SectionEntry {
    int32_t endRequested;
};

struct PatternStep {
    int32_t dx;
    int32_t dy;
    int32_t steps;
};

// A movement pattern: `count` steps, owned by the feature that read it.
class CPattern {
  public:
    int32_t count;
    PatternStep* steps;
};

class CFeature {
  public:
    int32_t section;
    uint32_t flags;
    int32_t enableMode;
    int32_t enableAfter;
    int32_t fadeType;
    int32_t fadeStep;
    int32_t fadeInterval;
    int32_t fadeLevel;
    int32_t fadeNextTime;
    int32_t fadeCeiling; // the brightest a running fade shows (below 100 after cutting in)
    int32_t startType;
    int32_t startArg1;
    int32_t startArg2;
    int32_t startTime;
    int32_t startGroup;
    int32_t positionMode;
    int32_t positionX;
    int32_t positionY;
    int32_t positionLabel;
    int32_t durationType;
    int32_t durationArg1;
    int32_t durationArg2;
    int32_t currentDuration;
    int32_t movementType;
    int32_t moveInterval;
    int32_t moveArg1;
    int32_t moveArg2;
    int32_t moveArg3;
    int32_t moveState;
    int32_t moveDx;
    int32_t moveDy;
    CPattern pattern;
    int32_t conditionType;
    int32_t conditionFired;
    int32_t conditionArg1;
    int32_t conditionArg2;
    int32_t conditionArg3;
    int32_t conditionArg4;
    char commands[COMMANDS_LEN + 1];
    int32_t designWidth;
    int32_t designHeight;
    int32_t displaySlot;
    CImage* image;
    CSound* sound;
    int32_t soundStarted;
    CSound* bounceSound;
    int32_t bounceSoundPlayed;
    int32_t soundCycleFrame;
    int32_t enabled;
    int32_t endTime;
    CImage* currentFrame; // frame of `image` on screen; none while waiting
    int32_t nextFrameTime;
    int32_t x;
    int32_t y;
    int32_t nextMoveTime;

    // Gives the record the values of a feature block that sets nothing.
    void SetDefaults();
};

// The theme's tables: the module table read by the Setup scan, and the
// labels, sections and features of the loaded module.
struct ThemeTables {
    ThemeModule moduleTable[MAX_MODULES];
    int32_t moduleCount;
    char themeName[THEME_NAME_LEN + 1];
    ThemeModule* currentModule; // the loaded module; none before a body is read
    LabelEntry labelTable[MAX_LABELS];
    int32_t labelCount;
    SectionEntry sectionTable[MAX_SECTIONS];
    int32_t sectionCount;
    CFeature featureTable[MAX_FEATURES];
    int32_t featureCount;

    ThemeTables();
    ~ThemeTables();
    ThemeTables(const ThemeTables&) = delete;
    ThemeTables& operator=(const ThemeTables&) = delete;

    // Empties the module table and the theme name.
    void ResetModuleTable();
    // Empties the label, section and feature tables and frees the pattern
    // steps the features own. Their images and sounds belong to the media
    // that loaded them.
    void ResetModuleContent();
};
