#include "display/ss_view.h"
#include "base/error_sink.h"
#include "base/file_checks.h"
#include "display/compose.h"
#include "image/image.h"
#include "image/screen_frame.h"
#include "platform/video.h"

#include <algorithm>
#include <cstddef>
#include <new>

int32_t FitPictureScale(int32_t width, int32_t height) {
    const int32_t scale = std::min(width / DESIGN_WIDTH, height / DESIGN_HEIGHT);
    return std::clamp(scale, 1, MAX_PICTURE_SCALE);
}

CSSView::~CSSView() {
    delete[] backBuffer;
    backBuffer = nullptr;
    delete[] tileCache.pixels;
    for (TextBanner& banner : banners) banner.Release();
}

void CSSView::SetSize(int32_t width, int32_t height) {
    screenWidth = width;
    screenHeight = height;
    xScale = static_cast<int32_t>(static_cast<int64_t>(width) * 256 / DESIGN_WIDTH);
    yScale = static_cast<int32_t>(static_cast<int64_t>(height) * 256 / DESIGN_HEIGHT);
}

void CSSView::SetPictureScale(int32_t scale) {
    pictureScale = std::clamp(scale, 1, MAX_PICTURE_SCALE);
}

int CSSView::Init(const void* saverWindow) {
    return Init(saverWindow, screenWidth, screenHeight);
}

int CSSView::Init(const void* saverWindow, int32_t width, int32_t height) {
    window = saverWindow;
    xScale = static_cast<int32_t>(static_cast<int64_t>(width) * 256 / DESIGN_WIDTH);
    yScale = static_cast<int32_t>(static_cast<int64_t>(height) * 256 / DESIGN_HEIGHT);
    isPaletteDevice = false;
    delete[] backBuffer;
    backBuffer = nullptr;
    bufferWidth = 0;
    bufferHeight = 0;
    updateRegion.Clear();
    if (width > 0 && height > 0 && width <= VIEW_MAX_SIDE && height <= VIEW_MAX_SIDE) {
        backBuffer = new (std::nothrow) uint32_t[static_cast<size_t>(width) * height];
    }
    if (!backBuffer) {
        if (errors) errors->ShowMessage("CSSView::Init() : Out of memory (IB)");
        return 0;
    }
    bufferWidth = width;
    bufferHeight = height;
    // The banners' fonts are made now rather than when the banner first shows,
    // so that nothing is allocated while the saver plays.
    for (TextBanner& banner : banners) {
        if (!banner.font) banner.SetFont(BANNER_FONT_SIZE, "Arial", false);
    }
    InvalidateAll();
    return 1;
}

void CSSView::Close() {
    window = nullptr;
    delete[] backBuffer;
    backBuffer = nullptr;
    bufferWidth = 0;
    bufferHeight = 0;
    updateRegion.Clear();
}

int CSSView::LoadPalette(const char* path) {
    hasPalette = true;
    if (errors && ExistsButNotAFile(path)) errors->ReportErrorF(NOT_A_FILE_FORMAT, path);
    return ReadPaletteFile(path, &palette);
}

void CSSView::SetBackgroundColor(uint32_t color) {
    backgroundImage = nullptr;
    backgroundColor = color;
}

void CSSView::SetBackgroundImage(CImage* image) {
    backgroundImage = image;
    // Room for the tile's pixels now, so that nothing is allocated while the
    // saver plays; the cache is filled at the next paint.
    tileCache.valid = false;
    tileCache.image = nullptr;
    if (!FrameDrawable(image)) return;
    if (image->screen && image->screen->scale == pictureScale) {
        // Tiled from its own converted rows: the cache is not needed.
        delete[] tileCache.pixels;
        tileCache.pixels = nullptr;
        tileCache.capacity = 0;
        return;
    }
    const int64_t pixels = static_cast<int64_t>(image->width) * pictureScale * image->height;
    if (pixels > tileCache.capacity && pixels <= TILE_CACHE_MAX_PIXELS) {
        delete[] tileCache.pixels;
        tileCache.pixels = new (std::nothrow) uint32_t[static_cast<size_t>(pixels)];
        tileCache.capacity = tileCache.pixels ? pixels : 0;
    }
}

int CSSView::AllocSlot() {
    for (int i = 0; i < MAX_SLOTS; ++i) {
        if (slots[i].frame == nullptr && slots[i].x == FREE_SLOT_X) {
            slots[i].x = 0;
            return i;
        }
    }
    return -1;
}

void CSSView::SetBanner(int number, int32_t x, int32_t y, const char* text) {
    if (number < 0 || number >= MAX_BANNERS) return;
    TextBanner& banner = banners[number];
    uint32_t color = BANNER_COLOR;
    if (!backgroundImage) {
        uint32_t red = backgroundColor & 0xFF;
        uint32_t green = (backgroundColor >> 8) & 0xFF;
        uint32_t blue = backgroundColor >> 16;
        if (3 * red + 6 * green + blue > BANNER_LIGHT_WEIGHT) color = BANNER_DARK_COLOR;
    }
    if (text && text[0]) {
        if (!banner.text[0] && !banner.font) banner.SetFont(BANNER_FONT_SIZE, "Arial", false);
        banner.SetText(*this, x, y, text, color);
    } else {
        banner.Clear(*this);
    }
}

void CSSView::Invalidate(const ViewRect& rect) {
    updateRegion.Add(RectIntersect(rect, {0, 0, bufferWidth, bufferHeight}));
}

void CSSView::InvalidateAll() {
    Invalidate({0, 0, bufferWidth, bufferHeight});
}

void CSSView::Compose() {
    if (!backBuffer) return;
    ComposeRegion(*this, updateRegion);
}

int CSSView::Paint(VidFrame* frame, VidRect* rects) {
    if (!backBuffer || updateRegion.Empty()) return 0;
    ComposeRegion(*this, updateRegion);
    // Only the region's own rectangles are shown, not their bounding box: a
    // few sprites far apart then cost what they cover.
    const int count = updateRegion.Count();
    for (int i = 0; i < count; ++i) {
        const ViewRect& r = updateRegion.Rect(i);
        rects[i] = {r.left, r.top, r.right, r.bottom};
    }
    *frame = {backBuffer, bufferWidth, bufferHeight};
    updateRegion.Clear();
    return count;
}

void CSSView::SetFonts(FontSource* source) {
    fonts = source;
    for (TextBanner& banner : banners) banner.fonts = source;
}

void CSSView::Reset() {
    Close();
    xScale = 0;
    yScale = 0;
    screenWidth = 0;
    screenHeight = 0;
    pictureScale = 1;
    backgroundImage = nullptr;
    backgroundColor = 0;
    tileCache.valid = false;
    tileCache.image = nullptr;
    for (SpriteSlot& slot : slots) slot = SpriteSlot();
    for (TextBanner& banner : banners) {
        banner.Release();
        banner.x = 0;
        banner.y = 0;
        banner.color = 0;
    }
    isPaletteDevice = false;
    palette = {};
    hasPalette = false;
}
