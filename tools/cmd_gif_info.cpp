// "gif-info": loads a GIF with the real loader and describes its frames, for
// theme authors and for checking the decoder from outside.
#include "app/glimmora_context.h"
#include "image/image.h"
#include "media_notes.h"
#include "platform/headless/headless.h"
#include "tool_commands.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

// Frames described at most; the rest are counted. A GIF may hold a million
// frames, which nobody reads one by one.
constexpr int64_t MAX_LISTED_FRAMES = 100000;

// 64-bit FNV-1a of the frame's indices, top row first, `width` bytes per row.
uint64_t HashIndices(const CImage& frame) {
    uint64_t hash = 0xcbf29ce484222325ull;
    for (int32_t row = 0; row < frame.height; ++row) {
        const uint8_t* p = frame.pixels + int64_t{frame.height - 1 - row} * frame.Stride();
        for (int32_t x = 0; x < frame.width; ++x) {
            hash ^= p[x];
            hash *= 0x100000001b3ull;
        }
    }
    return hash;
}

bool Loops(const CImage& image) {
    const CImage* f = &image;
    while (!(f->flags & IMAGE_LAST) && f->next) f = f->next;
    return f->next == &image;
}

// Frames are counted here rather than read from `frameIndex`, which holds 16 bits.
int64_t CountFrames(const CImage& image) {
    int64_t count = 1;
    for (const CImage* f = &image; !(f->flags & IMAGE_LAST) && f->next; f = f->next) ++count;
    return count;
}

void PrintJson(const CImage& image) {
    const int64_t frames = CountFrames(image);
    std::printf("{\"width\":%d,\"height\":%d,\"loop\":%s,\"frame_count\":%lld,\"frames\":[",
                static_cast<int>(image.colorInfo->header.width),
                static_cast<int>(image.colorInfo->header.height), Loops(image) ? "true" : "false",
                static_cast<long long>(frames));
    int64_t index = 0;
    for (const CImage* f = &image; index < MAX_LISTED_FRAMES; f = f->next, ++index) {
        if (f != &image) std::printf(",");
        std::printf("{\"index\":%lld,\"left\":%d,\"top\":%d,\"width\":%d,\"height\":%d,"
                    "\"delay_ms\":%d,\"transparent_index\":",
                    static_cast<long long>(index), static_cast<int>(f->left),
                    static_cast<int>(f->top), static_cast<int>(f->width),
                    static_cast<int>(f->height), static_cast<int>(f->delayMs));
        if (f->transparentIndex >= 0) {
            std::printf("%d", f->transparentIndex);
        } else {
            std::printf("null");
        }
        std::printf(",\"indices_fnv1a64\":\"%016" PRIx64 "\"}", HashIndices(*f));
        if ((f->flags & IMAGE_LAST) || !f->next) break;
    }
    std::printf(
        "],\"frames_not_listed\":%lld}\n",
        static_cast<long long>(frames > MAX_LISTED_FRAMES ? frames - MAX_LISTED_FRAMES : 0));
}

void PrintText(const CImage& image) {
    const int64_t frames = CountFrames(image);
    std::printf("screen %dx%d, %s, %lld frame%s\n", static_cast<int>(image.colorInfo->header.width),
                static_cast<int>(image.colorInfo->header.height),
                Loops(image) ? "looping" : "not looping", static_cast<long long>(frames),
                frames == 1 ? "" : "s");
    int64_t index = 0;
    for (const CImage* f = &image; index < MAX_LISTED_FRAMES; f = f->next, ++index) {
        std::printf("frame %lld: %dx%d at %d,%d, %d ms", static_cast<long long>(index),
                    static_cast<int>(f->width), static_cast<int>(f->height),
                    static_cast<int>(f->left), static_cast<int>(f->top),
                    static_cast<int>(f->delayMs));
        if (f->transparentIndex >= 0) std::printf(", transparent %d", f->transparentIndex);
        std::printf(", indices %016" PRIx64 "\n", HashIndices(*f));
        if ((f->flags & IMAGE_LAST) || !f->next) break;
    }
    if (frames > MAX_LISTED_FRAMES)
        std::printf("%lld more frames not listed (at most %lld are)\n",
                    static_cast<long long>(frames - MAX_LISTED_FRAMES),
                    static_cast<long long>(MAX_LISTED_FRAMES));
}

} // namespace

int CmdGifInfo(int argc, char** argv) {
    bool json = false;
    const char* path = nullptr;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--json") == 0) {
            json = true;
        } else if (!path) {
            path = argv[i];
        } else {
            path = nullptr;
            break;
        }
    }
    if (!path) {
        std::fprintf(stderr, "usage: glimmora-tool gif-info [--json] FILE\n");
        return 2;
    }
    HeadlessClearMessages();
    auto ctx = std::make_unique<GlimmoraContext>();
    CImage image;
    if (!image.LoadImage(path, ctx->images)) {
        for (const HeadlessMessage& m : HeadlessMessages()) {
            std::fprintf(stderr, "%s\n", m.text.c_str());
            const std::string note = MediaRefusalNote(m.text);
            if (!note.empty()) std::fprintf(stderr, "%s\n", note.c_str());
        }
        if (HeadlessMessages().empty()) std::fprintf(stderr, "%s: no image in the file\n", path);
        return 1;
    }
    const std::string note = GifDisplayNote(path);
    if (!note.empty()) std::fprintf(stderr, "warning: %s\n", note.c_str());
    if (json) {
        PrintJson(image);
    } else {
        PrintText(image);
    }
    image.Release();
    return 0;
}
