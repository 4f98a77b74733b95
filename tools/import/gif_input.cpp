// Reads any GIF through giflib record by record, so that the size of every
// frame is checked before memory is taken for it, and composites the frames
// with their disposal methods as a viewer shows them.
#include "picture.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>

namespace {

struct MemoryInput {
    const uint8_t* data;
    size_t size;
    size_t position;
};

int ReadMemory(GifFileType* gif, GifByteType* buffer, int count) {
    auto* input = static_cast<MemoryInput*>(gif->UserData);
    size_t n = std::min(static_cast<size_t>(count), input->size - input->position);
    std::memcpy(buffer, input->data + input->position, n);
    input->position += n;
    return static_cast<int>(n);
}

struct GifCloser {
    GifFileType* gif;
    ~GifCloser() {
        int error = 0;
        if (gif) DGifCloseFile(gif, &error);
    }
};

std::string GifError(int code) {
    const char* text = GifErrorString(code);
    return text ? text : "unreadable data";
}

std::string FrameText(size_t index) {
    return "frame " + std::to_string(index + 1);
}

} // namespace

bool IsGif(const uint8_t* data, size_t size) {
    return size >= 6 &&
           (std::memcmp(data, "GIF87a", 6) == 0 || std::memcmp(data, "GIF89a", 6) == 0);
}

bool ReadGif(const uint8_t* data, size_t size, const PictureLimits& limits, Animation* out,
             std::string* error) {
    MemoryInput input = {data, size, 0};
    int code = 0;
    GifCloser closer = {DGifOpen(&input, ReadMemory, &code)};
    GifFileType* gif = closer.gif;
    if (!gif) {
        *error = "not a readable GIF (" + GifError(code) + ")";
        return false;
    }

    struct Frame {
        int left, top, width, height;
        std::vector<uint8_t> indices;
        std::vector<uint8_t> colors; // RGB, the frame's table
        int transparent;
        int disposal;
        int delayMs;
    };
    std::vector<Frame> frames;
    GraphicsControlBlock control = {DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
    bool loops = false;
    int canvasWidth = gif->SWidth;
    int canvasHeight = gif->SHeight;

    for (;;) {
        GifRecordType record;
        if (DGifGetRecordType(gif, &record) == GIF_ERROR) {
            // Data that ends without a trailer after whole frames ends the animation.
            if (!frames.empty() && gif->Error == D_GIF_ERR_READ_FAILED) break;
            *error = "unreadable after " + std::to_string(frames.size()) + " frames (" +
                     GifError(gif->Error) + ")";
            return false;
        }
        if (record == TERMINATE_RECORD_TYPE) break;
        if (record == EXTENSION_RECORD_TYPE) {
            int label = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif, &label, &block) == GIF_ERROR) {
                *error = "broken extension block (" + GifError(gif->Error) + ")";
                return false;
            }
            bool first = true;
            bool netscape = false;
            while (block) {
                if (label == GRAPHICS_EXT_FUNC_CODE && first) {
                    DGifExtensionToGCB(block[0], block + 1, &control);
                } else if (label == APPLICATION_EXT_FUNC_CODE && first) {
                    netscape = block[0] == 11 && (std::memcmp(block + 1, "NETSCAPE2.0", 11) == 0 ||
                                                  std::memcmp(block + 1, "ANIMEXTS1.0", 11) == 0);
                } else if (netscape && block[0] >= 3 && block[1] == 1) {
                    loops = true;
                }
                first = false;
                if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) {
                    *error = "broken extension block (" + GifError(gif->Error) + ")";
                    return false;
                }
            }
            continue;
        }
        if (record != IMAGE_DESC_RECORD_TYPE) continue;

        // The header only: giflib's DGifGetImageDesc also keeps a growing
        // record of every frame, which this reader has no use for.
        if (DGifGetImageHeader(gif) == GIF_ERROR) {
            *error = FrameText(frames.size()) + " is unreadable (" + GifError(gif->Error) + ")";
            return false;
        }
        Frame frame;
        frame.left = gif->Image.Left;
        frame.top = gif->Image.Top;
        frame.width = gif->Image.Width;
        frame.height = gif->Image.Height;
        const int64_t pixels = int64_t{frame.width} * frame.height;
        // The picture only grows with each frame: what is over the limits
        // now stays over them, and is refused before the frame is read.
        canvasWidth = std::max(canvasWidth, frame.left + frame.width);
        canvasHeight = std::max(canvasHeight, frame.top + frame.height);
        const std::string over = PictureLimitError(limits, canvasWidth, canvasHeight,
                                                   static_cast<int64_t>(frames.size()) + 1);
        if (!over.empty()) {
            *error = over;
            return false;
        }
        const ColorMapObject* map = gif->Image.ColorMap ? gif->Image.ColorMap : gif->SColorMap;
        if (!map) {
            *error = FrameText(frames.size()) + " has no colour table";
            return false;
        }
        frame.colors.assign(256 * 3, 0); // indices past the table show black
        for (int i = 0; i < map->ColorCount && i < 256; ++i) {
            frame.colors[3 * i] = map->Colors[i].Red;
            frame.colors[3 * i + 1] = map->Colors[i].Green;
            frame.colors[3 * i + 2] = map->Colors[i].Blue;
        }
        frame.transparent = control.TransparentColor;
        frame.disposal = control.DisposalMode;
        frame.delayMs = control.DelayTime * 10;
        control = {DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};

        frame.indices.resize(static_cast<size_t>(pixels));
        static const int START[] = {0, 4, 2, 1};
        static const int STEP[] = {8, 8, 4, 2};
        if (pixels == 0) {
            // An empty frame: its image data is passed over.
            int codeSize = 0;
            GifByteType* block = nullptr;
            if (DGifGetCode(gif, &codeSize, &block) == GIF_ERROR) block = nullptr;
            while (block && DGifGetCodeNext(gif, &block) != GIF_ERROR) {
            }
        }
        const bool interlaced = gif->Image.Interlace;
        for (int pass = 0; pass < (interlaced ? 4 : 1); ++pass) {
            for (int y = interlaced ? START[pass] : 0; y < frame.height;
                 y += interlaced ? STEP[pass] : 1) {
                if (frame.width > 0 &&
                    DGifGetLine(gif, frame.indices.data() + int64_t{y} * frame.width,
                                frame.width) == GIF_ERROR) {
                    *error = FrameText(frames.size()) + " has broken image data (" +
                             GifError(gif->Error) + ")";
                    return false;
                }
            }
        }
        frames.push_back(std::move(frame));
    }
    if (frames.empty()) {
        *error = "no frame in the file";
        return false;
    }
    const int64_t canvasPixels = int64_t{canvasWidth} * canvasHeight;
    if (canvasPixels == 0) {
        *error = "the picture has no pixels";
        return false;
    }

    out->width = canvasWidth;
    out->height = canvasHeight;
    out->loops = loops;
    out->frames.clear();
    std::vector<uint8_t> canvas(static_cast<size_t>(canvasPixels) * 4, 0);
    std::vector<uint8_t> saved;
    for (Frame& frame : frames) {
        if (frame.disposal == DISPOSE_PREVIOUS) saved = canvas;
        for (int y = 0; y < frame.height; ++y) {
            const uint8_t* row = frame.indices.data() + int64_t{y} * frame.width;
            uint8_t* dest = canvas.data() + (int64_t{frame.top + y} * canvasWidth + frame.left) * 4;
            for (int x = 0; x < frame.width; ++x, dest += 4) {
                if (row[x] == frame.transparent) continue;
                std::memcpy(dest, &frame.colors[3 * row[x]], 3);
                dest[3] = 255;
            }
        }
        out->frames.push_back({canvas, frame.delayMs});
        if (frame.disposal == DISPOSE_BACKGROUND) {
            // Viewers clear to transparent rather than to the background colour.
            for (int y = 0; y < frame.height; ++y) {
                std::memset(canvas.data() + (int64_t{frame.top + y} * canvasWidth + frame.left) * 4,
                            0, static_cast<size_t>(frame.width) * 4);
            }
        } else if (frame.disposal == DISPOSE_PREVIOUS) {
            canvas.swap(saved);
        }
        std::vector<uint8_t>().swap(frame.indices); // composited: no longer needed
    }
    return true;
}
