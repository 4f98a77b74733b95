// Clips of a render to share: an animated GIF made from the frames with one
// colour table chosen from all of them, and a video made by an installed
// ffmpeg program from the PNG frames and the sound (never linked in).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct HeadlessPicture;

// The frames of an animated GIF, gathered as they are rendered.
class GifClip {
  public:
    GifClip();
    ~GifClip();
    GifClip(const GifClip&) = delete;
    GifClip& operator=(const GifClip&) = delete;

    // Whether this build writes GIF clips (it needs the importer's libraries).
    static bool Available();
    // Why `frames` frames of `width` x `height` are more than a clip holds;
    // empty when they fit.
    static std::string TooLarge(int width, int height, int64_t frames);

    // Adds a frame shown from `ms` milliseconds after the start.
    void Add(const HeadlessPicture& screen, uint64_t ms);
    // Writes the clip, which lasts until `endMs`, to `path` (replacing it
    // safely). False with `error` set.
    bool Write(const std::string& path, uint64_t endMs, std::string* error);
    // The colours of the table it was written with, and whether every
    // frame kept its colours exactly.
    int Colors() const { return colors; }
    bool Exact() const { return exact; }

  private:
    struct Frames;
    std::unique_ptr<Frames> frames;
    int colors = 0;
    bool exact = false;
};

// The ffmpeg program found on PATH, or empty.
std::string FindFfmpeg();
// Whether `path` names a video kind ffmpeg is asked to make (.webm, .mp4).
bool IsVideoName(const std::string& path);
// Runs ffmpeg to make the video `path` from the PNG frames frame-%06d.png in
// `folder` at `fps` frames a second and, when `sound` is not empty, that WAV
// file. The video replaces `path` only once it is complete. False with
// `error` set.
bool MakeVideo(const std::string& ffmpeg, const std::string& folder, int fps,
               const std::string& sound, const std::string& path, std::string* error);
