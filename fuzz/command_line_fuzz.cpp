// The start-up rules over an arbitrary command line: the bytes are split at
// zero bytes into the program path and its arguments, from which the names,
// paths, options and mode are taken as the saver starts. Every name and
// path must fit its field, and the display size stays positive.
#include "app/glimmora_context.h"
#include "app/startup_rules.h"
#include "platform/headless/headless_shell.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

bool Fits(const char* field) {
    return std::memchr(field, '\0', PATH_LEN + 1) != nullptr;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::unique_ptr<GlimmoraContext> ctx = [] {
        // A short saver name with a long one behind it, as Windows keeps them,
        // and a theme folder of its own.
        HeadlessSetSaverFile("QVREEF~1", "QV Reef Night.scr");
        HeadlessSetThemeRoot("/tmp/glimmora-command-line-fuzz");
        return std::make_unique<GlimmoraContext>();
    }();
    std::vector<std::string> words(1);
    for (size_t i = 0; i < size && words.size() <= 16; ++i) {
        if (data[i] == 0) {
            words.emplace_back();
        } else {
            words.back() += static_cast<char>(data[i]);
        }
    }
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    const int argc = static_cast<int>(words.size());

    ctx->run = RunConfig();
    ctx->view.SetSize(800, 600);
    RunConfig& run = ctx->run;
    char programName[PATH_LEN + 1];
    ProgramBaseName(argv[0], programName, sizeof(programName));
    if (!Fits(programName)) std::abort();
    DeriveNames(run, programName);
    SetPaths(run);
    ParseOptions(run, ctx->view, argc, argv.data());
    for (const char* field :
         {run.appTitle, run.saverName, run.scriptName, run.mediaDirectory, run.scriptPath}) {
        if (!Fits(field)) std::abort();
    }
    if (ctx->view.screenWidth <= 0 || ctx->view.screenHeight <= 0) std::abort();
    const StartMode mode = DispatchMode(argc, argv.data());
    if (mode == StartMode::Preview) PreviewHandle(argc, argv.data());
    int32_t left, top, right, bottom;
    CentredPreviewRect(ctx->view.screenWidth, ctx->view.screenHeight, &left, &top, &right, &bottom);
    if (right - left != 153 || bottom - top != 113) std::abort();
    return 0;
}
