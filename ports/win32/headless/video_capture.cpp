// The headless video output of Windows test builds: the presented picture is
// kept in memory as on other systems and written as an uncompressed PNG; the
// fonts are the GDI fonts of the saver (text_win32.cpp).
#include "platform/headless/headless_video.h"
#include "platform/video.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

HeadlessPicture screen;
int presentCount = 0;
HeadlessRect lastPresent;
bool fontsAvailable = true;

uint32_t crcTable[256];

uint32_t Crc(const uint8_t* data, size_t size, uint32_t crc = 0xFFFFFFFFu) {
    if (crcTable[1] == 0) {
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            crcTable[n] = c;
        }
    }
    for (size_t i = 0; i < size; ++i) crc = crcTable[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return crc;
}

void PutBE32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

void Chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    PutBE32(out, static_cast<uint32_t>(data.size()));
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBE32(out, Crc(out.data() + start, out.size() - start) ^ 0xFFFFFFFFu);
}

} // namespace

void VidPresent(const uint32_t* pixels, int32_t width, int32_t height, const VidRect* rects,
                int count) {
    if (!pixels || width <= 0 || height <= 0) return;
    ++presentCount;
    // The last present is kept as the bounding rectangle of what it copied.
    lastPresent = HeadlessCopyRects(screen, pixels, width, height, rects, count);
}

const HeadlessPicture& HeadlessScreen() {
    return screen;
}

uint32_t HeadlessScreenPixel(int32_t x, int32_t y) {
    if (x < 0 || y < 0 || x >= screen.width || y >= screen.height) return 0;
    return screen.pixels[static_cast<size_t>(y) * screen.width + x];
}

int HeadlessPresentCount() {
    return presentCount;
}

HeadlessRect HeadlessLastPresent() {
    return lastPresent;
}

void HeadlessResetVideo() {
    screen = HeadlessPicture();
    presentCount = 0;
    lastPresent = HeadlessRect();
}

// An 8-bit RGB PNG whose image data is zlib-wrapped in stored (uncompressed)
// blocks: no compression library is needed.
int HeadlessWritePng(const char* path) {
    if (!path || screen.width <= 0 || screen.height <= 0) return 0;
    std::vector<uint8_t> raw;
    const size_t rowBytes = static_cast<size_t>(screen.width) * 3 + 1;
    raw.reserve(rowBytes * static_cast<size_t>(screen.height));
    for (int32_t y = 0; y < screen.height; ++y) {
        raw.push_back(0); // no filter
        for (int32_t x = 0; x < screen.width; ++x) {
            uint32_t p = screen.pixels[static_cast<size_t>(y) * screen.width + x];
            raw.push_back(static_cast<uint8_t>(p >> 16));
            raw.push_back(static_cast<uint8_t>(p >> 8));
            raw.push_back(static_cast<uint8_t>(p));
        }
    }
    std::vector<uint8_t> z = {0x78, 0x01};
    uint32_t a = 1;
    uint32_t b = 0;
    for (uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    for (size_t pos = 0; pos < raw.size() || pos == 0; pos += 65535) {
        size_t n = std::min<size_t>(65535, raw.size() - pos);
        z.push_back(pos + n >= raw.size() ? 1 : 0);
        z.push_back(static_cast<uint8_t>(n));
        z.push_back(static_cast<uint8_t>(n >> 8));
        z.push_back(static_cast<uint8_t>(~n));
        z.push_back(static_cast<uint8_t>(~n >> 8));
        z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(pos),
                 raw.begin() + static_cast<std::ptrdiff_t>(pos + n));
        if (raw.empty()) break;
    }
    PutBE32(z, (b << 16) | a);

    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    PutBE32(header, static_cast<uint32_t>(screen.width));
    PutBE32(header, static_cast<uint32_t>(screen.height));
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8-bit RGB
    Chunk(png, "IHDR", header);
    Chunk(png, "IDAT", z);
    Chunk(png, "IEND", {});
    std::FILE* file = std::fopen(path, "wb");
    if (!file) return 0;
    bool ok = std::fwrite(png.data(), 1, png.size(), file) == png.size();
    ok = std::fclose(file) == 0 && ok;
    return ok ? 1 : 0;
}

// The fonts are Windows' own; a font folder that does not exist stands for a
// system without fonts, as it does on other systems.
void HeadlessSetFontDirectory(const char* path) {
    std::error_code error;
    fontsAvailable = !path || std::filesystem::is_directory(path, error);
}

bool HeadlessFontsAvailable() {
    return fontsAvailable;
}
