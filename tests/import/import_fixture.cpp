#include "import_fixture.h"

#include "app/glimmora_context.h"
#include "image/image.h"
#include "platform/headless/headless.h"

#include <png.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

void ImportFixture::SetUp() {
    HeadlessClearMessages();
}

int ImportFixture::Tool(const std::string& args) {
    // A tool that hangs is stopped, and the test fails, rather than waiting for ever.
    return RunCommand("cd '" + dir.Path() + "' && timeout -s KILL 300 '" + GLIMMORA_TOOL + "' " +
                      args + " >tool.out 2>tool.err");
}

void ImportFixture::Shell(const std::string& command) {
    ASSERT_EQ(RunCommand("cd '" + dir.Path() + "' && " + command), 0) << command;
}

long ImportFixture::PeakMemoryKb(const std::string& args, int* status) {
    *status = RunCommand("cd '" + dir.Path() + "' && '" + GLIMMORA_PEAK_MEMORY +
                         "' \"timeout -s KILL 300 '" + GLIMMORA_TOOL + "' " + args +
                         " >tool.out 2>tool.err\" >peak.txt");
    const std::string peak = ReadFileText(dir.File("peak.txt"));
    return peak.empty() ? -1 : std::atol(peak.c_str());
}

Rgba ReadPngFile(const std::string& path) {
    Rgba out;
    png_image image;
    std::memset(&image, 0, sizeof(image));
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        ADD_FAILURE() << path << ": " << image.message;
        return out;
    }
    image.format = PNG_FORMAT_RGBA;
    out.pixels.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, out.pixels.data(), 0, nullptr)) {
        ADD_FAILURE() << path << ": " << image.message;
        return {};
    }
    out.width = static_cast<int>(image.width);
    out.height = static_cast<int>(image.height);
    return out;
}

std::vector<Rgba> CoalescedFrames(const TempDir& dir, const std::string& picture) {
    std::string pattern = dir.File("coalesced-%03d.png");
    EXPECT_EQ(RunCommand("convert '" + dir.File(picture) + "' -coalesce 'PNG32:" + pattern + "'"),
              0);
    std::vector<Rgba> frames;
    for (int i = 0;; ++i) {
        char name[32];
        std::snprintf(name, sizeof(name), "coalesced-%03d.png", i);
        std::string path = dir.File(name);
        std::FILE* file = std::fopen(path.c_str(), "rb");
        if (!file) break;
        std::fclose(file);
        frames.push_back(ReadPngFile(path));
    }
    return frames;
}

LoadedGif LoadGif(const std::string& path) {
    LoadedGif out;
    HeadlessClearMessages();
    // A context of its own: the image is decoded afresh, never copied.
    auto ctx = std::make_unique<GlimmoraContext>();
    CImage image;
    out.loaded = image.LoadImage(path.c_str(), ctx->images) == 1;
    for (const HeadlessMessage& m : HeadlessMessages()) out.messages.push_back(m.text);
    if (!out.loaded) return out;
    const int width = image.colorInfo->header.width, height = image.colorInfo->header.height;
    for (const CImage* f = &image;; f = f->next) {
        Rgba frame;
        frame.width = width;
        frame.height = height;
        frame.pixels.assign(static_cast<size_t>(width) * height * 4, 0);
        for (int y = 0; y < f->height; ++y) {
            const int row = f->height - 1 - y; // bottom-up
            const uint8_t* indices = f->pixels + int64_t{row} * f->Stride();
            const uint8_t* mask = f->mask ? f->mask + int64_t{row} * f->MaskStride() : nullptr;
            for (int x = 0; x < f->width; ++x) {
                if (mask && (mask[x >> 3] & (0x80 >> (x & 7)))) continue;
                const int sx = f->left + x, sy = f->top + y;
                if (sx >= width || sy >= height) continue;
                const ColorEntry& c = f->colorInfo->colors[indices[x]];
                uint8_t* p = &frame.pixels[(static_cast<size_t>(sy) * width + sx) * 4];
                p[0] = c.red;
                p[1] = c.green;
                p[2] = c.blue;
                p[3] = 255;
            }
        }
        out.frames.push_back(std::move(frame));
        out.delaysMs.push_back(f->delayMs);
        if ((f->flags & IMAGE_LAST) || !f->next) {
            out.loops = f->next == &image;
            break;
        }
    }
    image.Release();
    return out;
}

std::vector<Rgba> CropVisible(std::vector<Rgba> frames) {
    int left = INT32_MAX, top = INT32_MAX, right = -1, bottom = -1;
    for (Rgba& f : frames) {
        for (int y = 0; y < f.height; ++y) {
            for (int x = 0; x < f.width; ++x) {
                uint8_t* p = &f.pixels[(static_cast<size_t>(y) * f.width + x) * 4];
                if (p[3] < 128) {
                    std::memset(p, 0, 4);
                    continue;
                }
                p[3] = 255;
                left = std::min(left, x);
                top = std::min(top, y);
                right = std::max(right, x);
                bottom = std::max(bottom, y);
            }
        }
    }
    if (right < 0) left = top = right = bottom = 0;
    for (Rgba& f : frames) {
        Rgba cut;
        cut.width = right - left + 1;
        cut.height = bottom - top + 1;
        for (int y = top; y <= bottom; ++y) {
            const uint8_t* row = &f.pixels[(static_cast<size_t>(y) * f.width + left) * 4];
            cut.pixels.insert(cut.pixels.end(), row, row + cut.width * 4);
        }
        f = std::move(cut);
    }
    return frames;
}

namespace {

// Calls `visit(difference)` for every channel of every visible pixel; false
// when the frames differ in size or in which pixels are visible.
template <typename Visit> bool Compare(const Rgba& a, const Rgba& b, Visit visit) {
    if (a.width != b.width || a.height != b.height || a.pixels.size() != b.pixels.size())
        return false;
    for (size_t p = 0; p < a.pixels.size(); p += 4) {
        if ((a.pixels[p + 3] >= 128) != (b.pixels[p + 3] >= 128)) return false;
        if (a.pixels[p + 3] < 128) continue;
        for (int c = 0; c < 3; ++c) visit(std::abs(a.pixels[p + c] - b.pixels[p + c]));
    }
    return true;
}

} // namespace

int MaxDifference(const Rgba& a, const Rgba& b) {
    int most = 0;
    if (!Compare(a, b, [&](int d) { most = std::max(most, d); })) return 1000;
    return most;
}

double MeanDifference(const Rgba& a, const Rgba& b) {
    double sum = 0;
    long count = 0;
    if (!Compare(a, b, [&](int d) {
            sum += d;
            ++count;
        }))
        return 1000;
    return count ? sum / count : 0;
}
