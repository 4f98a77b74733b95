// The start-up rules: names from the program file, paths, options and the
// mode of the command line.
#pragma once

#include <cstdint>

class CSSView;
class SystemShell;
struct RunConfig;

enum class StartMode { Settings, Preview, Saver, Stop };

// The theme a saver plays when its file name names no installed theme (a
// bare "glimmora.scr" installed as it comes).
constexpr char DEMO_THEME[] = "Aquarium";

// N: the program file's name without folder and last extension; on Linux,
// where programs have no extension, without a ".scr" extension only.
void ProgramBaseName(const char* programPath, char* name, int size);
// Sets appTitle, saverName and scriptName from N ("QV " prefix rules). A
// `theme` given (not null, not empty) is played instead, with the settings of
// the saver "QV <theme>"; the title stays N.
void DeriveNames(RunConfig& run, SystemShell& shell, const char* programName,
                 const char* theme = nullptr);
// Sets mediaDirectory (from the platform's theme folder) and scriptPath.
void SetPaths(RunConfig& run, SystemShell& shell);
// When the theme the file name names is not installed (its script is not
// there) the demo theme's folder and script take its place, if the demo is
// installed. The settings stay the saver's own; "-def" is left alone. False
// when neither theme is there; `missing` then says which theme was looked
// for and where, as a message.
bool FindInstalledTheme(RunConfig& run, SystemShell& shell, char* missing, int size);
// Reads the options from argv[2] on; "-v" sets the size of `view`.
void ParseOptions(RunConfig& run, CSSView& view, int argc, char** argv);
// The mode named by argv[1]: "/c", "/p" and "/s" (or "-c", "-p", "-s"), the
// letter in either case, as Windows passes them; "/a" (a password, which
// Windows no longer asks screen savers for) and anything else stop.
StartMode DispatchMode(int argc, char** argv);
// The host window handle of "/p <handle>" or "/p:<handle>" (0 when absent or
// not a number).
uintptr_t PreviewHandle(int argc, char** argv);
// The window of "/c:<handle>" or "/c <handle>" that asks for the settings
// (0 when there is none).
uintptr_t SettingsOwner(int argc, char** argv);
// The fallback preview rectangle: 153 by 113 pixels centred in width x height.
void CentredPreviewRect(int32_t width, int32_t height, int32_t* left, int32_t* top, int32_t* right,
                        int32_t* bottom);
