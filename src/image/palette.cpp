#include "image/palette.h"

#include "base/file_checks.h"
#include "base/files.h"
#include "image/image.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

void PaletteFileName(char* buffer, size_t size, int32_t module) {
    std::snprintf(buffer, size, "256COL%02d.PAL", static_cast<int>(module));
}

void BuildDefaultPalette(LogicalPalette* palette) {
    std::memset(palette, 0, sizeof(*palette));
    palette->version = PALETTE_VERSION;
    palette->count = DEFAULT_PALETTE_ENTRIES;
    int n = 0;
    for (int r = 0; r < 6; ++r) {
        for (int g = 0; g < 6; ++g) {
            for (int b = 0; b < 6; ++b) {
                PaletteEntry& e = palette->entries[n++];
                e.red = static_cast<uint8_t>(r * 51);
                e.green = static_cast<uint8_t>(g * 51);
                e.blue = static_cast<uint8_t>(b * 51);
                e.flags = 0;
            }
        }
    }
}

int ReadPaletteFile(const char* path, LogicalPalette* palette) {
    std::FILE* file = ExistsButNotAFile(path) ? nullptr : OpenFile(path, "rb");
    if (!file) {
        BuildDefaultPalette(palette);
        return 0;
    }
    uint8_t bytes[PALETTE_FILE_BYTES] = {};
    size_t n = std::fread(bytes, 1, sizeof(bytes), file);
    std::fclose(file);
    int available = n < 4 ? 0 : static_cast<int>((n - 4) / 4);
    int count = std::min({bytes[2] | bytes[3] << 8, available, PALETTE_ENTRIES});
    if (count == 0) {
        BuildDefaultPalette(palette);
        return 0;
    }
    std::memset(palette, 0, sizeof(*palette));
    palette->version = static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
    palette->count = static_cast<uint16_t>(count);
    for (int i = 0; i < count; ++i) {
        const uint8_t* p = bytes + 4 + 4 * i;
        palette->entries[i] = {p[0], p[1], p[2], p[3]};
    }
    return 1;
}

ColorHistogram::~ColorHistogram() {
    Discard();
}

void ColorHistogram::Add(const ColorEntry* colors, const uint8_t* row, int length) {
    if (!counts) {
        counts = new (std::nothrow) uint32_t[HISTOGRAM_KEYS]();
        if (!counts) return;
    }
    for (int i = 0; i < length; ++i) {
        const ColorEntry& c = colors[row[i]];
        unsigned key = (c.blue >> 3) << 11 | (c.green >> 2) << 5 | (c.red >> 3);
        ++counts[key];
    }
}

void ColorHistogram::Discard() {
    delete[] counts;
    counts = nullptr;
}

int ColorHistogram::Palettize(int32_t module) {
    if (!counts) return 0;

    char name[32];
    PaletteFileName(name, sizeof(name), module);
    std::FILE* file = OpenFile(name, "wb");
    if (!file) {
        // Nothing can be written; the counts are dropped all the same so that
        // the next release does not try again.
        Discard();
        return 0;
    }

    uint16_t picks[PALETTE_ENTRIES] = {};
    int counted = 0;
    for (int pick = 0; pick < PALETTE_ENTRIES; ++pick) {
        int best = 0;
        for (int key = 1; key < HISTOGRAM_KEYS; ++key) {
            if (counts[key] > counts[best]) best = key;
        }
        if (counts[best] == 0) break; // the rest stay key 0
        picks[counted++] = static_cast<uint16_t>(best);
        counts[best] = 0;
    }
    std::sort(picks, picks + counted);

    uint8_t bytes[PALETTE_FILE_BYTES] = {};
    bytes[0] = PALETTE_VERSION & 0xFF;
    bytes[1] = PALETTE_VERSION >> 8;
    bytes[2] = PALETTE_ENTRIES & 0xFF;
    bytes[3] = PALETTE_ENTRIES >> 8;
    for (int i = 0; i < PALETTE_ENTRIES; ++i) {
        unsigned key = picks[i];
        uint8_t* p = bytes + 4 + 4 * i;
        p[0] = static_cast<uint8_t>((key & 31) << 3);
        p[1] = static_cast<uint8_t>(((key >> 5) & 63) << 2);
        p[2] = static_cast<uint8_t>((key >> 11) << 3);
        p[3] = 0;
    }
    size_t written = std::fwrite(bytes, 1, sizeof(bytes), file);
    Discard();
    return std::fclose(file) == 0 && written == sizeof(bytes) ? 1 : 0;
}
