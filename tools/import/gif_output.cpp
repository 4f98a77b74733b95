// Writes the imported picture through giflib in the form the saver's loader
// takes: a 256-entry global table, no local tables, one transparent index.
#include "picture.h"

#include <gif_lib.h>

#include <cstdio>

namespace {

int WriteFile(GifFileType* gif, const GifByteType* data, int count) {
    auto* out = static_cast<std::FILE*>(gif->UserData);
    return static_cast<int>(std::fwrite(data, 1, static_cast<size_t>(count), out));
}

} // namespace

bool EncodeGif(const IndexedAnimation& picture, std::FILE* out, std::string* error) {
    int code = 0;
    GifFileType* gif = EGifOpen(out, WriteFile, &code);
    if (!gif) {
        *error = GifErrorString(code) ? GifErrorString(code) : "cannot write the GIF";
        return false;
    }
    EGifSetGifVersion(gif, true);
    GifColorType colors[256];
    for (int i = 0; i < 256; ++i) {
        colors[i] = {picture.palette[3 * i], picture.palette[3 * i + 1],
                     picture.palette[3 * i + 2]};
    }
    ColorMapObject* map = GifMakeMapObject(256, colors);
    bool ok = map && EGifPutScreenDesc(gif, picture.width, picture.height, 8, 0, map) != GIF_ERROR;
    GifFreeMapObject(map);
    if (ok && picture.loops && picture.frames.size() > 1) {
        static const GifByteType LOOP_FOREVER[3] = {1, 0, 0};
        ok = EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) != GIF_ERROR &&
             EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0") != GIF_ERROR &&
             EGifPutExtensionBlock(gif, 3, LOOP_FOREVER) != GIF_ERROR &&
             EGifPutExtensionTrailer(gif) != GIF_ERROR;
    }
    for (size_t i = 0; ok && i < picture.frames.size(); ++i) {
        // Each frame covers the whole picture; viewers clear it before the next.
        GraphicsControlBlock control;
        control.DisposalMode = DISPOSE_BACKGROUND;
        control.UserInputFlag = false;
        control.DelayTime = (picture.delayMs[i] + 5) / 10;
        control.TransparentColor = picture.transparent ? TRANSPARENT_INDEX : NO_TRANSPARENT_COLOR;
        GifByteType extension[4];
        EGifGCBToExtension(&control, extension);
        ok =
            EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension) != GIF_ERROR &&
            EGifPutImageDesc(gif, 0, 0, picture.width, picture.height, false, nullptr) != GIF_ERROR;
        std::vector<GifPixelType> row(static_cast<size_t>(picture.width));
        for (int y = 0; ok && y < picture.height; ++y) {
            const uint8_t* indices =
                picture.frames[i].data() + static_cast<size_t>(y) * picture.width;
            row.assign(indices, indices + picture.width);
            ok = EGifPutLine(gif, row.data(), picture.width) != GIF_ERROR;
        }
    }
    if (!ok)
        *error = GifErrorString(gif->Error) ? GifErrorString(gif->Error) : "cannot write the GIF";
    int closeError = 0;
    if (EGifCloseFile(gif, &closeError) == GIF_ERROR && ok) {
        *error = GifErrorString(closeError) ? GifErrorString(closeError) : "cannot write the GIF";
        ok = false;
    }
    return ok;
}
