// The program's entry: start-up over the command line, then the main loop in
// preview and saver modes; the exit code is the script line of an error.
#include "app/main_loop.h"
#include "app/saver_run.h"
#include "app/startup.h"
#include "ports/win32/win32_port.h"

#include <memory>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // argv[0] becomes the program file as it was started (a short name stays
    // short): the saver's names come from it.
    char program[MAX_PATH + 1];
    DWORD length = GetModuleFileNameA(nullptr, program, MAX_PATH);
    program[length < MAX_PATH ? length : MAX_PATH] = '\0';
    int argc = __argc;
    char** argv = __argv;
    if (argc > 0 && length > 0) argv[0] = program;

    Win32Port port;
    // The run is large (the view's banners, the mixer): it lives on the heap,
    // and ends before the port.
    auto run = std::make_unique<SaverRun>(port.Services());
    if (!StartUp(*run, argc, argv)) return Finish(run->lead);
    return RunLoop(*run);
}
