#include "render_clip.h"

#include "ports/headless/headless_video.h"
#include "replace_file.h"

#ifdef GLIMMORA_IMPORT
#include "import/picture.h"
#endif

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#ifndef _WIN32
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

namespace {

bool EndsWith(const std::string& text, const char* end) {
    const size_t n = std::strlen(end);
    return text.size() >= n && text.compare(text.size() - n, n, end) == 0;
}

} // namespace

#ifdef GLIMMORA_IMPORT

namespace {

// A GIF frame lasts whole hundredths of a second.
uint64_t ToGifTime(uint64_t ms) {
    return (ms + 5) / 10 * 10;
}

} // namespace

struct GifClip::Frames {
    Animation animation;
    std::vector<uint64_t> startMs; // of each frame, in GIF time
};

bool GifClip::Available() {
    return true;
}

std::string GifClip::TooLarge(int width, int height, int64_t frames) {
    return PictureLimitError(PictureLimits(), width, height, frames);
}

void GifClip::Add(const HeadlessPicture& screen, uint64_t ms) {
    Animation& animation = frames->animation;
    animation.width = screen.width;
    animation.height = screen.height;
    std::vector<uint8_t> rgba(screen.pixels.size() * 4);
    for (size_t i = 0; i < screen.pixels.size(); ++i) {
        const uint32_t p = screen.pixels[i];
        rgba[4 * i] = static_cast<uint8_t>(p >> 16);
        rgba[4 * i + 1] = static_cast<uint8_t>(p >> 8);
        rgba[4 * i + 2] = static_cast<uint8_t>(p);
        rgba[4 * i + 3] = 255;
    }
    // A frame like the one before only makes that one last longer; one
    // that starts in the same hundredth replaces it.
    const uint64_t start = ToGifTime(ms);
    if (!animation.frames.empty() &&
        (animation.frames.back().rgba == rgba || frames->startMs.back() == start)) {
        if (frames->startMs.back() == start) animation.frames.back().rgba.swap(rgba);
        return;
    }
    animation.frames.push_back({std::move(rgba), 0});
    frames->startMs.push_back(start);
}

bool GifClip::Write(const std::string& path, uint64_t endMs, std::string* error) {
    Animation& animation = frames->animation;
    if (animation.frames.empty()) {
        *error = "no frame was rendered";
        return false;
    }
    const uint64_t end = std::max(ToGifTime(endMs), frames->startMs.back() + 10);
    for (size_t i = 0; i < animation.frames.size(); ++i) {
        const uint64_t next = i + 1 < animation.frames.size() ? frames->startMs[i + 1] : end;
        animation.frames[i].delayMs = static_cast<int>(next - frames->startMs[i]);
    }
    animation.loops = true;
    IndexedAnimation picture;
    if (!Quantize(animation, false, &picture, error)) return false;
    colors = picture.colors;
    exact = picture.exact;
    FileReplacement file;
    return file.Open(path, error) && EncodeGif(picture, file.File(), error) && file.Commit(error);
}

#else

struct GifClip::Frames {};

bool GifClip::Available() {
    return false;
}

std::string GifClip::TooLarge(int, int, int64_t) {
    return "";
}

void GifClip::Add(const HeadlessPicture&, uint64_t) {}

bool GifClip::Write(const std::string&, uint64_t, std::string* error) {
    *error = "this build has no GIF writer";
    return false;
}

#endif

GifClip::GifClip() : frames(std::make_unique<Frames>()) {}
GifClip::~GifClip() = default;

std::string FindFfmpeg() {
#ifdef _WIN32
    return "";
#else
    const char* path = std::getenv("PATH");
    if (!path) return "";
    std::string list = path;
    for (size_t start = 0; start <= list.size();) {
        size_t end = list.find(':', start);
        if (end == std::string::npos) end = list.size();
        const std::string folder = end > start ? list.substr(start, end - start) : ".";
        const std::string candidate = folder + "/ffmpeg";
        std::error_code failed;
        if (std::filesystem::is_regular_file(candidate, failed) &&
            access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return "";
#endif
}

bool IsVideoName(const std::string& path) {
    return EndsWith(path, ".webm") || EndsWith(path, ".mp4");
}

bool MakeVideo(const std::string& ffmpeg, const std::string& folder, int fps,
               const std::string& sound, const std::string& path, std::string* error) {
#ifdef _WIN32
    (void)ffmpeg, (void)folder, (void)fps, (void)sound, (void)path;
    *error = "videos are made on Linux only";
    return false;
#else
    FileReplacement file;
    if (!file.Open(path, error)) return false;
    const bool webm = EndsWith(path, ".webm");
    std::vector<std::string> words = {
        ffmpeg, "-nostdin",   "-hide_banner",      "-loglevel", "error",
        "-y",   "-framerate", std::to_string(fps), "-i",        folder + "/frame-%06d.png"};
    if (!sound.empty()) words.insert(words.end(), {"-i", sound});
    // Most players take only even sizes of 4:2:0 pictures.
    words.insert(words.end(), {"-vf", "pad=ceil(iw/2)*2:ceil(ih/2)*2", "-pix_fmt", "yuv420p"});
    if (webm) {
        words.insert(words.end(), {"-c:v", "libvpx-vp9", "-b:v", "0", "-crf", "32"});
        if (!sound.empty()) words.insert(words.end(), {"-c:a", "libopus"});
        words.insert(words.end(), {"-f", "webm"});
    } else {
        words.insert(words.end(), {"-c:v", "libx264", "-crf", "20"});
        if (!sound.empty()) words.insert(words.end(), {"-c:a", "aac"});
        words.insert(words.end(), {"-movflags", "+faststart", "-f", "mp4"});
    }
    // ffmpeg writes the temporary file by its name; it takes the video's
    // name once ffmpeg is done.
    words.push_back(file.TemporaryPath());
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    const int spawned =
        posix_spawn(&child, ffmpeg.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        *error = "cannot run " + ffmpeg + " (" + std::strerror(spawned) + ")";
        return false;
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        *error = ffmpeg + " failed (exit status " +
                 std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status)) +
                 "); what it said is above";
        return false;
    }
    return file.Commit(error);
#endif
}
