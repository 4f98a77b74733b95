// "render": plays a theme on the headless platform against a virtual clock and
// writes what the saver would show and play: PNG frames and the mixed sound.
#include "app/glimmora_context.h"
#include "app/main_loop.h"
#include "app/saver_window.h"
#include "app/startup.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_audio.h"
#include "platform/headless/headless_settings.h"
#include "platform/headless/headless_shell.h"
#include "platform/headless/headless_video.h"
#include "platform/window.h"
#include "script/setup_scan.h"
#include "tool_commands.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

struct RenderOptions {
    std::string script;
    std::string out;
    int32_t width = 800;
    int32_t height = 600;
    double seconds = 10;
    int fps = 10;
    uint32_t seed = 1;
    int module = -1;
    bool preview = false;
    std::vector<std::pair<std::string, int32_t>> params;
    int gamma = 0;
    bool gammaGiven = false;
    bool sound = true;
    int step = 1;
    bool writeFrames = true;
};

int Usage() {
    std::fprintf(
        stderr,
        "usage: glimmora-tool render SCRIPT --out DIR [--size WxH] [--seconds T] [--fps F]\n"
        "       [--seed S] [--module N] [--preview] [--param NAME=VALUE]... [--gamma G]\n"
        "       [--no-sound] [--step MS] [--no-frames]\n");
    return 2;
}

bool ParseInt(const char* text, long min, long max, long* value) {
    char* end = nullptr;
    long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || v < min || v > max) return false;
    *value = v;
    return true;
}

bool ParseArguments(int argc, char** argv, RenderOptions* o) {
    for (int i = 0; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        long v = 0;
        if (arg == "--out" && hasValue) {
            o->out = argv[++i];
        } else if (arg == "--size" && hasValue) {
            int w = 0, h = 0;
            char sep = 0;
            if (std::sscanf(argv[++i], "%d%c%d", &w, &sep, &h) != 3 || w <= 0 || h <= 0 ||
                w > 16384 || h > 16384)
                return false;
            o->width = w;
            o->height = h;
        } else if (arg == "--seconds" && hasValue) {
            char* end = nullptr;
            o->seconds = std::strtod(argv[++i], &end);
            if (*end != '\0' || o->seconds < 0 || o->seconds > 48 * 3600) return false;
        } else if (arg == "--fps" && hasValue) {
            if (!ParseInt(argv[++i], 1, 1000, &v)) return false;
            o->fps = static_cast<int>(v);
        } else if (arg == "--seed" && hasValue) {
            if (!ParseInt(argv[++i], 0, 0xFFFFFFFFL, &v)) return false;
            o->seed = static_cast<uint32_t>(v);
        } else if (arg == "--module" && hasValue) {
            if (!ParseInt(argv[++i], 0, 15, &v)) return false;
            o->module = static_cast<int>(v);
        } else if (arg == "--preview") {
            o->preview = true;
        } else if (arg == "--param" && hasValue) {
            std::string p = argv[++i];
            size_t eq = p.find('=');
            if (eq == std::string::npos || eq == 0) return false;
            if (!ParseInt(p.c_str() + eq + 1, -2147483647L, 2147483647L, &v)) return false;
            o->params.emplace_back(p.substr(0, eq), static_cast<int32_t>(v));
        } else if (arg == "--gamma" && hasValue) {
            if (!ParseInt(argv[++i], -3, 3, &v)) return false;
            o->gamma = static_cast<int>(v);
            o->gammaGiven = true;
        } else if (arg == "--no-sound") {
            o->sound = false;
        } else if (arg == "--step" && hasValue) {
            if (!ParseInt(argv[++i], 1, 60000, &v)) return false;
            o->step = static_cast<int>(v);
        } else if (arg == "--no-frames") {
            o->writeFrames = false;
        } else if (o->script.empty() && arg.rfind("--", 0) != 0) {
            o->script = arg;
        } else {
            return false;
        }
    }
    return !o->script.empty() && (!o->out.empty() || !o->writeFrames);
}

// The settings the saver would find: the chosen module, parameters and gamma.
void PreloadSettings(const RenderOptions& o, const char* profile, const char* scriptPath) {
    HeadlessSettingsClear();
    HeadlessSettingsSet(profile, "Config", "Sound", o.sound ? 1 : 0);
    HeadlessSettingsSet(profile, "Config", "PlayMode", 0);
    if (o.module >= 0) HeadlessSettingsSet(profile, "Config", "ActiveModule", o.module);
    if (o.gammaGiven) HeadlessSettingsSet(profile, "Config", "Gamma", o.gamma);
    if (o.params.empty()) return;
    // Parameters live in the section of their module, known from the Setup scan.
    auto ctx = std::make_unique<GlimmoraContext>();
    const ThemeTables& theme = ctx->script.theme;
    ScanThemeSetup(ctx->script, scriptPath);
    int module = o.module >= 0 ? o.module : 0;
    const char* section = module < theme.moduleCount ? theme.moduleTable[module].name : "";
    for (const auto& [name, value] : o.params)
        HeadlessSettingsSet(profile, section, name.c_str(), value);
    HeadlessClearMessages();
}

// Asks the window to close and pumps until the quit message.
void CloseWindow(GlimmoraContext& ctx) {
    if (ctx.saverWindow) WndPostClose(ctx.saverWindow.get());
    for (int i = 0; i < 1000; ++i) {
        if (WndPumpMessage() == PumpResult::Quit) break;
    }
}

} // namespace

int CmdRender(int argc, char** argv) {
    RenderOptions o;
    if (!ParseArguments(argc, argv, &o)) return Usage();

    std::error_code error;
    std::filesystem::path script = std::filesystem::absolute(o.script, error);
    std::filesystem::path out =
        o.out.empty() ? std::filesystem::path() : std::filesystem::absolute(o.out, error);
    if (!out.empty()) std::filesystem::create_directories(out, error);
    // Started in the script's folder with "-def", every media file resolves as
    // it would for the saver in its theme folder.
    std::filesystem::current_path(script.parent_path(), error);
    std::string fileName = script.filename().string();
    std::string profile = script.stem().string();

    HeadlessEchoMessages(true);
    HeadlessSetTime(0);
    HeadlessSetScreenSize(o.width, o.height);
    HeadlessSetHostWindow(1, o.width, o.height);
    HeadlessAudioKeepPlayed(false);
    PreloadSettings(o, profile.c_str(), fileName.c_str());
    if (o.sound && !out.empty()) HeadlessAudioRecordTo((out / "audio.wav").string().c_str());

    std::string size = "-v" + std::to_string(o.width) + "x" + std::to_string(o.height);
    std::vector<std::string> words = {profile, o.preview ? "/p" : "/s"};
    if (o.preview) words.push_back("1");
    for (const char* w : {"-def", fileName.c_str(), size.c_str(), "-"}) words.emplace_back(w);
    std::vector<char*> args;
    for (std::string& w : words) args.push_back(w.data());

    auto context = std::make_unique<GlimmoraContext>();
    GlimmoraContext& ctx = *context;
    if (!StartUp(ctx, static_cast<int>(args.size()), args.data())) {
        if (o.sound) HeadlessAudioStopRecording();
        return Finish(ctx);
    }
    BeginRunLoop(ctx);
    ctx.engine.random.SeedRandom(o.seed);

    const uint64_t endMs = static_cast<uint64_t>(o.seconds * 1000.0);
    uint64_t now = 0;
    uint64_t frame = 0;
    bool running = true;
    while (running && now < endMs) {
        running = RunLoopPass(ctx);
        if (o.writeFrames && now * static_cast<uint64_t>(o.fps) >= frame * 1000) {
            if (ctx.view.NeedsPaint()) ctx.view.Paint();
            char name[32];
            std::snprintf(name, sizeof(name), "frame-%06llu.png",
                          static_cast<unsigned long long>(frame));
            if (!HeadlessWritePng((out / name).string().c_str())) {
                std::fprintf(stderr, "render: cannot write %s\n", (out / name).string().c_str());
                return 1;
            }
            ++frame;
        }
        HeadlessAdvanceTime(static_cast<uint32_t>(o.step));
        now += static_cast<uint64_t>(o.step);
    }
    if (running) CloseWindow(ctx);
    EndRunLoop(ctx);
    if (o.sound) HeadlessAudioStopRecording();
    return Finish(ctx);
}
