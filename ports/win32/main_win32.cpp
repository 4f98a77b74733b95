// The program's entry: start-up over the command line, then the main loop in
// preview and saver modes; the exit code is the script line of an error.
#include "app/glimmora_context.h"
#include "app/main_loop.h"
#include "app/startup.h"
#include "platform/win32/win32_platform.h"

#include <commctrl.h>
#include <mmsystem.h>

#include <cstdlib>
#include <memory>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // argv[0] becomes the program file as it was started (a short name stays
    // short): the saver's names come from it.
    static char program[MAX_PATH + 1];
    DWORD length = GetModuleFileNameA(nullptr, program, MAX_PATH);
    program[length < MAX_PATH ? length : MAX_PATH] = '\0';
    int argc = __argc;
    char** argv = __argv;
    if (argc > 0 && length > 0) argv[0] = program;

    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    // All timing comes from the millisecond clock: make it tick by 1 ms.
    timeBeginPeriod(1);
    int code = 0;
    {
        auto ctx = std::make_unique<GlimmoraContext>();
        code = StartUp(*ctx, argc, argv) ? RunLoop(*ctx) : Finish(*ctx);
    }
    timeEndPeriod(1);
    return code;
}
