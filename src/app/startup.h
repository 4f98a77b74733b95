// Start-up and end of the program.
#pragma once

class CSaverWnd;

// The saver window of this run (preview and saver modes), or none.
extern CSaverWnd* saverWindow;

// Runs start-up over the command line; true when the main loop is to run.
// argv[0] is the program file's path.
bool StartUp(int argc, char** argv);
// The framework's clean-up; returns the exit code, `errorLine`.
int Finish();
