// Start-up and end of the program.
#pragma once

struct GlimmoraContext;
struct SaverRun;

// Runs start-up over the command line for the run's lead context; true when
// the main loop is to run. argv[0] is the program file's path. `theme`, when
// given, names the theme instead of the program's name (see DeriveNames).
bool StartUp(SaverRun& run, int argc, char** argv, const char* theme = nullptr);
// The framework's clean-up; returns the exit status: the line of the error
// (`errorLine`, held to 255 where only 8 bits reach the caller), 1 for a
// script that cannot be found, 0 otherwise.
int Finish(GlimmoraContext& ctx);
