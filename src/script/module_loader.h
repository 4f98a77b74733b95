// Loading the active module: its background, sections and features, then its
// palette. Runs once per saver start, when the saver window is constructed.
#pragma once

#include <cstdint>

class CImage;

// Scans the Setup blocks, reads the settings and loads the body of module
// `activeModule` into the tables and the view. Failures are reported and leave
// `errorLine` set; an incomplete sound line stops loading without a message.
void LoadModule();

// The line at which the last LoadModule stopped early (with or without a
// message), 0 when it read the module to its end.
extern int32_t loadStopLine;

// The module's background image, owned by the loader; none for a colour.
extern CImage* moduleBackground;

// Frees the background image and forgets the last load (for a fresh load in
// the same process).
void ResetModuleLoader();
