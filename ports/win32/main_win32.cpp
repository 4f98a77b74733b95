// The program's entry: start-up over the command line, then the main loop in
// preview and saver modes; the exit code is the script line of an error.
// The arguments and the program's own path come from Windows in UTF-16 and
// go to the core as UTF-8, whatever the system's code page.
#include "app/main_loop.h"
#include "app/saver_run.h"
#include "app/startup.h"
#include "ports/win32/wide_text.h"
#include "ports/win32/win32_port.h"

#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// The longest path Windows gives (with the \\?\ form).
constexpr DWORD LONGEST_PATH = 32768;

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    std::vector<std::string> args;
    int count = 0;
    if (LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 0; i < count; ++i) args.push_back(Utf8(wide[i]));
        LocalFree(wide);
    }
    // argv[0] becomes the program file as it was started (a short name stays
    // short): the saver's names come from it.
    std::wstring program(LONGEST_PATH, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, program.data(), LONGEST_PATH);
    if (length > 0 && length < LONGEST_PATH) {
        program.resize(length);
        if (args.empty()) args.emplace_back();
        args[0] = Utf8(program.c_str());
    }
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);

    Win32Port port;
    // The run is large (the view's banners, the mixer): it lives on the heap,
    // and ends before the port.
    auto run = std::make_unique<SaverRun>(port.Services());
    const int argc = static_cast<int>(args.size());
    if (!StartUp(*run, argc, argv.data())) return Finish(run->lead);
    return RunLoop(*run);
}
