// Reads arbitrary bytes as a module's palette file through the view, as
// loading a module does, and checks what it holds: the file's complete
// entries (at most its count, at most 256), or the default colour cube.
#include "app/glimmora_context.h"
#include "image/palette.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static char path[64];
    if (!path[0]) std::snprintf(path, sizeof(path), "/tmp/glimmora-palette-fuzz-%d.PAL", getpid());
    std::FILE* out = std::fopen(path, "wb");
    if (!out) return 0;
    std::fwrite(data, 1, size, out);
    std::fclose(out);

    // One context serves every input: making one costs more than most inputs.
    static const std::unique_ptr<GlimmoraContext> ctx = std::make_unique<GlimmoraContext>();
    std::memset(&ctx->view.palette, 0xA5, sizeof(ctx->view.palette));
    const LogicalPalette& palette = ctx->view.palette;
    const int read = ctx->view.LoadPalette(path);
    std::remove(path);

    const size_t complete = size < 4 ? 0 : (size - 4) / 4;
    const int declared = size < 4 ? 0 : data[2] | data[3] << 8;
    if (read) {
        if (palette.count < 1 || palette.count > PALETTE_ENTRIES || palette.count > complete ||
            palette.count > declared)
            std::abort();
        if (palette.version != (data[0] | data[1] << 8)) std::abort();
        if (std::memcmp(palette.entries, data + 4, 4 * size_t{palette.count}) != 0) std::abort();
        for (int i = palette.count; i < PALETTE_ENTRIES; ++i) {
            const PaletteEntry& e = palette.entries[i];
            if (e.red || e.green || e.blue || e.flags) std::abort();
        }
    } else {
        LogicalPalette cube;
        BuildDefaultPalette(&cube);
        if (std::memcmp(&palette, &cube, sizeof(cube)) != 0) std::abort();
    }
    return 0;
}
