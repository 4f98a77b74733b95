// Feeds arbitrary bytes to the GIF loader through a file, as themes do, then
// walks, fades, copies and releases what was loaded.
#include "app/glimmora_context.h"
#include "image/image.h"
#include "ports/headless/headless_port.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

std::string InputPath() {
    static std::string path;
    if (path.empty()) {
        // A memory-backed folder when there is one: the loader reads a file per input.
        const char* tmp = std::getenv("TMPDIR");
        std::string folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        if (tmp && *tmp) folder = tmp;
        std::string pattern = folder + "/glimmora-fuzz-XXXXXX.gif";
        int fd = mkstemps(pattern.data(), 4);
        if (fd < 0) std::abort();
        close(fd);
        path = pattern;
        std::atexit([] { std::remove(path.c_str()); });
    }
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = InputPath();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    // One context serves every input: making one costs more than most inputs.
    static const std::unique_ptr<HeadlessPort> port = std::make_unique<HeadlessPort>();
    static const std::unique_ptr<GlimmoraContext> ctx =
        std::make_unique<GlimmoraContext>(port->Services());
    port->system.ClearMessages();
    ImageContext& images = ctx->images;
    images.imageByteLimit = 1 << 18; // big frames cost time, not coverage
    CImage* image = new CImage;
    if (image->LoadImage(path.c_str(), images)) {
        // Walk the chain as the engine and the drawing code do.
        int frames = 0;
        uint64_t sum = 0;
        for (const CImage* f = image;; f = f->next) {
            ++frames;
            if (f->pixelBytes > 0) sum += f->pixels[f->pixelBytes - 1];
            if (f->mask && f->maskBytes > 0) sum += f->mask[f->maskBytes - 1];
            if ((f->flags & IMAGE_LAST) || !f->next) break;
        }
        if (sum == 0xFFFFFFFFFFFFull) std::abort(); // keeps the reads
        image->SetBrightness(size % 101);
        image->FrameBefore(250, -1);
        image->FrameBefore(static_cast<int>(size % 1000), frames / 2);
        CImage* copy = new CImage;
        if (copy->LoadImage(path.c_str(), images)) copy->SetBrightness(50);
        copy->Release();
        delete copy;
    }
    image->Release();
    delete image;
    return 0;
}
