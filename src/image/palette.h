// Module palettes for displays with a hardware palette, and the palettizing
// mode that counts the colours of every decoded pixel and writes the 256 most
// frequent ones as a module's palette file.
#pragma once

#include <cstddef>
#include <cstdint>

struct ColorEntry;

constexpr uint16_t PALETTE_VERSION = 0x0300;
constexpr int PALETTE_ENTRIES = 256;
constexpr int PALETTE_FILE_BYTES = 4 + 4 * PALETTE_ENTRIES; // 1028
constexpr int DEFAULT_PALETTE_ENTRIES = 216;
constexpr int HISTOGRAM_KEYS = 65536;

// One palette entry as a logical palette holds it: red, green, blue, flags.
struct PaletteEntry {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
    uint8_t flags;
};

// A logical palette: version, number of entries, the entries.
struct LogicalPalette {
    uint16_t version;
    uint16_t count;
    PaletteEntry entries[PALETTE_ENTRIES];
};

// The palette file name of a module: "256COL%02d.PAL".
void PaletteFileName(char* buffer, size_t size, int32_t module);

// Reads the palette file at `path` into `palette` and returns 1; when there is
// no such file, `path` is not a regular file (which is never opened), or the
// file holds no complete entry, builds the default colour cube and returns 0.
// The entry count is kept to what the file holds, at most 256.
int ReadPaletteFile(const char* path, LogicalPalette* palette);
// The default palette: the 6 x 6 x 6 cube of the levels 0, 51, ... 255, red
// changing slowest and blue fastest.
void BuildDefaultPalette(LogicalPalette* palette);

// The palettizing mode's colour counts: each decoded pixel counted under the
// 5-6-5 key of its colour, kept until the palette file is written.
class ColorHistogram {
  public:
    ColorHistogram() = default;
    ~ColorHistogram();
    ColorHistogram(const ColorHistogram&) = delete;
    ColorHistogram& operator=(const ColorHistogram&) = delete;

    // Counts each index of `row` under the key of its colour in `colors`.
    void Add(const ColorEntry* colors, const uint8_t* row, int length);
    // True while counted colours wait for `Palettize`.
    bool Active() const { return counts != nullptr; }
    // Writes the 256 most frequent colours counted so far as the palette file
    // of `module` in the current folder, with a message before and after, then
    // drops the counts. Does nothing when nothing has been counted.
    void Palettize(int32_t module);
    // Drops the counts without writing anything.
    void Discard();

  private:
    uint32_t* counts = nullptr;
};
