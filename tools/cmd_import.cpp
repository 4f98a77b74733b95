// "import": turns the pictures and sounds people make into files the saver
// loads: any GIF, an animated PNG, a JPEG, WebP or BMP picture, or a list of
// frames becomes a GIF with one 256-entry table; any sound libsndfile reads
// becomes an 8-bit mono 22050 Hz WAV. What a file is comes from its content,
// not its name.
#include "import/picture.h"
#include "import/sound.h"
#include "media_notes.h"
#include "replace_file.h"
#include "tool_commands.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char USAGE[] = "usage: glimmora-tool import [options] INPUT... OUTPUT\n"
                     "  pictures: a GIF, PNG, JPEG, WebP or BMP, or several frames -> OUTPUT.gif\n"
                     "  sounds: WAV, FLAC, Ogg Vorbis, MP3... -> OUTPUT.wav (8-bit mono 22050 Hz)\n"
                     "(glimmora-tool import --help tells more)\n";

// The screen a picture is warned of being larger than, unless --screen is given.
constexpr int DEFAULT_SCREEN_WIDTH = 1920;
constexpr int DEFAULT_SCREEN_HEIGHT = 1080;
// A sound whose loudest sample is below this share of full scale (-20 dBFS)
// uses few of 8-bit sound's steps.
constexpr double QUIET_PEAK = 0.1;
// Frames named when the order of several is printed, at most.
constexpr size_t NAMED_FRAMES = 50;

int Fail(const std::string& input, const std::string& message) {
    std::fprintf(stderr, "glimmora-tool import: %s: %s\n", input.c_str(), message.c_str());
    return 1;
}

bool EndsWith(const std::string& name, const char* extension) {
    const size_t n = std::strlen(extension);
    if (name.size() < n) return false;
    for (size_t i = 0; i < n; ++i) {
        if (std::tolower(static_cast<unsigned char>(name[name.size() - n + i])) != extension[i])
            return false;
    }
    return true;
}

// Inputs are regular files: a FIFO or a device could block or never end.
bool IsRegularFile(const std::string& path, std::string* error) {
    struct stat status = {};
    if (stat(path.c_str(), &status) != 0) {
        *error = std::string("cannot open it (") + std::strerror(errno) + ")";
        return false;
    }
    if (!S_ISREG(status.st_mode)) {
        *error = "not a file";
        return false;
    }
    return true;
}

bool ReadBytes(const std::string& path, int64_t limit, std::vector<uint8_t>* out,
               std::string* error) {
    if (!IsRegularFile(path, error)) return false;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        *error = std::string("cannot open it (") + std::strerror(errno) + ")";
        return false;
    }
    // The size is checked before reading, and again as the file is read, in
    // case it grows meanwhile.
    struct stat status = {};
    bool tooLarge = fstat(fileno(file), &status) != 0 || status.st_size > limit;
    out->clear();
    if (!tooLarge) out->reserve(static_cast<size_t>(status.st_size));
    uint8_t buffer[65536];
    size_t n;
    while (!tooLarge && (n = std::fread(buffer, 1, sizeof(buffer), file)) > 0) {
        tooLarge = static_cast<int64_t>(out->size() + n) > limit;
        if (!tooLarge) out->insert(out->end(), buffer, buffer + n);
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (tooLarge) {
        *error = "the file is larger than " + std::to_string(limit >> 20) +
                 " MiB, the most the importer reads of a picture";
        return false;
    }
    if (failed) *error = "cannot read it";
    return !failed;
}

struct Options {
    int delayMs = -1;
    bool noLoop = false;
    bool dither = false;
    double gainDb = 0;
    bool normalize = false;
    bool matte = false;
    uint8_t matteRgb[3] = {0, 0, 0};
    int screenWidth = DEFAULT_SCREEN_WIDTH;
    int screenHeight = DEFAULT_SCREEN_HEIGHT;
    bool keepOrder = false;
};

void Warn(const std::string& file, const std::string& message) {
    std::fprintf(stderr, "glimmora-tool import: warning: %s: %s\n", file.c_str(), message.c_str());
}

bool IsPicture(const uint8_t* data, size_t size) {
    return IsGif(data, size) || IsPng(data, size) || IsJpeg(data, size) || IsWebp(data, size) ||
           IsBmp(data, size);
}

// Names compared as people count: "f2" before "f10". Runs of digits compare
// by their value; the rest by its bytes.
bool NaturalLess(const std::string& a, const std::string& b) {
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const bool da = std::isdigit(static_cast<unsigned char>(a[i])) != 0;
        const bool db = std::isdigit(static_cast<unsigned char>(b[j])) != 0;
        if (da && db) {
            size_t ei = i, ej = j;
            while (ei < a.size() && std::isdigit(static_cast<unsigned char>(a[ei]))) ++ei;
            while (ej < b.size() && std::isdigit(static_cast<unsigned char>(b[ej]))) ++ej;
            size_t si = i, sj = j; // past leading zeros
            while (si + 1 < ei && a[si] == '0') ++si;
            while (sj + 1 < ej && b[sj] == '0') ++sj;
            if (ei - si != ej - sj) return ei - si < ej - sj;
            const int order = a.compare(si, ei - si, b, sj, ej - sj);
            if (order != 0) return order < 0;
            i = ei;
            j = ej;
        } else {
            if (a[i] != b[j])
                return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
            ++i;
            ++j;
        }
    }
    if (a.size() - i != b.size() - j) return a.size() - i < b.size() - j;
    return a < b;
}

// "#RRGGBB", "RRGGBB" or "R,G,B".
bool ParseColor(const std::string& text, uint8_t rgb[3]) {
    const std::string hex = !text.empty() && text[0] == '#' ? text.substr(1) : text;
    if (hex.size() == 6 && hex.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos) {
        const unsigned long value = std::strtoul(hex.c_str(), nullptr, 16);
        rgb[0] = static_cast<uint8_t>(value >> 16);
        rgb[1] = static_cast<uint8_t>(value >> 8);
        rgb[2] = static_cast<uint8_t>(value);
        return true;
    }
    int r = -1, g = -1, b = -1;
    char end = 0;
    if (std::sscanf(text.c_str(), "%d,%d,%d%c", &r, &g, &b, &end) != 3) return false;
    if (r < 0 || r > 255 || g < 0 || g > 255 || b < 0 || b > 255) return false;
    rgb[0] = static_cast<uint8_t>(r);
    rgb[1] = static_cast<uint8_t>(g);
    rgb[2] = static_cast<uint8_t>(b);
    return true;
}

// "a JPEG picture" for the file's first bytes; "a file of unknown kind" when
// its content says nothing the importer knows.
std::string KindOf(const uint8_t* data, size_t size) {
    const std::string kind = FileKind(data, size);
    return kind.empty() ? "a file of unknown kind" : kind;
}

// Places a frame of another size at the top left of a larger canvas.
std::vector<uint8_t> Widen(const std::vector<uint8_t>& rgba, int width, int height, int toWidth,
                           int toHeight) {
    if (width == toWidth && height == toHeight) return rgba;
    std::vector<uint8_t> out(static_cast<size_t>(toWidth) * toHeight * 4, 0);
    for (int y = 0; y < height; ++y) {
        std::memcpy(out.data() + static_cast<size_t>(y) * toWidth * 4,
                    rgba.data() + static_cast<size_t>(y) * width * 4,
                    static_cast<size_t>(width) * 4);
    }
    return out;
}

int ImportPicture(const std::vector<std::string>& inputs, const std::string& output,
                  const Options& options) {
    if (!EndsWith(output, ".gif"))
        return Fail(output, "a picture is written as a GIF: give the output a .gif name");
    const PictureLimits limits;
    Animation animation;
    std::string error;
    std::vector<uint8_t> bytes;
    std::string source;
    for (size_t i = 0; i < inputs.size(); ++i) {
        if (!ReadBytes(inputs[i], limits.maxFileBytes, &bytes, &error))
            return Fail(inputs[i], error);
        Animation part;
        const uint8_t* data = bytes.data();
        const size_t size = bytes.size();
        if (IsGif(data, size)) {
            if (inputs.size() > 1)
                return Fail(inputs[i], "a GIF is imported on its own, not with other frames");
            if (!ReadGif(data, size, limits, &part, &error)) return Fail(inputs[i], error);
            source = "GIF";
        } else if (IsPng(data, size)) {
            if (!ReadPng(data, size, limits, &part, &error)) return Fail(inputs[i], error);
            source = inputs.size() > 1 ? "frames" : part.frames.size() > 1 ? "animated PNG" : "PNG";
        } else if (IsJpeg(data, size) || IsWebp(data, size) || IsBmp(data, size)) {
            if (!ReadRaster(data, size, limits, &part, &error)) return Fail(inputs[i], error);
            source = inputs.size() > 1    ? "frames"
                     : IsJpeg(data, size) ? "JPEG"
                     : IsWebp(data, size) ? "WebP"
                                          : "BMP";
        } else {
            return Fail(inputs[i], "it is " + KindOf(data, size) +
                                       ", not a picture: frames are GIF, PNG, JPEG, WebP or BMP "
                                       "pictures");
        }
        if (i == 0) {
            animation = std::move(part);
            continue;
        }
        const int width = std::max(animation.width, part.width);
        const int height = std::max(animation.height, part.height);
        const std::string over =
            PictureLimitError(limits, width, height,
                              static_cast<int64_t>(animation.frames.size() + part.frames.size()));
        if (!over.empty()) return Fail(inputs[i], over);
        for (RgbaFrame& f : animation.frames)
            f.rgba = Widen(f.rgba, animation.width, animation.height, width, height);
        for (RgbaFrame& f : part.frames) {
            f.rgba = Widen(f.rgba, part.width, part.height, width, height);
            animation.frames.push_back(std::move(f));
        }
        animation.width = width;
        animation.height = height;
    }
    const bool frameList = inputs.size() > 1;
    if (frameList) animation.loops = true;
    const bool stills =
        frameList || source == "PNG" || source == "JPEG" || source == "WebP" || source == "BMP";
    for (RgbaFrame& frame : animation.frames) {
        if (options.delayMs >= 0) {
            frame.delayMs = options.delayMs;
        } else if (stills) {
            frame.delayMs = 100;
        }
    }
    if (options.noLoop) animation.loops = false;

    // The saver shows a pixel fully or not at all: soft edges are blended
    // onto a matte, or lose their softness.
    if (options.matte) {
        ApplyMatte(&animation, options.matteRgb);
    } else {
        const SoftEdges edges = CountSoftEdges(animation);
        if (edges.soft > 0 && edges.soft * 100 >= edges.visible) {
            Warn(inputs[0],
                 std::to_string(edges.soft) + " of " + std::to_string(edges.visible) +
                     " visible pixels (" + std::to_string(edges.soft * 100 / edges.visible) +
                     "%) are partly transparent: those less than half opaque are dropped and the "
                     "others shown fully opaque; --matte COLOR blends them onto the colour the "
                     "picture will stand on");
        }
    }
    CropToVisible(&animation);
    IndexedAnimation picture;
    if (!Quantize(animation, options.dither, &picture, &error)) return Fail(inputs[0], error);
    animation = Animation(); // the colours are chosen: its memory goes back
    FileReplacement file;
    if (!file.Open(output, &error) || !EncodeGif(picture, file.File(), &error) ||
        !file.Commit(&error))
        return Fail(output, error);

    const size_t frames = picture.frames.size();
    std::printf("%s: %zu frame%s, %dx%d, %d colour%s%s%s%s (from %s)\n", output.c_str(), frames,
                frames == 1 ? "" : "s", picture.width, picture.height, picture.colors,
                picture.colors == 1 ? "" : "s", picture.exact ? "" : " (reduced)",
                picture.transparent ? ", transparent" : ", opaque",
                frames > 1 ? (picture.loops ? ", looping" : ", playing once") : "", source.c_str());
    if (picture.width > options.screenWidth || picture.height > options.screenHeight) {
        Warn(output, std::to_string(picture.width) + "x" + std::to_string(picture.height) +
                         " is larger than a " + std::to_string(options.screenWidth) + "x" +
                         std::to_string(options.screenHeight) +
                         " screen: the saver draws pictures at their own size, so only a part "
                         "of it shows there; make it smaller before importing it");
    }
    return 0;
}

// `kind`: what the first input is by its content.
int ImportSound(const std::vector<std::string>& inputs, const std::string& output,
                const Options& options, const std::string& kind) {
    if (inputs.size() != 1) return Fail(inputs[1], "a sound is imported from one file");
    if (!EndsWith(output, ".wav"))
        return Fail(inputs[0], "it is " + kind +
                                   ": a sound becomes a WAV the saver plays; give the output a "
                                   ".wav name");
    SoundOptions soundOptions;
    soundOptions.gainDb = options.gainDb;
    soundOptions.normalize = options.normalize;
    SoundReport report;
    std::string error;
    FileReplacement file;
    if (!file.Open(output, &error)) return Fail(output, error);
    if (!ConvertSound(inputs[0], soundOptions, file.File(), &report, &error))
        return Fail(report.outputFailed ? output : inputs[0], error);
    if (!file.Commit(&error)) return Fail(output, error);
    const long milliseconds = std::lround(report.samples * 1000.0 / IMPORT_SOUND_RATE);
    std::printf("%s: %ld.%03ld s of 8-bit mono %d Hz PCM (from %s)\n", output.c_str(),
                milliseconds / 1000, milliseconds % 1000, IMPORT_SOUND_RATE,
                report.description.c_str());
    if (report.samples > 0 && report.peak < QUIET_PEAK) {
        const long steps = std::lround(report.peak * 128);
        Warn(output, report.peak <= 0
                         ? "the sound is silent"
                         : "the sound is quiet: its loudest sample is at " +
                               std::to_string(std::lround(20 * std::log10(report.peak))) +
                               " dBFS, " + std::to_string(steps) +
                               (steps == 1 ? " step" : " steps") +
                               " of the 128 that 8-bit sound has each way; --normalize brings "
                               "its loudest sample to full scale");
    }
    return 0;
}

bool ParseNumber(const char* text, double* value) {
    char* end = nullptr;
    errno = 0;
    *value = std::strtod(text, &end);
    return end != text && *end == '\0' && errno == 0 && std::isfinite(*value);
}

} // namespace

int CmdImport(int argc, char** argv) {
    Options options;
    std::vector<std::string> names;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        double value = 0;
        if (arg == "--no-loop") {
            options.noLoop = true;
        } else if (arg == "--dither") {
            options.dither = true;
        } else if (arg == "--normalize") {
            options.normalize = true;
        } else if (arg == "--delay" && i + 1 < argc && ParseNumber(argv[i + 1], &value) &&
                   value >= 0 && value <= 655350) {
            options.delayMs = static_cast<int>(std::lround(value));
            ++i;
        } else if (arg == "--gain" && i + 1 < argc && ParseNumber(argv[i + 1], &value) &&
                   std::fabs(value) <= 96) {
            options.gainDb = value;
            ++i;
        } else if (arg == "--matte" && i + 1 < argc && ParseColor(argv[i + 1], options.matteRgb)) {
            options.matte = true;
            ++i;
        } else if (arg == "--screen" && i + 1 < argc &&
                   std::sscanf(argv[i + 1], "%dx%d", &options.screenWidth, &options.screenHeight) ==
                       2 &&
                   options.screenWidth > 0 && options.screenHeight > 0) {
            ++i;
        } else if (arg == "--keep-order") {
            options.keepOrder = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr,
                         "glimmora-tool import: %s: unknown option, or its value is "
                         "missing or wrong\n",
                         arg.c_str());
            std::fputs(USAGE, stderr);
            return 2;
        } else {
            names.push_back(arg);
        }
    }
    if (names.size() < 2) {
        std::fputs(USAGE, stderr);
        return 2;
    }
    const std::string output = names.back();
    names.pop_back();

    std::string error;
    if (!IsRegularFile(names[0], &error)) return Fail(names[0], error);
    std::FILE* file = std::fopen(names[0].c_str(), "rb");
    if (!file) return Fail(names[0], std::string("cannot open it (") + std::strerror(errno) + ")");
    uint8_t magic[32] = {};
    const size_t n = std::fread(magic, 1, sizeof(magic), file);
    std::fclose(file);
    const std::string kind = KindOf(magic, n);
    if (IsPicture(magic, n)) {
        if (!EndsWith(output, ".gif"))
            return Fail(names[0], "it is " + kind +
                                      ": a picture becomes a GIF the saver shows; give the "
                                      "output a .gif name");
        if (names.size() > 1) {
            // Frames in the order people count them: f2 before f10.
            if (!options.keepOrder) std::stable_sort(names.begin(), names.end(), NaturalLess);
            std::string order;
            for (size_t i = 0; i < names.size() && i < NAMED_FRAMES; ++i) order += " " + names[i];
            if (names.size() > NAMED_FRAMES)
                order += " and " + std::to_string(names.size() - NAMED_FRAMES) + " more";
            std::printf("frames in this order:%s\n", order.c_str());
        }
        return ImportPicture(names, output, options);
    }
    if (EndsWith(output, ".gif"))
        return Fail(names[0], "it is " + kind +
                                  (kind.find("sound") != std::string::npos
                                       ? ": a sound becomes a WAV the saver plays; give the "
                                         "output a .wav name"
                                       : ", not a picture the importer reads (GIF, PNG, JPEG, "
                                         "WebP or BMP)"));
    return ImportSound(names, output, options, kind);
}
