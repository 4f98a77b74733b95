// Process-wide application state set at start-up and read everywhere.
#pragma once

constexpr int PATH_LEN = 260;

#ifdef _WIN32
constexpr char PATH_SEPARATOR = '\\';
#else
constexpr char PATH_SEPARATOR = '/';
#endif

extern char appTitle[PATH_LEN + 1];       // caption of message boxes
extern char saverName[PATH_LEN + 1];      // settings profile name
extern char scriptName[PATH_LEN + 1];     // the theme's name
extern char mediaDirectory[PATH_LEN + 1]; // folder of the theme's files; empty after "-def"
extern char scriptPath[PATH_LEN + 1];     // the theme script
extern bool previewMode;
extern bool exclusiveMode;
extern bool testRun;
extern bool exportPalettes;

// Restores the defaults of a program that has just started.
void ResetAppState();
