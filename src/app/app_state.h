// The run configuration: names, paths and flags that start-up derives from
// the program's file name and command line. Written by start-up only; the
// layers below receive what they need of it as parameters.
#pragma once

#include "base/paths.h"

#include <cstdint>

struct RunConfig {
    char appTitle[PATH_LEN + 1] = {};       // caption of message boxes
    char saverName[PATH_LEN + 1] = {};      // settings profile name
    char scriptName[PATH_LEN + 1] = {};     // the theme's name
    char mediaDirectory[PATH_LEN + 1] = {}; // folder of the theme's files; empty after "-def"
    char scriptPath[PATH_LEN + 1] = {};     // the theme script
    bool previewMode = false;
    bool exclusiveMode = true;
    bool testRun = false;
    bool exportPalettes = false;
    bool scriptPathTooLong = false; // "-def" named a path longer than PATH_LEN
    bool sizeGiven = false;         // "-v" set the display size
    // A picture scale the run is given (render's "--scale"); 0: the
    // "PictureSize" setting decides.
    int32_t pictureScale = 0;
    // A window beside the lead's on another monitor of a full-screen run: it
    // plays `monitorModule` (the module the lead loaded), silently and
    // without the loading splash.
    bool otherMonitor = false;
    int32_t monitorModule = 0;
};
