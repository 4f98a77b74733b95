#include "support/gif_writer.h"

#include <algorithm>
#include <unordered_map>

namespace {

class BitWriter {
  public:
    void Put(unsigned code, int size) {
        buffer |= static_cast<uint64_t>(code) << count;
        count += size;
        while (count >= 8) {
            out.push_back(static_cast<uint8_t>(buffer & 0xFF));
            buffer >>= 8;
            count -= 8;
        }
    }
    std::vector<uint8_t> Finish() {
        if (count > 0) out.push_back(static_cast<uint8_t>(buffer & 0xFF));
        count = 0;
        buffer = 0;
        return out;
    }

  private:
    std::vector<uint8_t> out;
    uint64_t buffer = 0;
    int count = 0;
};

void Put16(std::vector<uint8_t>& out, int value) {
    out.push_back(static_cast<uint8_t>(value & 0xFF));
    out.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
}

} // namespace

std::vector<uint8_t> LzwEncode(const std::vector<uint8_t>& indices, const LzwOptions& options) {
    const int minSize = options.minCodeSize;
    const unsigned clear = 1u << minSize;
    const unsigned end = clear + 1;
    BitWriter writer;
    std::unordered_map<uint32_t, unsigned> table;
    unsigned nextCode = clear + 2;
    int size = minSize + 1;
    auto reset = [&] {
        table.clear();
        nextCode = clear + 2;
        size = minSize + 1;
    };
    if (options.initialClear) writer.Put(clear, size);
    if (indices.empty()) {
        if (options.endCode) writer.Put(end, size);
        return writer.Finish();
    }
    unsigned current = indices[0] & (clear - 1);
    for (size_t i = 1; i < indices.size(); ++i) {
        unsigned byte = indices[i] & (clear - 1);
        uint32_t key = current << 8 | byte;
        auto found = table.find(key);
        if (found != table.end()) {
            current = found->second;
            continue;
        }
        writer.Put(current, size);
        if (nextCode < 4096) {
            table.emplace(key, nextCode++);
            if (nextCode > (1u << size) && size < 12) ++size;
        }
        if (nextCode == 4096 && options.clearWhenFull) {
            writer.Put(clear, size);
            reset();
        }
        current = byte;
    }
    writer.Put(current, size);
    if (options.endCode) {
        // The decoder adds an entry for the last code too; follow its code size.
        if (nextCode < 4096 && nextCode + 1 > (1u << size) && size < 12 && !table.empty()) ++size;
        writer.Put(end, size);
    }
    return writer.Finish();
}

std::vector<uint8_t> SubBlocks(const std::vector<uint8_t>& data, int size) {
    std::vector<uint8_t> out;
    for (size_t pos = 0; pos < data.size(); pos += static_cast<size_t>(size)) {
        size_t n = std::min(static_cast<size_t>(size), data.size() - pos);
        out.push_back(static_cast<uint8_t>(n));
        out.insert(out.end(), data.begin() + static_cast<long>(pos),
                   data.begin() + static_cast<long>(pos + n));
    }
    out.push_back(0);
    return out;
}

std::vector<uint8_t> TestColorTable() {
    std::vector<uint8_t> rgb(768);
    for (int i = 0; i < 256; ++i) {
        rgb[3 * i] = static_cast<uint8_t>(i);
        rgb[3 * i + 1] = static_cast<uint8_t>(255 - i);
        rgb[3 * i + 2] = static_cast<uint8_t>(i * 7);
    }
    return rgb;
}

GifBuilder::GifBuilder(int screenWidth, int screenHeight, int sizeBits, bool globalTable,
                       const std::string& signature) {
    bytes.assign(signature.begin(), signature.end());
    bytes.resize(6, ' ');
    Put16(bytes, screenWidth);
    Put16(bytes, screenHeight);
    bytes.push_back(static_cast<uint8_t>((globalTable ? 0x80 : 0) | 0x70 | (sizeBits & 7)));
    bytes.push_back(0); // background
    bytes.push_back(0); // aspect
    if (globalTable) {
        tableOffset = bytes.size();
        tableBytes = static_cast<size_t>(3) << ((sizeBits & 7) + 1);
        std::vector<uint8_t> rgb = TestColorTable();
        for (size_t i = 0; i < tableBytes; ++i) bytes.push_back(rgb[i % rgb.size()]);
    }
}

GifBuilder& GifBuilder::ColorTable(const std::vector<uint8_t>& rgb) {
    for (size_t i = 0; i < tableBytes && i < rgb.size(); ++i) bytes[tableOffset + i] = rgb[i];
    return *this;
}

GifBuilder& GifBuilder::Netscape(int loopCount) {
    std::vector<uint8_t> data = {1, static_cast<uint8_t>(loopCount & 0xFF),
                                 static_cast<uint8_t>((loopCount >> 8) & 0xFF)};
    return Application("NETSCAPE2.0", data);
}

GifBuilder& GifBuilder::Application(const std::string& identifier11,
                                    const std::vector<uint8_t>& data) {
    bytes.push_back(0x21);
    bytes.push_back(0xFF);
    bytes.push_back(static_cast<uint8_t>(identifier11.size()));
    bytes.insert(bytes.end(), identifier11.begin(), identifier11.end());
    std::vector<uint8_t> blocks = SubBlocks(data, 255);
    bytes.insert(bytes.end(), blocks.begin(), blocks.end());
    return *this;
}

GifBuilder& GifBuilder::Comment(const std::string& text) {
    bytes.push_back(0x21);
    bytes.push_back(0xFE);
    std::vector<uint8_t> blocks = SubBlocks(std::vector<uint8_t>(text.begin(), text.end()), 255);
    bytes.insert(bytes.end(), blocks.begin(), blocks.end());
    return *this;
}

GifBuilder& GifBuilder::PlainText(const std::string& text) {
    bytes.push_back(0x21);
    bytes.push_back(0x01);
    bytes.push_back(12);
    for (int i = 0; i < 12; ++i) bytes.push_back(static_cast<uint8_t>(i == 4 || i == 6 ? 8 : 0));
    std::vector<uint8_t> blocks = SubBlocks(std::vector<uint8_t>(text.begin(), text.end()), 255);
    bytes.insert(bytes.end(), blocks.begin(), blocks.end());
    return *this;
}

GifBuilder& GifBuilder::Control(int delay, int transparentIndex, int disposal) {
    bytes.push_back(0x21);
    bytes.push_back(0xF9);
    bytes.push_back(4);
    bytes.push_back(static_cast<uint8_t>((disposal & 7) << 2 | (transparentIndex >= 0 ? 1 : 0)));
    Put16(bytes, delay);
    bytes.push_back(static_cast<uint8_t>(transparentIndex >= 0 ? transparentIndex : 0));
    bytes.push_back(0);
    return *this;
}

GifBuilder& GifBuilder::Image(const GifImage& image) {
    std::vector<uint8_t> stored = image.indices;
    if (image.interlaced) {
        stored.clear();
        static const int START[4] = {0, 4, 2, 1};
        static const int STEP[4] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass) {
            for (int row = START[pass]; row < image.height; row += STEP[pass]) {
                auto from = image.indices.begin() + static_cast<long>(row) * image.width;
                stored.insert(stored.end(), from, from + image.width);
            }
        }
    }
    int packed = (image.interlaced ? 0x40 : 0) | (image.localTable ? 0x87 : 0);
    bytes.push_back(0x2C);
    Put16(bytes, image.left);
    Put16(bytes, image.top);
    Put16(bytes, image.width);
    Put16(bytes, image.height);
    bytes.push_back(static_cast<uint8_t>(packed));
    if (image.localTable) {
        std::vector<uint8_t> rgb = TestColorTable();
        std::reverse(rgb.begin(), rgb.end());
        bytes.insert(bytes.end(), rgb.begin(), rgb.end());
    }
    bytes.push_back(static_cast<uint8_t>(image.lzw.minCodeSize));
    std::vector<uint8_t> blocks =
        SubBlocks(LzwEncode(stored, image.lzw), std::clamp(image.lzw.subBlockSize, 1, 255));
    bytes.insert(bytes.end(), blocks.begin(), blocks.end());
    return *this;
}

GifBuilder& GifBuilder::RawImage(int left, int top, int width, int height, int packed,
                                 int minCodeSize, const std::vector<uint8_t>& data) {
    bytes.push_back(0x2C);
    Put16(bytes, left);
    Put16(bytes, top);
    Put16(bytes, width);
    Put16(bytes, height);
    bytes.push_back(static_cast<uint8_t>(packed));
    bytes.push_back(static_cast<uint8_t>(minCodeSize));
    bytes.insert(bytes.end(), data.begin(), data.end());
    return *this;
}

GifBuilder& GifBuilder::Raw(const std::vector<uint8_t>& data) {
    bytes.insert(bytes.end(), data.begin(), data.end());
    return *this;
}

GifBuilder& GifBuilder::Trailer() {
    bytes.push_back(0x3B);
    return *this;
}

GifBuilder& GifBuilder::EmptyFrame(int width, int height) {
    // Codes 256 and 257 of 9 bits each, least significant bit first.
    return RawImage(0, 0, width, height, 0, 8, {3, 0x00, 0x03, 0x02, 0});
}

std::vector<uint8_t> GifBuilder::Bytes() const {
    return bytes;
}

std::vector<uint8_t> TestPicture(int width, int height, int seed, int colors) {
    std::vector<uint8_t> out(static_cast<size_t>(width) * static_cast<size_t>(height));
    uint32_t state = static_cast<uint32_t>(seed) * 2654435761u + 12345u;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            int value = (x / 3 + y / 5 + seed) % 40;
            int dx = x - width / 2, dy = y - height / 2;
            if (dx * dx + dy * dy < (width * width) / 16) value = 100 + (seed % 7);
            if ((x / 8 + y / 8) % 5 == 0) {
                state = state * 1103515245u + 12345u;
                value = static_cast<int>((state >> 16) % 256);
            }
            out[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] =
                static_cast<uint8_t>(value % colors);
        }
    }
    return out;
}

GifImage MakeImage(int width, int height, const std::vector<uint8_t>& indices,
                   const LzwOptions& lzw) {
    GifImage image;
    image.width = width;
    image.height = height;
    image.indices = indices;
    image.lzw = lzw;
    return image;
}

std::vector<uint8_t> SolidGif(int width, int height, uint8_t index) {
    GifImage picture =
        MakeImage(width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height, index));
    return GifBuilder(width, height).Image(picture).Trailer().Bytes();
}
