// Reads PNG and animated PNG pictures. Each frame of an animated PNG is put
// back together as a PNG of its own (the file's header with the frame's size,
// its colour chunks and the frame's data) and decoded by libpng, then
// composited with the frame's disposal and blending.
#include "picture.h"

#include <png.h>
#include <zlib.h>

#include <cstring>

namespace {

const uint8_t SIGNATURE[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

uint32_t Be32(const uint8_t* p) {
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}
uint16_t Be16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] << 8 | p[1]);
}
void PutBe32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

void PutChunk(std::vector<uint8_t>& out, const char* type, const uint8_t* data, size_t size) {
    PutBe32(out, static_cast<uint32_t>(size));
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    if (size) out.insert(out.end(), data, data + size);
    uLong crc = crc32(0L, out.data() + start, static_cast<uInt>(size + 4));
    PutBe32(out, static_cast<uint32_t>(crc));
}

// Decodes one PNG stream to RGBA.
bool DecodePng(const uint8_t* data, size_t size, const PictureLimits& limits, int* width,
               int* height, std::vector<uint8_t>* rgba, std::string* error) {
    png_image image;
    std::memset(&image, 0, sizeof(image));
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data, size)) {
        *error = std::string("not a readable PNG (") + image.message + ")";
        png_image_free(&image);
        return false;
    }
    const std::string over = PictureLimitError(limits, image.width, image.height, 1);
    if (!over.empty()) {
        *error = over;
        png_image_free(&image);
        return false;
    }
    image.format = PNG_FORMAT_RGBA;
    rgba->assign(PNG_IMAGE_SIZE(image), 0);
    if (!png_image_finish_read(&image, nullptr, rgba->data(), 0, nullptr)) {
        *error = std::string("broken PNG data (") + image.message + ")";
        png_image_free(&image);
        return false;
    }
    *width = static_cast<int>(image.width);
    *height = static_cast<int>(image.height);
    return true;
}

struct ApngFrame {
    uint32_t width, height, left, top;
    uint16_t delayNumerator, delayDenominator;
    uint8_t dispose, blend;
    std::vector<uint8_t> data; // the frame's compressed image data
};

// Source-over blending of one RGBA pixel onto another.
void BlendOver(uint8_t* dest, const uint8_t* source) {
    const int sa = source[3];
    if (sa == 255) {
        std::memcpy(dest, source, 4);
        return;
    }
    if (sa == 0) return;
    const int da = dest[3] * (255 - sa) / 255;
    const int a = sa + da;
    for (int c = 0; c < 3; ++c) dest[c] = static_cast<uint8_t>((source[c] * sa + dest[c] * da) / a);
    dest[3] = static_cast<uint8_t>(a);
}

} // namespace

bool IsPng(const uint8_t* data, size_t size) {
    return size >= 8 && std::memcmp(data, SIGNATURE, 8) == 0;
}

bool ReadPng(const uint8_t* data, size_t size, const PictureLimits& limits, Animation* out,
             std::string* error) {
    if (!IsPng(data, size)) {
        *error = "not a PNG file";
        return false;
    }
    // Walk the chunks: the header, the chunks before the image data, and the
    // animation's control and data chunks.
    std::vector<uint8_t> header;
    std::vector<uint8_t> colorChunks; // whole chunks between the header and the data
    bool animated = false;
    uint32_t plays = 0;
    bool dataSeen = false;
    bool defaultIsFrame = false;
    std::vector<ApngFrame> frames;
    size_t position = 8;
    while (position + 12 <= size) {
        const uint32_t length = Be32(data + position);
        if (length > size - position - 12) break;
        const char* type = reinterpret_cast<const char*>(data + position + 4);
        const uint8_t* body = data + position + 8;
        const size_t whole = size_t{length} + 12;
        if (std::memcmp(type, "IHDR", 4) == 0 && length == 13) {
            header.assign(body, body + 13);
        } else if (std::memcmp(type, "acTL", 4) == 0 && length == 8 && !dataSeen) {
            animated = true;
            plays = Be32(body + 4);
        } else if (std::memcmp(type, "fcTL", 4) == 0 && length == 26) {
            ApngFrame frame = {Be32(body + 4),  Be32(body + 8),  Be32(body + 12),
                               Be32(body + 16), Be16(body + 20), Be16(body + 22),
                               body[24],        body[25],        {}};
            if (!dataSeen && frames.empty()) defaultIsFrame = true;
            if (static_cast<int64_t>(frames.size()) >= limits.maxFrames) {
                *error = PictureLimitError(limits, 1, 1, limits.maxFrames + 1);
                return false;
            }
            frames.push_back(std::move(frame));
        } else if (std::memcmp(type, "IDAT", 4) == 0) {
            dataSeen = true;
            if (defaultIsFrame && frames.size() == 1)
                frames[0].data.insert(frames[0].data.end(), body, body + length);
        } else if (std::memcmp(type, "fdAT", 4) == 0 && length >= 4) {
            if (!frames.empty() && !(defaultIsFrame && frames.size() == 1))
                frames.back().data.insert(frames.back().data.end(), body + 4, body + length);
        } else if (std::memcmp(type, "IEND", 4) == 0) {
            break;
        } else if (!dataSeen && !header.empty()) {
            colorChunks.insert(colorChunks.end(), data + position, data + position + whole);
        }
        position += whole;
    }

    if (!animated || frames.empty()) {
        int width = 0, height = 0;
        std::vector<uint8_t> rgba;
        if (!DecodePng(data, size, limits, &width, &height, &rgba, error)) return false;
        out->width = width;
        out->height = height;
        out->loops = false;
        out->frames.clear();
        out->frames.push_back({std::move(rgba), 0});
        return true;
    }
    if (header.size() != 13) {
        *error = "the animated PNG has no header";
        return false;
    }
    const uint32_t width = Be32(header.data());
    const uint32_t height = Be32(header.data() + 4);
    if (width == 0 || height == 0) {
        *error = "the picture has no pixels";
        return false;
    }
    // Refused before any frame is decoded: the header gives the size of every frame.
    const std::string over =
        PictureLimitError(limits, width, height, static_cast<int64_t>(frames.size()));
    if (!over.empty()) {
        *error = over;
        return false;
    }
    const int64_t pixels = int64_t{width} * height;

    out->width = static_cast<int>(width);
    out->height = static_cast<int>(height);
    out->loops = plays != 1;
    out->frames.clear();
    std::vector<uint8_t> canvas(static_cast<size_t>(pixels) * 4, 0);
    std::vector<uint8_t> saved;
    for (size_t i = 0; i < frames.size(); ++i) {
        const ApngFrame& frame = frames[i];
        const std::string name = "frame " + std::to_string(i + 1);
        if (frame.width == 0 || frame.height == 0 || frame.left > width ||
            frame.width > width - frame.left || frame.top > height ||
            frame.height > height - frame.top) {
            *error = name + " lies outside the picture";
            return false;
        }
        std::vector<uint8_t> stream(SIGNATURE, SIGNATURE + 8);
        uint8_t frameHeader[13];
        std::memcpy(frameHeader, header.data(), 13);
        for (int b = 0; b < 4; ++b) {
            frameHeader[b] = static_cast<uint8_t>(frame.width >> (24 - 8 * b));
            frameHeader[4 + b] = static_cast<uint8_t>(frame.height >> (24 - 8 * b));
        }
        PutChunk(stream, "IHDR", frameHeader, 13);
        stream.insert(stream.end(), colorChunks.begin(), colorChunks.end());
        PutChunk(stream, "IDAT", frame.data.data(), frame.data.size());
        PutChunk(stream, "IEND", nullptr, 0);
        int frameWidth = 0, frameHeight = 0;
        std::vector<uint8_t> rgba;
        std::string why;
        if (!DecodePng(stream.data(), stream.size(), limits, &frameWidth, &frameHeight, &rgba,
                       &why)) {
            *error = name + ": " + why;
            return false;
        }
        // The first frame cannot go back to what was before it: it is cleared instead.
        const int dispose = i == 0 && frame.dispose == 2 ? 1 : frame.dispose;
        if (dispose == 2) saved = canvas;
        for (uint32_t y = 0; y < frame.height; ++y) {
            uint8_t* dest = canvas.data() + (int64_t{frame.top + y} * width + frame.left) * 4;
            const uint8_t* source = rgba.data() + int64_t{y} * frame.width * 4;
            if (frame.blend == 0) {
                std::memcpy(dest, source, size_t{frame.width} * 4);
            } else {
                for (uint32_t x = 0; x < frame.width; ++x) BlendOver(dest + 4 * x, source + 4 * x);
            }
        }
        const int denominator = frame.delayDenominator ? frame.delayDenominator : 100;
        const int delayMs = (frame.delayNumerator * 1000 + denominator / 2) / denominator;
        out->frames.push_back({canvas, delayMs});
        if (dispose == 1) {
            for (uint32_t y = 0; y < frame.height; ++y) {
                std::memset(canvas.data() + (int64_t{frame.top + y} * width + frame.left) * 4, 0,
                            size_t{frame.width} * 4);
            }
        } else if (dispose == 2) {
            canvas.swap(saved);
        }
    }
    return true;
}
