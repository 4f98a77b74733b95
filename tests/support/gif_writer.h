// Builds GIF files block by block for tests and benchmarks: any block order,
// LZW data with every code size and clearing style, and hand-made broken data.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct LzwOptions {
    int minCodeSize = 8;
    bool initialClear = true;  // begin the data with a clear code
    bool clearWhenFull = true; // clear when the table is full, else carry on (deferred clear)
    int subBlockSize = 255;    // data bytes per sub-block, 1 to 255
    bool endCode = true;       // end the data with the end code
};

// LZW-codes `indices` into a packed code stream (no sub-blocks).
std::vector<uint8_t> LzwEncode(const std::vector<uint8_t>& indices, const LzwOptions& options);
// Cuts `data` into sub-blocks of `size` bytes followed by the terminator.
std::vector<uint8_t> SubBlocks(const std::vector<uint8_t>& data, int size);

struct GifImage {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::vector<uint8_t> indices; // width * height, top row first
    bool interlaced = false;      // rows are stored in interlaced order
    bool localTable = false;      // writes a 256-entry local colour table
    LzwOptions lzw;
};

// A deterministic 256-entry colour table: entry i is (i, 255 - i, i * 7).
std::vector<uint8_t> TestColorTable();

class GifBuilder {
  public:
    // Header with a global colour table of 2^(sizeBits + 1) entries (none when
    // `globalTable` is false).
    explicit GifBuilder(int screenWidth, int screenHeight, int sizeBits = 7,
                        bool globalTable = true, const std::string& signature = "GIF89a");
    GifBuilder& ColorTable(const std::vector<uint8_t>& rgb); // replaces the global table's colours
    GifBuilder& Netscape(int loopCount);
    GifBuilder& Application(const std::string& identifier11, const std::vector<uint8_t>& data);
    GifBuilder& Comment(const std::string& text);
    GifBuilder& PlainText(const std::string& text);
    // Graphic control extension; a negative transparent index means none.
    GifBuilder& Control(int delay, int transparentIndex = -1, int disposal = 0);
    GifBuilder& Image(const GifImage& image);
    // Image descriptor with the code size byte and `data` as already sub-blocked bytes.
    GifBuilder& RawImage(int left, int top, int width, int height, int packed, int minCodeSize,
                         const std::vector<uint8_t>& data);
    GifBuilder& Raw(const std::vector<uint8_t>& data);
    // A frame whose data is a clear code and the end code: its pixels cost
    // the loader width x height bytes while the file grows by 17 bytes.
    GifBuilder& EmptyFrame(int width, int height);
    GifBuilder& Trailer();

    std::vector<uint8_t> Bytes() const;

  private:
    std::vector<uint8_t> bytes;
    size_t tableOffset = 0;
    size_t tableBytes = 0;
};

// Row-major indices of a test picture: a few shapes on a gradient, so that
// strings of many lengths occur.
std::vector<uint8_t> TestPicture(int width, int height, int seed = 0, int colors = 256);
