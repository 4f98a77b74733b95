// "Sound" and "BounceSound" lines: a file name in double quotes and one, two
// or five values (volume, pan, loop point, head count, tail count).
#pragma once

class CSound;
class MediaBinder;
struct ScriptContext;

// Reads the file name and values and has `media` load the sound into `slot`
// (replacing any earlier one). Returns 1; 0 without a message when the values
// are missing or incomplete, 0 after a reported error when the sound cannot
// be created or loaded.
int ReadSoundArg(ScriptContext& s, MediaBinder& media, CSound*& slot, const char* keyword,
                 char* rest);
