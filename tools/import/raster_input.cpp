// Reads JPEG, WebP and BMP pictures through libgd, which reads them with
// libjpeg-turbo and libwebp. Each file's size is taken from its header and
// checked against the limits before anything is decoded.
#include "picture.h"

#include <gd.h>

#include <cstdarg>
#include <cstring>

namespace {

// libgd reports damaged data as notices; the importer says what failed itself.
void Quiet(int, const char*, va_list) {}

uint32_t Be16(const uint8_t* p) {
    return uint32_t{p[0]} << 8 | p[1];
}
uint32_t Le16(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8;
}
uint32_t Le24(const uint8_t* p) {
    return Le16(p) | uint32_t{p[2]} << 16;
}
uint32_t Le32(const uint8_t* p) {
    return Le24(p) | uint32_t{p[3]} << 24;
}

// The size a JPEG's frame header gives; false when there is none.
bool JpegSize(const uint8_t* data, size_t size, int64_t* width, int64_t* height) {
    size_t at = 2;
    while (at + 4 <= size) {
        if (data[at] != 0xFF) return false;
        const uint8_t marker = data[at + 1];
        if (marker == 0xFF) {
            ++at; // fill byte
            continue;
        }
        if (marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
            at += 2;
            continue;
        }
        const uint32_t length = Be16(data + at + 2);
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (at + 9 > size || length < 7) return false;
            *height = Be16(data + at + 5);
            *width = Be16(data + at + 7);
            return true;
        }
        if (length < 2) return false;
        at += 2 + length;
    }
    return false;
}

// The size a WebP's first chunk gives; `animated` for an animation.
bool WebpSize(const uint8_t* data, size_t size, int64_t* width, int64_t* height, bool* animated) {
    if (size < 30) return false;
    const uint8_t* chunk = data + 12;
    if (std::memcmp(chunk, "VP8X", 4) == 0) {
        *animated = (chunk[8] & 0x02) != 0;
        *width = int64_t{Le24(chunk + 12)} + 1;
        *height = int64_t{Le24(chunk + 15)} + 1;
        return true;
    }
    if (std::memcmp(chunk, "VP8 ", 4) == 0) {
        *width = Le16(chunk + 14) & 0x3FFF;
        *height = Le16(chunk + 16) & 0x3FFF;
        return true;
    }
    if (std::memcmp(chunk, "VP8L", 4) == 0 && chunk[8] == 0x2F) {
        const uint32_t bits = Le32(chunk + 9);
        *width = int64_t{bits & 0x3FFF} + 1;
        *height = int64_t{(bits >> 14) & 0x3FFF} + 1;
        return true;
    }
    return false;
}

// The size a BMP's header gives (a negative height is a picture stored top row first).
bool BmpSize(const uint8_t* data, size_t size, int64_t* width, int64_t* height) {
    if (size < 26) return false;
    const uint32_t header = Le32(data + 14);
    if (header == 12) {
        *width = Le16(data + 18);
        *height = Le16(data + 20);
        return true;
    }
    const int32_t w = static_cast<int32_t>(Le32(data + 18));
    const int32_t h = static_cast<int32_t>(Le32(data + 22));
    *width = w < 0 ? -int64_t{w} : w;
    *height = h < 0 ? -int64_t{h} : h;
    return true;
}

} // namespace

bool IsJpeg(const uint8_t* data, size_t size) {
    return size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}

bool IsWebp(const uint8_t* data, size_t size) {
    return size >= 12 && std::memcmp(data, "RIFF", 4) == 0 && std::memcmp(data + 8, "WEBP", 4) == 0;
}

bool IsBmp(const uint8_t* data, size_t size) {
    return size >= 18 && data[0] == 'B' && data[1] == 'M';
}

bool ReadRaster(const uint8_t* data, size_t size, const PictureLimits& limits, Animation* out,
                std::string* error) {
    int64_t width = 0, height = 0;
    bool animated = false;
    const char* kind = IsJpeg(data, size) ? "JPEG" : IsWebp(data, size) ? "WebP" : "BMP";
    const bool sized = IsJpeg(data, size)   ? JpegSize(data, size, &width, &height)
                       : IsWebp(data, size) ? WebpSize(data, size, &width, &height, &animated)
                                            : BmpSize(data, size, &width, &height);
    if (!sized) {
        *error = std::string("not a readable ") + kind + " picture (no picture size in its header)";
        return false;
    }
    if (animated) {
        *error = "an animated WebP is not read: save its frames as PNG files and import those";
        return false;
    }
    if (width == 0 || height == 0) {
        *error = "the picture has no pixels";
        return false;
    }
    const std::string over = PictureLimitError(limits, width, height, 1);
    if (!over.empty()) {
        *error = over;
        return false;
    }
    gdSetErrorMethod(Quiet);
    void* bytes = const_cast<uint8_t*>(data);
    const int length = static_cast<int>(size);
    gdImagePtr image = IsJpeg(data, size)   ? gdImageCreateFromJpegPtrEx(length, bytes, 1)
                       : IsWebp(data, size) ? gdImageCreateFromWebpPtr(length, bytes)
                                            : gdImageCreateFromBmpPtr(length, bytes);
    if (!image) {
        *error = std::string("not a readable ") + kind + " picture";
        return false;
    }
    const int w = gdImageSX(image), h = gdImageSY(image);
    if (int64_t{w} != width || int64_t{h} != height) {
        gdImageDestroy(image);
        *error = std::string("not a readable ") + kind + " picture (its header and data disagree)";
        return false;
    }
    RgbaFrame frame;
    frame.rgba.resize(static_cast<size_t>(w) * h * 4);
    const int transparent = gdImageTrueColor(image) ? -1 : gdImageGetTransparent(image);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint8_t* p = &frame.rgba[(static_cast<size_t>(y) * w + x) * 4];
            const int c = gdImageGetPixel(image, x, y);
            if (gdImageTrueColor(image)) {
                p[0] = static_cast<uint8_t>(gdTrueColorGetRed(c));
                p[1] = static_cast<uint8_t>(gdTrueColorGetGreen(c));
                p[2] = static_cast<uint8_t>(gdTrueColorGetBlue(c));
                // libgd's alpha runs from 0 (opaque) to 127 (transparent).
                p[3] = static_cast<uint8_t>(255 - (gdTrueColorGetAlpha(c) * 255 + 63) / 127);
            } else {
                p[0] = static_cast<uint8_t>(gdImageRed(image, c));
                p[1] = static_cast<uint8_t>(gdImageGreen(image, c));
                p[2] = static_cast<uint8_t>(gdImageBlue(image, c));
                p[3] = c == transparent ? 0 : 255;
            }
        }
    }
    gdImageDestroy(image);
    out->width = w;
    out->height = h;
    out->loops = false;
    out->frames.clear();
    out->frames.push_back(std::move(frame));
    return true;
}
