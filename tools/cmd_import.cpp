// "import": turns the pictures and sounds people make into files the saver
// loads: any GIF, an animated PNG or a list of PNG frames becomes a GIF with
// one 256-entry table; any sound libsndfile reads becomes an 8-bit mono
// 22050 Hz WAV.
#include "import/picture.h"
#include "import/sound.h"
#include "replace_file.h"
#include "tool_commands.h"

#include <sys/stat.h>

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
                     "  pictures: one GIF, one (animated) PNG or several PNG frames -> OUTPUT.gif\n"
                     "  sounds: WAV, FLAC, Ogg Vorbis, MP3... -> OUTPUT.wav (8-bit mono 22050 Hz)\n"
                     "options:\n"
                     "  --delay MS    frame delay in milliseconds (PNG frames: 100 unless given)\n"
                     "  --no-loop     play the animation once\n"
                     "  --dither      spread the error when colours must be reduced\n"
                     "  --gain DB     change the loudness of a sound\n"
                     "  --normalize   bring the loudest sample of a sound to full scale\n";

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
};

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
        if (IsGif(bytes.data(), bytes.size())) {
            if (inputs.size() > 1)
                return Fail(inputs[i], "a GIF is imported on its own, not with other frames");
            if (!ReadGif(bytes.data(), bytes.size(), limits, &part, &error))
                return Fail(inputs[i], error);
            source = "GIF";
        } else if (IsPng(bytes.data(), bytes.size())) {
            if (!ReadPng(bytes.data(), bytes.size(), limits, &part, &error))
                return Fail(inputs[i], error);
            source = inputs.size() > 1        ? "PNG frames"
                     : part.frames.size() > 1 ? "animated PNG"
                                              : "PNG";
        } else {
            return Fail(inputs[i], "not a GIF or PNG picture");
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
    const bool stills = frameList || source == "PNG";
    for (RgbaFrame& frame : animation.frames) {
        if (options.delayMs >= 0) {
            frame.delayMs = options.delayMs;
        } else if (stills) {
            frame.delayMs = 100;
        }
    }
    if (options.noLoop) animation.loops = false;

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
    return 0;
}

int ImportSound(const std::vector<std::string>& inputs, const std::string& output,
                const Options& options) {
    if (inputs.size() != 1) return Fail(inputs[1], "a sound is imported from one file");
    if (!EndsWith(output, ".wav"))
        return Fail(output, "a sound is written as a WAV: give the output a .wav name");
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
        } else if (arg.size() > 1 && arg[0] == '-') {
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
    uint8_t magic[8] = {};
    const size_t n = std::fread(magic, 1, sizeof(magic), file);
    std::fclose(file);
    if (IsGif(magic, n) || IsPng(magic, n)) return ImportPicture(names, output, options);
    return ImportSound(names, output, options);
}
