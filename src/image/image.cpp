#include "image/image.h"

#include "base/error_sink.h"
#include "base/file_checks.h"
#include "image/gamma.h"
#include "image/gif_reader.h"
#include "image/screen_frame.h"

#include <cctype>
#include <cstring>
#include <new>

namespace {

const char* const UNSUPPORTED_FORMAT = "Unsupported image format";
const char* const NOT_8_BIT = "GIF file has no global color table or is not 8 bit";
const char* const LOCAL_TABLE = "GIF frame has a local color table instead of the global one";
const char* const NO_FRAME = "GIF file has no image in it";
const char* const PICTURE_LIMIT = "Picture memory limit of %lld MiB reached: %s";

// What a load counts for each block it allocates.
constexpr int64_t RECORD_COST = BlockCost(sizeof(CImage));
constexpr int64_t TABLES_COST = BlockCost(sizeof(ColorInfo)) + BlockCost(sizeof(ColorEntry) * 256) +
                                BlockCost(sizeof(MaskInfo));
constexpr int64_t COPY_TABLE_COST = BlockCost(sizeof(ColorInfo));

bool HasGifExtension(const char* path) {
    const char* dot = std::strrchr(path, '.');
    if (!dot || std::strlen(dot) != 4) return false;
    const char* gif = ".GIF";
    for (int i = 0; i < 4; ++i) {
        if (std::toupper(static_cast<unsigned char>(dot[i])) != gif[i]) return false;
    }
    return true;
}

void FillHeader(BitmapHeader& header, int32_t width, int32_t height, uint16_t bitCount,
                uint32_t colorsUsed) {
    header = {};
    header.size = sizeof(BitmapHeader);
    header.width = width;
    header.height = height;
    header.planes = 1;
    header.bitCount = bitCount;
    header.colorsUsed = colorsUsed;
}

// Picture row of the i-th row stored in an interlaced frame: rows 0, 8, 16...,
// then 4, 12..., then 2, 6..., then the odd rows.
int InterlacedRow(int i, int height) {
    int pass1 = (height + 7) / 8;
    if (i < pass1) return i * 8;
    i -= pass1;
    int pass2 = (height + 3) / 8;
    if (i < pass2) return 4 + i * 8;
    i -= pass2;
    int pass3 = (height + 1) / 4;
    if (i < pass3) return 2 + i * 4;
    i -= pass3;
    return 1 + i * 2;
}

void Report(ErrorSink* errors, const char* format, const char* text) {
    if (errors) errors->ReportErrorF(format, text);
}

// An allocation failed while loading `path`.
void OutOfMemory(ErrorSink* errors, const char* where, const char* path) {
    if (errors) errors->ReportErrorF("Out of memory: %s %s", where, path);
}

void ReportThemeLimit(ErrorSink* errors, const MemoryBudget& budget, const char* path) {
    if (errors) errors->ReportErrorF(THEME_LIMIT_FORMAT, budget.LimitMiB(), path);
}

// Takes `bytes` for what the load of `path` is about to allocate: within what
// one picture may hold (`held` so far) and within the module's budget. False
// after reporting the limit that stops the load.
bool TakeForLoad(ImageContext& images, const char* path, int64_t* held, int64_t bytes) {
    if (bytes > images.imageByteLimit - *held) {
        if (images.errors)
            images.errors->ReportErrorF(PICTURE_LIMIT,
                                        static_cast<long long>(images.imageByteLimit >> 20), path);
        return false;
    }
    if (images.budget && !images.budget->Take(bytes)) {
        ReportThemeLimit(images.errors, *images.budget, path);
        return false;
    }
    *held += bytes;
    return true;
}

// What a copy of a cached image takes: its colour table and a record per frame.
int64_t CopyCost(const CImage& cached) {
    int64_t cost = COPY_TABLE_COST + RECORD_COST;
    for (const CImage* f = &cached; !(f->flags & IMAGE_LAST) && f->next; f = f->next)
        cost += RECORD_COST;
    return cost;
}

// "<what> <path>": a file the loader refuses.
void Refuse(ErrorSink* errors, const char* what, const char* path) {
    if (errors) errors->ReportErrorF("%s %s", what, path);
}

void FreeOwnedFrameData(CImage* frame) {
    if (!(frame->flags & IMAGE_SHARED)) {
        delete[] frame->pixels;
        delete[] frame->mask;
        FreeScreenFrame(*frame);
    }
    frame->screen = nullptr;
    frame->pixels = nullptr;
    frame->mask = nullptr;
    frame->maskBytes = 0;
}

} // namespace

CImage* ImageContext::Load(const char* path) {
    CImage* image = new (std::nothrow) CImage;
    if (!image) {
        OutOfMemory(errors, "CImage::LoadImage()", path);
        return nullptr;
    }
    if (!image->LoadImage(path, *this)) {
        delete image; // a failed load leaves the record empty
        return nullptr;
    }
    if (!cache.Adopt(image)) {
        if (budget) budget->Give(image->HeldBytes());
        image->Release();
        delete image;
        OutOfMemory(errors, "CImage::LoadImage()", path);
        return nullptr;
    }
    return image;
}

void ImageContext::Discard(CImage* image) {
    const int64_t held = image ? image->HeldBytes() : 0;
    if (cache.Discard(image) && budget) budget->Give(held);
}

void ImageContext::ConvertLoaded() {
    for (int i = 0; i < cache.OwnedCount(); ++i) {
        CImage* image = cache.Owned(i);
        if (!(image->flags & IMAGE_SHARED)) ConvertForScreen(*image);
    }
    // A copy made before the conversion takes its picture's converted frames,
    // frame by frame: its chain is the picture's.
    for (int i = 0; i < cache.OwnedCount(); ++i) {
        CImage* copy = cache.Owned(i);
        if (!(copy->flags & IMAGE_SHARED) || !copy->fileName) continue;
        const CImage* source = cache.Find(copy->fileName);
        for (CImage* frame = copy; source && frame;) {
            frame->screen = source->pixels == frame->pixels ? source->screen : nullptr;
            if ((frame->flags & IMAGE_LAST) || !frame->next) break;
            frame = frame->next;
            source = (source->flags & IMAGE_LAST) ? nullptr : source->next;
        }
    }
}

void ImageContext::ConvertForScreen(CImage& image) {
    if (pictureScale <= 0) return;
    for (CImage* frame = &image; frame;) {
        if (!frame->screen || frame->screen->scale != pictureScale) {
            // A frame converted at another scale gives its memory back first.
            if (frame->screen) {
                if (budget) budget->Give(frame->screen->bytes);
                screenFrameBytes -= frame->screen->bytes;
                FreeScreenFrame(*frame);
            }
            const int64_t bytes = ScreenFrameBytes(*frame, pictureScale);
            // Beyond the limit the frames stay as decoded: drawn more slowly, but drawn.
            if (bytes > 0 && ChargeScreenFrames(bytes) &&
                !ConvertScreenFrame(*frame, pictureScale)) {
                if (budget) budget->Give(bytes);
                screenFrameBytes -= bytes;
            }
        }
        if ((frame->flags & IMAGE_LAST) || !frame->next) break;
        frame = frame->next;
    }
}

bool ImageContext::ChargeScreenFrames(int64_t bytes) {
    if (budget ? !budget->Take(bytes) : bytes > screenFrameLimit - screenFrameBytes) return false;
    screenFrameBytes += bytes;
    return true;
}

int64_t ImageContext::PixelMemory(int32_t scale) const {
    int64_t total = 0;
    for (int i = 0; i < cache.OwnedCount(); ++i) {
        const CImage* image = cache.Owned(i);
        if (image->flags & IMAGE_SHARED) continue; // its pixels are another image's
        for (const CImage* frame = image; frame;) {
            if (frame->pixels) total += BlockCost(frame->pixelBytes);
            if (frame->mask) total += BlockCost(frame->maskBytes);
            if (scale > 0) {
                total += frame->screen && frame->screen->scale == scale
                             ? frame->screen->bytes
                             : ScreenFrameBytes(*frame, scale);
            }
            if ((frame->flags & IMAGE_LAST) || !frame->next) break;
            frame = frame->next;
        }
    }
    return total;
}

void ImageContext::Reset() {
    cache.Reset();
    histogram.Discard();
    screenFrameBytes = 0;
}

int CImage::LoadImage(const char* path, ImageContext& images) {
    ErrorSink* errors = images.errors;
    if (CImage* cached = images.cache.Find(path)) {
        const int64_t cost = CopyCost(*cached);
        if (images.budget && !images.budget->Fits(cost)) {
            ReportThemeLimit(errors, *images.budget, path);
            return 0;
        }
        if (!CopyFrom(*cached)) {
            OutOfMemory(errors, "CImage::LoadImage()", path);
            return 0;
        }
        if (images.budget) images.budget->Take(cost);
        return 1;
    }
    // Checked before anything opens the name: a FIFO would wait for a writer.
    if (ExistsButNotAFile(path)) {
        Report(errors, NOT_A_FILE_FORMAT, path);
        return 0;
    }

    // The first record, its colour tables and its name come first.
    const bool named = images.cache.NamedCount() < IMAGE_CACHE_SIZE;
    const size_t n = std::strlen(path);
    int64_t held = 0;
    if (!TakeForLoad(images, path, &held,
                     RECORD_COST + TABLES_COST + (named ? BlockCost(n + 1) : 0)))
        return 0;
    auto fail = [&] {
        ResetAfterFailure();
        if (images.budget) images.budget->Give(held);
        return 0;
    };
    if (named) {
        fileName = new (std::nothrow) char[n + 1];
        if (!fileName) {
            OutOfMemory(errors, "CImage::LoadImage()", path);
            return fail();
        }
        std::memcpy(fileName, path, n + 1);
        images.cache.AddNamed(this);
        cache = &images.cache;
    }

    if (!HasGifExtension(path)) {
        Refuse(errors, UNSUPPORTED_FORMAT, path);
        return fail();
    }
    CGifReader reader;
    uint8_t table[768] = {};
    int screenWidth = 0, screenHeight = 0, packed = 0, background = 0;
    if (!reader.Open(path, table, &screenWidth, &screenHeight, &packed, &background)) {
        Report(errors, "File Not Found: %s", path);
        return fail();
    }
    if (!(packed & GIF_PACKED_GLOBAL_TABLE)) {
        Refuse(errors, NOT_8_BIT, path);
        return fail();
    }
    ApplyGammaCurve(table, images.gammaSetting);

    colorInfo = new (std::nothrow) ColorInfo;
    loadedColors = new (std::nothrow) ColorEntry[256];
    if (!colorInfo || !loadedColors) {
        OutOfMemory(errors, "CImage::LoadImage()", path);
        return fail();
    }
    FillHeader(colorInfo->header, screenWidth, screenHeight, 8, 256);
    for (int i = 0; i < 256; ++i) {
        // Made once and stored twice: reading back the bytes just stored one
        // by one would wait for them.
        const ColorEntry entry = {table[3 * i + 2], table[3 * i + 1], table[3 * i], 0};
        colorInfo->colors[i] = entry;
        loadedColors[i] = entry;
    }
    maskInfo = new (std::nothrow) MaskInfo;
    if (!maskInfo) {
        OutOfMemory(errors, "CImage::LoadImage()", path);
        return fail();
    }
    FillHeader(maskInfo->header, screenWidth, screenHeight, 1, 2);
    maskInfo->colors[0] = {0, 0, 0, 0};
    maskInfo->colors[1] = {255, 255, 255, 0};

    reader.ReadBlock();
    int result = ReadNextImage(reader, reader.Looping(), this, 0, images, &held);
    reader.Close();
    if (result == 0) return 1;
    // Only a trailer, a graphic control extension not followed by an image, or
    // data cut off before the first frame.
    if (result == 2) Refuse(errors, NO_FRAME, path);
    return fail();
}

int CImage::ReadNextImage(CGifReader& reader, bool looping, CImage* first, int index,
                          ImageContext& images, int64_t* held) {
    ErrorSink* errors = images.errors;
    CImage* frame = this;
    CImage* previous = nullptr;
    for (;;) {
        int result = frame->ReadFrame(reader, first, index, held, images);
        if (result != 0) {
            if (frame == this) return result;
            // The record made for a frame that failed or was not there holds nothing.
            previous->next = nullptr;
            delete frame;
            if (result == 1) {
                FreeFrames();
                return 1;
            }
            // A graphic control extension with no image behind it: the record
            // taken for it is given back.
            *held -= RECORD_COST;
            if (images.budget) images.budget->Give(RECORD_COST);
            frame = previous;
            break;
        }
        if (!reader.IsGraphicControl() && !reader.IsImageDescriptor()) break;
        if (!TakeForLoad(images, reader.Path(), held, RECORD_COST)) {
            FreeFrames();
            return 1;
        }
        CImage* following = new (std::nothrow) CImage;
        if (!following) {
            OutOfMemory(errors, "CImage::ReadNextImage()", reader.Path());
            FreeFrames();
            return 1;
        }
        frame->next = following;
        previous = frame;
        frame = following;
        ++index;
    }
    // An application extension met anywhere before the first frame also loops.
    frame->flags |= IMAGE_LAST;
    frame->next = looping || reader.Looping() ? first : nullptr;
    return 0;
}

int CImage::ReadFrame(CGifReader& reader, CImage* first, int index, int64_t* held,
                      ImageContext& images) {
    ErrorSink* errors = images.errors;
    frameIndex = static_cast<uint16_t>(index);
    flags = this == first ? IMAGE_FIRST : 0;
    colorInfo = first->colorInfo;
    loadedColors = first->loadedColors;
    maskInfo = first->maskInfo;
    delayMs = DEFAULT_FRAME_DELAY_MS;
    compression = 0;
    pixels = nullptr;
    mask = nullptr;
    maskBytes = 0;
    next = nullptr;
    screen = nullptr;
    brightness = first->brightness;
    transparentIndex = -1;
    bool transparent = false;

    if (reader.IsGraphicControl()) {
        int packed = 0, index8 = 0, delay = 0;
        reader.GetGraphicControl(&packed, &index8, &delay);
        delayMs = delay * 10;
        if (packed & GIF_GCE_TRANSPARENT) {
            transparent = true;
            transparentIndex = static_cast<int16_t>(index8);
        }
        reader.ReadBlock();
    }
    if (!reader.IsImageDescriptor()) return 2;

    int packed = 0;
    reader.BeginImage(&left, &top, &width, &height, &packed);
    if (packed & GIF_DESCRIPTOR_LOCAL_TABLE) {
        Refuse(errors, LOCAL_TABLE, reader.Path());
        return 1;
    }
    // The pixels and the mask are taken before either is allocated.
    const int32_t stride = Stride();
    const int64_t bytes = int64_t{stride} * height;
    const int64_t maskCost = transparent ? BlockCost(int64_t{MaskStride()} * height) : 0;
    if (!TakeForLoad(images, reader.Path(), held, BlockCost(bytes) + maskCost)) return 1;
    pixelBytes = static_cast<int32_t>(bytes);
    pixels = new (std::nothrow) uint8_t[static_cast<size_t>(bytes)];
    if (!pixels) {
        OutOfMemory(errors, "CImage::ReadNextImage()", reader.Path());
        return 1;
    }

    // Pixels the image data does not reach (truncated or malformed data) show
    // the transparent colour when the frame has one, else colour 0.
    const uint8_t fill = static_cast<uint8_t>(transparent ? transparentIndex : 0);
    const bool interlaced = (packed & GIF_DESCRIPTOR_INTERLACED) != 0;
    for (int i = 0; i < height; ++i) {
        int row = interlaced ? InterlacedRow(i, height) : i;
        uint8_t* dest = pixels + int64_t{height - 1 - row} * stride;
        int n = reader.ReadPixels(dest, width);
        if (images.exportPalettes && n > 0) images.histogram.Add(loadedColors, dest, n);
        if (n < width) std::memset(dest + n, fill, static_cast<size_t>(width - n));
        if (stride > width) std::memset(dest + width, 0, static_cast<size_t>(stride - width));
    }
    if (transparent && !CreateTransMask(pixels, transparentIndex)) {
        OutOfMemory(errors, "CImage::CreateTransMask()", reader.Path());
        delete[] pixels; // the frame's record is deleted without freeing them
        pixels = nullptr;
        return 1;
    }

    reader.EndImage();
    reader.ReadBlock();
    return 0;
}

int CImage::CreateTransMask(const uint8_t* framePixels, int transparentColor) {
    const int32_t maskStride = MaskStride();
    const int64_t bytes = int64_t{maskStride} * height;
    mask = new (std::nothrow) uint8_t[static_cast<size_t>(bytes)];
    if (!mask) {
        maskBytes = 0;
        return 0;
    }
    maskBytes = static_cast<uint32_t>(bytes);
    std::memset(mask, 0, static_cast<size_t>(bytes));
    const int32_t stride = Stride();
    const uint8_t key = static_cast<uint8_t>(transparentColor);
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* p = framePixels + int64_t{y} * stride;
        uint8_t* m = mask + int64_t{y} * maskStride;
        // Eight pixels to a mask byte, without a branch per pixel.
        int32_t j = 0;
        for (; j + 8 <= width; j += 8) {
            unsigned bits = 0;
            for (int k = 0; k < 8; ++k) bits |= static_cast<unsigned>(p[j + k] == key) << (7 - k);
            m[j >> 3] = static_cast<uint8_t>(bits);
        }
        for (; j < width; ++j) {
            if (p[j] == key) m[j >> 3] |= static_cast<uint8_t>(0x80 >> (j & 7));
        }
    }
    return 1;
}

int CImage::CopyFrom(const CImage& cached) {
    *this = cached;
    flags |= IMAGE_SHARED;
    next = nullptr;
    colorInfo = new (std::nothrow) ColorInfo;
    if (!colorInfo) {
        *this = CImage();
        return 0;
    }
    std::memcpy(colorInfo, cached.colorInfo, sizeof(ColorInfo));

    CImage* copy = this;
    const CImage* source = &cached;
    while (!(source->flags & IMAGE_LAST) && source->next) {
        source = source->next;
        CImage* record = new (std::nothrow) CImage(*source);
        if (!record) {
            delete colorInfo;
            FreeFrames();
            *this = CImage();
            return 0;
        }
        record->flags |= IMAGE_SHARED;
        record->colorInfo = colorInfo;
        record->next = nullptr;
        copy->next = record;
        copy = record;
    }
    // The copy loops back to its own first record when the cached image loops.
    copy->flags |= IMAGE_LAST;
    copy->next = source->next ? this : nullptr;
    return 1;
}

void CImage::Release() {
    if ((flags & IMAGE_FIRST) && !(flags & IMAGE_SHARED) && cache) cache->RemoveNamed(this);
    if (flags & IMAGE_FIRST) {
        delete colorInfo;
        if (!(flags & IMAGE_SHARED)) {
            delete maskInfo;
            delete[] loadedColors;
            delete[] fileName;
        }
        colorInfo = nullptr;
        maskInfo = nullptr;
        loadedColors = nullptr;
        fileName = nullptr;
    }
    cache = nullptr;
    FreeFrames();
}

int64_t CImage::HeldBytes() const {
    int64_t total = 0;
    for (const CImage* record = this;; record = record->next) {
        total += RECORD_COST;
        if (!(record->flags & IMAGE_SHARED)) {
            if (record->pixels) total += BlockCost(record->pixelBytes);
            if (record->mask) total += BlockCost(record->maskBytes);
            if (record->screen) total += record->screen->bytes;
        }
        if ((record->flags & IMAGE_LAST) || !record->next) break;
    }
    if (colorInfo) total += BlockCost(sizeof(ColorInfo));
    if (!(flags & IMAGE_SHARED)) {
        if (loadedColors) total += BlockCost(sizeof(ColorEntry) * 256);
        if (maskInfo) total += BlockCost(sizeof(MaskInfo));
        if (fileName) total += BlockCost(static_cast<int64_t>(std::strlen(fileName)) + 1);
    }
    return total;
}

void CImage::FreeFrames() {
    CImage* record = next;
    bool reachedLast = (flags & IMAGE_LAST) != 0;
    FreeOwnedFrameData(this);
    next = nullptr;
    while (record && !reachedLast) {
        CImage* following = record->next;
        reachedLast = (record->flags & IMAGE_LAST) != 0;
        FreeOwnedFrameData(record);
        delete record;
        record = following;
    }
}

void CImage::ResetAfterFailure() {
    if (cache) cache->RemoveNamed(this);
    FreeFrames();
    delete colorInfo;
    delete[] loadedColors;
    delete maskInfo;
    delete[] fileName;
    *this = CImage();
}

void CImage::SetBrightness(int percent) {
    if (!(flags & IMAGE_FIRST) || !colorInfo || !loadedColors) return;
    if (percent < 0) percent = 0;
    if (percent > 100) percent = 100;
    for (int i = 0; i < 256; ++i) {
        ColorEntry& c = colorInfo->colors[i];
        c.blue = static_cast<uint8_t>(loadedColors[i].blue * percent / 100);
        c.green = static_cast<uint8_t>(loadedColors[i].green * percent / 100);
        c.red = static_cast<uint8_t>(loadedColors[i].red * percent / 100);
    }
    for (CImage* frame = this; frame;) {
        frame->brightness = static_cast<int16_t>(percent);
        if (frame->flags & IMAGE_LAST) break;
        frame = frame->next;
    }
}

int CImage::FrameBefore(int ms, int index) const {
    // From this record on: add its delay and step on, until the record reached
    // is the last or the one asked for (so frame 0 is met again after the
    // last frame of a loop). A still without a successor adds nothing.
    int64_t total = 0;
    const CImage* record = this;
    while (record->next) {
        total += record->delayMs;
        record = record->next;
        if ((record->flags & IMAGE_LAST) || record->frameIndex == index) break;
    }
    int64_t t = total - ms;
    record = this;
    while (record->delayMs < t && record->next) {
        t -= record->delayMs;
        record = record->next;
    }
    return record->frameIndex;
}
