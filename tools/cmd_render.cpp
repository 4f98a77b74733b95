// "render": plays a theme on the headless platform against a virtual clock and
// writes what the saver would show and play: PNG frames and the mixed sound,
// and clips to share (an animated GIF, a video made by ffmpeg). The clock
// moves as the saver's loop sleeps, from one announced change to the next, or
// by a fixed step. Before playing it reports the errors and warnings "check"
// finds in the module it plays, and ends with the first error's line.
#include "app/main_loop.h"
#include "app/saver_run.h"
#include "app/saver_window.h"
#include "app/startup.h"
#include "base/file_checks.h"
#include "image/screen_frame.h"
#include "ports/headless/headless_port.h"
#include "render_clip.h"
#include "script/script_context.h"
#include "script/setup_scan.h"
#include "theme_check.h"
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
    bool force = false; // replace an earlier render's frames and sound in --out
    std::string gif;    // an animated GIF of the run
    std::string video;  // a video of the run, made by ffmpeg
    int scale = 0;      // 0: as the "PictureSize" setting says
};

const char USAGE[] =
    "usage: glimmora-tool render SCRIPT [--out DIR] [--force] [--gif FILE] [--video FILE]\n"
    "       [--size WxH] [--seconds T] [--fps F] [--seed S] [--module N] [--preview]\n"
    "       [--param NAME=VALUE]... [--gamma G] [--no-sound] [--step MS] [--no-frames]\n"
    "       [--exp256] [--scale N]\n"
    "(glimmora-tool render --help tells more)\n";

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
                                arg == "--gif" || arg == "--video" || arg == "--scale";
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
        } else if (arg == "--force") {
            o->force = true;
        } else if (arg == "--gif") {
            if (std::filesystem::path(value).extension() != ".gif")
                return BadValue(arg, value, "a file name ending in .gif");
            o->gif = value;
        } else if (arg == "--video") {
            if (!IsVideoName(value))
                return BadValue(arg, value, "a file name ending in .webm or .mp4");
            o->video = value;
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
    if (o->out.empty() && o->writeFrames && o->gif.empty() && o->video.empty())
        return "--out DIR is needed unless --no-frames, --gif or --video is given";
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
        const ModuleParam* known = nullptr;
        if (module < theme.moduleCount) {
            for (const ModuleParam& p : theme.moduleTable[module].params) {
                if (!known && p.name[0] != '\0' && name == p.name) known = &p;
            }
        }
        if (!known)
            return "--param " + name + ": module " + std::to_string(module) +
                   " has no setting of that name";
        // The settings dialog's slider reaches only its range.
        const int32_t low = std::min(known->leftValue, known->rightValue);
        const int32_t high = std::max(known->leftValue, known->rightValue);
        if (value < low || value > high)
            return "--param " + name + "=" + std::to_string(value) +
                   ": the setting's slider runs from " + std::to_string(low) + " to " +
                   std::to_string(high);
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

// What render writes into --out: its frames and its sound.
bool IsRenderOutput(const std::string& name) {
    if (name == "audio.wav") return true;
    unsigned n = 0;
    char end[8] = {};
    return name.size() == 16 && std::sscanf(name.c_str(), "frame-%6u.%4s", &n, end) == 2 &&
           std::strcmp(end, "png") == 0 && name.compare(0, 6, "frame-") == 0;
}

// Makes --out ready: a new or empty folder; with --force, one whose earlier
// frames and sound are removed (nothing else is touched). Returns what is
// wrong, or nothing.
std::string PrepareOut(const std::filesystem::path& out, bool force) {
    std::error_code error;
    if (std::filesystem::exists(out, error) && !std::filesystem::is_directory(out, error))
        return out.string() + " is not a folder";
    std::filesystem::create_directories(out, error);
    if (error) return "cannot make the folder " + out.string() + " (" + error.message() + ")";
    std::vector<std::filesystem::path> earlier;
    bool others = false;
    for (const auto& entry : std::filesystem::directory_iterator(out, error)) {
        if (IsRenderOutput(entry.path().filename().string()) && entry.is_regular_file(error)) {
            earlier.push_back(entry.path());
        } else {
            others = true;
        }
    }
    if (!force && (others || !earlier.empty()))
        return out.string() +
               " is not empty: give a new or empty folder, or --force to replace the frames "
               "and sound of an earlier render there";
    for (const std::filesystem::path& file : earlier) std::filesystem::remove(file, error);
    return "";
}

// The frames and sound of a video made without --out, in a folder of their
// own beside the video, removed with what was written into it.
class ScratchFolder {
  public:
    ~ScratchFolder() {
        if (path.empty()) return;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(path, error)) {
            if (IsRenderOutput(entry.path().filename().string()))
                std::filesystem::remove(entry.path(), error);
        }
        std::filesystem::remove(path, error);
    }
    bool Make(const std::filesystem::path& beside) {
#ifdef _WIN32
        (void)beside;
        return false; // videos are made on Linux
#else
        std::string pattern = (beside.parent_path() / ".glimmora-frames-XXXXXX").string();
        if (!mkdtemp(pattern.data())) return false;
        path = pattern;
        return true;
#endif
    }
    std::filesystem::path path;
};

// The problems "check" finds in the module and block set the run plays,
// printed; the line of the first error, or 0.
int ReportProblems(const RenderOptions& o, const std::string& script) {
    if (script.size() > static_cast<size_t>(PATH_LEN)) return 0;
    ThemeCheck check(script.c_str());
    const bool scanned = check.Scan();
    std::vector<Problem> errors = check.scanErrors, warnings;
    if (scanned && check.Context().script.theme.moduleCount > 0)
        check.LoadModule(std::max(o.module, 0), o.preview, false, &errors, &warnings);
    warnings.insert(warnings.begin(), check.themeWarnings.begin(), check.themeWarnings.end());
    PrintInLineOrder(o.script.c_str(), errors, warnings);
    int first = 0;
    for (const Problem& p : errors) {
        if (p.line > 0 && (first == 0 || p.line < first)) first = p.line;
    }
    return errors.empty() ? 0 : std::max(first, 1);
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
    std::string ffmpeg;
    if (!o.video.empty()) {
        ffmpeg = FindFfmpeg();
        if (ffmpeg.empty()) {
            std::fprintf(stderr,
                         "render: --video needs the ffmpeg program, which is not installed (not "
                         "found on PATH): install ffmpeg (on Debian: apt install ffmpeg), or make "
                         "a clip with --gif instead\n");
            return 1;
        }
    }
    if (!o.gif.empty() && !GifClip::Available()) {
        std::fprintf(stderr, "render: this build cannot write GIF clips\n");
        return 1;
    }
    std::filesystem::path script = std::filesystem::absolute(o.script, error);
    std::filesystem::path out =
        o.out.empty() ? std::filesystem::path() : std::filesystem::absolute(o.out, error);
    const std::filesystem::path gif =
        o.gif.empty() ? std::filesystem::path() : std::filesystem::absolute(o.gif, error);
    const std::filesystem::path video =
        o.video.empty() ? std::filesystem::path() : std::filesystem::absolute(o.video, error);
    const uint64_t endMs = static_cast<uint64_t>(o.seconds * 1000.0);
    const int64_t frameCount =
        static_cast<int64_t>((endMs * static_cast<uint64_t>(o.fps) + 999) / 1000);
    if (!o.gif.empty()) {
        const std::string over = GifClip::TooLarge(o.width, o.height, frameCount);
        if (!over.empty())
            return Refuse("--gif: " + over + "; choose a smaller --size, fewer --fps or --seconds");
    }
    if (!out.empty()) {
        const std::string unready = PrepareOut(out, o.force);
        if (!unready.empty()) {
            std::fprintf(stderr, "render: %s\n", unready.c_str());
            return 1;
        }
    }
    ScratchFolder scratch;
    if (!video.empty() && out.empty() && !scratch.Make(video)) {
        std::fprintf(stderr, "render: cannot make a folder for the video's frames beside %s\n",
                     video.string().c_str());
        return 1;
    }
    // Where frames and sound go: --out, or the video's own folder.
    const std::filesystem::path frames = out.empty() ? scratch.path : out;
    const bool pngFrames = !frames.empty() && (o.writeFrames || !video.empty());

    // What check finds in the module played, before it plays.
    const int firstError = ReportProblems(o, script.string());
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
    // The errors were told above; the run's own messages (what is not in
    // the script) are told as they come.
    port->system.EchoMessages(firstError == 0);
    const std::string sound = o.sound && !frames.empty() ? (frames / "audio.wav").string() : "";
    if (!sound.empty()) port->audio.RecordTo(sound.c_str());

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
        if (!sound.empty()) port->audio.StopRecording();
        if (firstError != 0) return firstError;
        // A window that could not be made (no memory for its view) has shown
        // its message without a script line: the run still failed.
        const int status = Finish(ctx);
        return status != 0 || port->system.Messages().empty() ? status : 1;
    }
    BeginRunLoop(*saverRun);
    ctx.engine.random.SeedRandom(o.seed);

    GifClip clip;
    const uint64_t fps = static_cast<uint64_t>(o.fps);
    const bool anyFrames = pngFrames || !gif.empty();
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
        while (anyFrames && frame * 1000 < next * fps) {
            if (ctx.view.NeedsPaint() && ctx.saverWindow) ctx.saverWindow->OnPaint();
            if (pngFrames) {
                char name[32];
                std::snprintf(name, sizeof(name), "frame-%06llu.png",
                              static_cast<unsigned long long>(frame));
                if (!HeadlessWritePng(port->windows.Screen(), (frames / name).string().c_str())) {
                    std::fprintf(stderr, "render: cannot write %s\n",
                                 (frames / name).string().c_str());
                    return 1;
                }
            }
            if (!gif.empty()) clip.Add(port->windows.Screen(), frame * 1000 / fps);
            ++frame;
        }
        port->system.AdvanceTime(static_cast<uint32_t>(next - now));
        now = next;
    }
    if (running) CloseWindow(ctx);
    EndRunLoop(*saverRun);
    if (!sound.empty()) port->audio.StopRecording();
    // What the theme costs: the passes the loop made.
    if (endMs > 0)
        std::fprintf(stderr, "passes: %llu (%llu per second)\n",
                     static_cast<unsigned long long>(passes),
                     static_cast<unsigned long long>((passes * 1000 + endMs / 2) / endMs));
    else
        std::fprintf(stderr, "passes: %llu\n", static_cast<unsigned long long>(passes));
    std::string why;
    if (!gif.empty()) {
        if (!clip.Write(gif.string(), endMs, &why)) {
            std::fprintf(stderr, "render: %s: %s\n", o.gif.c_str(), why.c_str());
            return 1;
        }
        std::printf("%s: %llu frames, %d colours%s\n", o.gif.c_str(),
                    static_cast<unsigned long long>(frame), clip.Colors(),
                    clip.Exact() ? "" : " (reduced)");
    }
    if (!video.empty()) {
        if (!MakeVideo(ffmpeg, frames.string(), o.fps, sound, video.string(), &why)) {
            std::fprintf(stderr, "render: %s: %s\n", o.video.c_str(), why.c_str());
            return 1;
        }
        std::printf("%s: made by %s\n", o.video.c_str(), ffmpeg.c_str());
    }
    return firstError != 0 ? firstError : Finish(ctx);
}
