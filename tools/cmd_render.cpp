// "render": plays a theme on the headless platform against a virtual clock and
// writes what the saver would show and play: PNG frames and the mixed sound.
// The clock moves as the saver's loop sleeps, from one announced change to the
// next, or by a fixed step.
#include "app/main_loop.h"
#include "app/saver_run.h"
#include "app/saver_window.h"
#include "app/startup.h"
#include "base/file_checks.h"
#include "image/screen_frame.h"
#include "ports/headless/headless_port.h"
#include "script/script_context.h"
#include "script/setup_scan.h"
#include "tool_commands.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr uint32_t RENDER_CLOCK_START = 1000;

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
    int step = 0; // ms per pass; 0: the loop's own waits
    bool writeFrames = true;
    bool exportPalettes = false;
    int scale = 0; // 0: as the "PictureSize" setting says
};

const char USAGE[] =
    "usage: glimmora-tool render SCRIPT --out DIR [--size WxH] [--seconds T] [--fps F]\n"
    "       [--seed S] [--module N] [--preview] [--param NAME=VALUE]... [--gamma G]\n"
    "       [--no-sound] [--step MS] [--no-frames] [--exp256] [--scale N]\n";

// Names what is wrong with the command line, then the usage; status 2.
int Refuse(const std::string& what) {
    if (!what.empty()) std::fprintf(stderr, "render: %s\n", what.c_str());
    std::fputs(USAGE, stderr);
    return 2;
}

bool ParseInt(const char* text, long min, long max, long* value) {
    char* end = nullptr;
    long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || v < min || v > max) return false;
    *value = v;
    return true;
}

std::string BadValue(const std::string& option, const char* value, const char* expected) {
    return option + ": \"" + value + "\" is not " + expected;
}

// Reads the command line; returns what is wrong with it, or nothing.
std::string ParseArguments(int argc, char** argv, RenderOptions* o) {
    for (int i = 0; i < argc; ++i) {
        std::string arg = argv[i];
        const bool takesValue = arg == "--out" || arg == "--size" || arg == "--seconds" ||
                                arg == "--fps" || arg == "--seed" || arg == "--module" ||
                                arg == "--param" || arg == "--gamma" || arg == "--step" ||
                                arg == "--scale";
        if (takesValue && i + 1 >= argc) return arg + " needs a value";
        const char* value = takesValue ? argv[++i] : "";
        long v = 0;
        if (arg == "--out") {
            o->out = value;
        } else if (arg == "--size") {
            int w = 0, h = 0;
            char sep = 0;
            if (std::sscanf(value, "%d%c%d", &w, &sep, &h) != 3 || w <= 0 || h <= 0 || w > 16384 ||
                h > 16384)
                return BadValue(arg, value, "WIDTHxHEIGHT with sides of 1 to 16384");
            o->width = w;
            o->height = h;
        } else if (arg == "--seconds") {
            char* end = nullptr;
            o->seconds = std::strtod(value, &end);
            if (end == value || *end != '\0' || !(o->seconds >= 0) || o->seconds > 48 * 3600)
                return BadValue(arg, value, "a number of seconds from 0 to 172800");
        } else if (arg == "--fps") {
            if (!ParseInt(value, 1, 1000, &v))
                return BadValue(arg, value, "a whole number from 1 to 1000");
            o->fps = static_cast<int>(v);
        } else if (arg == "--seed") {
            if (!ParseInt(value, 0, 0xFFFFFFFFL, &v))
                return BadValue(arg, value, "a whole number from 0 to 4294967295");
            o->seed = static_cast<uint32_t>(v);
        } else if (arg == "--module") {
            if (!ParseInt(value, 0, 15, &v))
                return BadValue(arg, value, "a module number from 0 to 15");
            o->module = static_cast<int>(v);
        } else if (arg == "--preview") {
            o->preview = true;
        } else if (arg == "--param") {
            std::string p = value;
            size_t eq = p.find('=');
            if (eq == std::string::npos || eq == 0) return BadValue(arg, value, "NAME=VALUE");
            if (!ParseInt(p.c_str() + eq + 1, -2147483647L, 2147483647L, &v))
                return BadValue(arg, value, "NAME=VALUE with a whole number as the value");
            o->params.emplace_back(p.substr(0, eq), static_cast<int32_t>(v));
        } else if (arg == "--gamma") {
            if (!ParseInt(value, -3, 3, &v))
                return BadValue(arg, value, "a whole number from -3 to 3");
            o->gamma = static_cast<int>(v);
            o->gammaGiven = true;
        } else if (arg == "--no-sound") {
            o->sound = false;
        } else if (arg == "--step") {
            if (!ParseInt(value, 1, 60000, &v))
                return BadValue(arg, value, "a whole number of milliseconds from 1 to 60000");
            o->step = static_cast<int>(v);
        } else if (arg == "--scale") {
            static_assert(MAX_PICTURE_SCALE == 16, "the message names the largest scale");
            if (!ParseInt(value, 1, MAX_PICTURE_SCALE, &v))
                return BadValue(arg, value, "a whole number from 1 to 16");
            o->scale = static_cast<int>(v);
        } else if (arg == "--no-frames") {
            o->writeFrames = false;
        } else if (arg == "--exp256") {
            o->exportPalettes = true;
        } else if (arg.rfind("-", 0) == 0) {
            return "unknown option " + arg;
        } else if (o->script.empty()) {
            o->script = arg;
        } else {
            return "one script only: " + arg;
        }
    }
    if (o->script.empty()) return "no script named";
    if (o->preview && o->scale > 0)
        return "--scale: the preview always shows pictures at their own size";
    if (o->out.empty() && o->writeFrames) return "--out DIR is needed unless --no-frames is given";
    return "";
}

// The settings the saver would find: the chosen module, parameters and gamma.
// Returns what the theme's module table refuses (a module or a parameter it
// does not have), or nothing.
std::string PreloadSettings(const RenderOptions& o, HeadlessSettings& settings, const char* profile,
                            const char* scriptPath) {
    settings.Clear();
    settings.Set(profile, "Config", "Sound", o.sound ? 1 : 0);
    settings.Set(profile, "Config", "PlayMode", 0);
    if (o.module >= 0) settings.Set(profile, "Config", "ActiveModule", o.module);
    if (o.gammaGiven) settings.Set(profile, "Config", "Gamma", o.gamma);
    // Modules and their parameters are known from the Setup scan; the run
    // reports what is wrong with the script.
    ErrorSink quiet;
    auto script = std::make_unique<ScriptContext>();
    script->ReportTo(quiet);
    const ThemeTables& theme = script->theme;
    const bool scanned = ScanThemeSetup(*script, scriptPath) != 0;
    if (!scanned) return ""; // the run reports what is wrong with the script
    const int module = o.module >= 0 ? o.module : 0;
    if (o.module >= 0 && module >= theme.moduleCount)
        return "--module " + std::to_string(o.module) + ": the theme has " +
               std::to_string(theme.moduleCount) + " module(s), numbered from 0";
    for (const auto& [name, value] : o.params) {
        bool known = false;
        if (module < theme.moduleCount) {
            for (const ModuleParam& p : theme.moduleTable[module].params)
                known = known || (p.name[0] != '\0' && name == p.name);
        }
        if (!known)
            return "--param " + name + ": module " + std::to_string(module) +
                   " has no setting of that name";
        settings.Set(profile, theme.moduleTable[module].name, name.c_str(), value);
    }
    return "";
}

// Asks the window to close and pumps until the quit message.
void CloseWindow(GlimmoraContext& ctx) {
    WindowSystem& windows = *ctx.port.windows;
    if (ctx.saverWindow && ctx.saverWindow->Id()) windows.PostClose(ctx.saverWindow->Id());
    for (int i = 0; i < 1000; ++i) {
        if (windows.PumpMessage() == PumpResult::Quit) break;
    }
}

} // namespace

int CmdRender(int argc, char** argv) {
    RenderOptions o;
    const std::string wrong = ParseArguments(argc, argv, &o);
    if (!wrong.empty()) return Refuse(wrong);

    std::error_code error;
    if (ExistsButNotAFile(o.script.c_str()) && !std::filesystem::is_directory(o.script, error)) {
        std::fprintf(stderr, "render: %s: not a file, so not a theme script\n", o.script.c_str());
        return 1;
    }
    if (!std::filesystem::is_regular_file(o.script, error)) {
        std::fprintf(stderr, "render: %s is not a theme script file\n", o.script.c_str());
        return 1;
    }
    std::filesystem::path script = std::filesystem::absolute(o.script, error);
    std::filesystem::path out =
        o.out.empty() ? std::filesystem::path() : std::filesystem::absolute(o.out, error);
    if (!out.empty()) std::filesystem::create_directories(out, error);
    // Started in the script's folder with "-def", every media file resolves as
    // it would for the saver in its theme folder.
    std::filesystem::current_path(script.parent_path(), error);
    std::string fileName = script.filename().string();
    std::string profile = script.stem().string();

    // The virtual clock starts above 0, which the engine reads as "not
    // started": frame N then shows engine time N x 1000 / F exactly.
    auto port = std::make_unique<HeadlessPort>();
    port->system.SetTime(RENDER_CLOCK_START);
    port->shell.SetScreenSize(o.width, o.height);
    port->shell.SetHostWindow(1, o.width, o.height);
    port->audio.KeepPlayed(false);
    const std::string refused =
        PreloadSettings(o, port->settings, profile.c_str(), fileName.c_str());
    if (!refused.empty()) return Refuse(refused);
    port->system.EchoMessages(true);
    if (o.sound && !out.empty()) port->audio.RecordTo((out / "audio.wav").string().c_str());

    std::string size = "-v" + std::to_string(o.width) + "x" + std::to_string(o.height);
    std::vector<std::string> words = {profile, o.preview ? "/p" : "/s"};
    if (o.preview) words.push_back("1");
    for (const char* w : {"-def", fileName.c_str(), size.c_str(), "-"}) words.emplace_back(w);
    if (o.exportPalettes) words.emplace_back("-exp256");
    std::vector<char*> args;
    for (std::string& w : words) args.push_back(w.data());

    auto saverRun = std::make_unique<SaverRun>(port->Services());
    GlimmoraContext& ctx = saverRun->lead;
    ctx.run.pictureScale = o.scale;
    if (!StartUp(*saverRun, static_cast<int>(args.size()), args.data())) {
        if (o.sound) port->audio.StopRecording();
        // A window that could not be made (no memory for its view) has shown
        // its message without a script line: the run still failed.
        const int status = Finish(ctx);
        return status != 0 || port->system.Messages().empty() ? status : 1;
    }
    BeginRunLoop(*saverRun);
    ctx.engine.random.SeedRandom(o.seed);

    const uint64_t endMs = static_cast<uint64_t>(o.seconds * 1000.0);
    const uint64_t fps = static_cast<uint64_t>(o.fps);
    uint64_t now = 0;
    uint64_t frame = 0;
    uint64_t passes = 0;
    bool running = true;
    while (running && now < endMs) {
        running = RunLoopPass(*saverRun);
        ++passes;
        // The next pass comes when the loop's wait is over (at once after a
        // message it handled), or a fixed step later.
        const uint64_t wait = o.step > 0 ? static_cast<uint64_t>(o.step) : ctx.loop.waitMs;
        const uint64_t next = std::min(endMs, now + wait);
        // Until then the screen shows what this pass left.
        while (o.writeFrames && frame * 1000 < next * fps) {
            if (ctx.view.NeedsPaint() && ctx.saverWindow) ctx.saverWindow->OnPaint();
            char name[32];
            std::snprintf(name, sizeof(name), "frame-%06llu.png",
                          static_cast<unsigned long long>(frame));
            if (!HeadlessWritePng(port->windows.Screen(), (out / name).string().c_str())) {
                std::fprintf(stderr, "render: cannot write %s\n", (out / name).string().c_str());
                return 1;
            }
            ++frame;
        }
        port->system.AdvanceTime(static_cast<uint32_t>(next - now));
        now = next;
    }
    if (running) CloseWindow(ctx);
    EndRunLoop(*saverRun);
    if (o.sound) port->audio.StopRecording();
    // What the theme costs: the passes the loop made.
    if (endMs > 0)
        std::fprintf(stderr, "passes: %llu (%llu per second)\n",
                     static_cast<unsigned long long>(passes),
                     static_cast<unsigned long long>((passes * 1000 + endMs / 2) / endMs));
    else
        std::fprintf(stderr, "passes: %llu\n", static_cast<unsigned long long>(passes));
    return Finish(ctx);
}
