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

void PrintJson(const CImage& image) {
    std::printf("{\"width\":%d,\"height\":%d,\"loop\":%s,\"frames\":[",
                static_cast<int>(image.colorInfo->header.width),
                static_cast<int>(image.colorInfo->header.height), Loops(image) ? "true" : "false");
    for (const CImage* f = &image;; f = f->next) {
        if (f != &image) std::printf(",");
        std::printf("{\"index\":%d,\"left\":%d,\"top\":%d,\"width\":%d,\"height\":%d,"
                    "\"delay_ms\":%d,\"transparent_index\":",
                    f->frameIndex, static_cast<int>(f->left), static_cast<int>(f->top),
                    static_cast<int>(f->width), static_cast<int>(f->height),
                    static_cast<int>(f->delayMs));
        if (f->transparentIndex >= 0) {
            std::printf("%d", f->transparentIndex);
        } else {
            std::printf("null");
        }
        std::printf(",\"indices_fnv1a64\":\"%016" PRIx64 "\"}", HashIndices(*f));
        if ((f->flags & IMAGE_LAST) || !f->next) break;
    }
    std::printf("]}\n");
}

void PrintText(const CImage& image) {
    std::printf("screen %dx%d, %s\n", static_cast<int>(image.colorInfo->header.width),
                static_cast<int>(image.colorInfo->header.height),
                Loops(image) ? "looping" : "not looping");
    for (const CImage* f = &image;; f = f->next) {
        std::printf("frame %d: %dx%d at %d,%d, %d ms", f->frameIndex, static_cast<int>(f->width),
                    static_cast<int>(f->height), static_cast<int>(f->left),
                    static_cast<int>(f->top), static_cast<int>(f->delayMs));
        if (f->transparentIndex >= 0) std::printf(", transparent %d", f->transparentIndex);
        std::printf(", indices %016" PRIx64 "\n", HashIndices(*f));
        if ((f->flags & IMAGE_LAST) || !f->next) break;
    }
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
