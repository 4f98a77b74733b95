#include "app/app_state.h"

char appTitle[PATH_LEN + 1];
char saverName[PATH_LEN + 1];
char scriptName[PATH_LEN + 1];
char mediaDirectory[PATH_LEN + 1];
char scriptPath[PATH_LEN + 1];
bool previewMode = false;
bool exclusiveMode = true;
bool testRun = false;
bool exportPalettes = false;

void ResetAppState() {
    appTitle[0] = saverName[0] = scriptName[0] = mediaDirectory[0] = scriptPath[0] = '\0';
    previewMode = false;
    exclusiveMode = true;
    testRun = false;
    exportPalettes = false;
}
