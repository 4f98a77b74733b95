// "Sound" and "BounceSound" lines: a file name in double quotes and one, two
// or five values (volume, pan, loop point, head count, tail count).
#pragma once

class CSound;

// Creates a sound in `slot` (replacing and freeing any earlier one) and loads
// it. Returns 1; 0 without a message when the values are missing or
// incomplete, 0 after a reported error when the sound cannot be created or
// loaded.
int ReadSoundArg(CSound*& slot, const char* keyword, char* rest);
