// The one display object: back buffer, palette, background, sprite slots and
// text banners, and the conversion from the 800 by 600 design space to pixels.
//
// The view keeps its own back buffer (32-bit pixels 0x00RRGGBB, top row first)
// and its own update region. Moving a sprite or changing a banner only adds
// rectangles to the region; Paint composes exactly that region (background,
// slots 0..99, banners 0 and 1) and gives back its rectangles for the
// window to show.
#pragma once

#include "display/update_region.h"
#include "image/palette.h"

#include <cstdint>

class CImage;
class CSSView;
class FontSource;
struct ErrorSink;
struct VidFrame;
struct VidFont;
struct VidRect;

constexpr int DESIGN_WIDTH = 800;
constexpr int DESIGN_HEIGHT = 600;
constexpr int MAX_SLOTS = 100;
constexpr int32_t FREE_SLOT_X = -99999;
constexpr int MAX_BANNERS = 2;
constexpr int BANNER_FONT_SIZE = 8; // point size of the banner font (13 px cell)
constexpr int BANNER_TEXT_MAX = 128;
// Largest text cell a banner draws; wider or taller text is cut.
constexpr int32_t BANNER_MAX_WIDTH = 2048;
constexpr int32_t BANNER_MAX_HEIGHT = 96;
// Largest window side the view makes a back buffer for.
constexpr int32_t VIEW_MAX_SIDE = 16384;
// Banner text colour RGB(120, 120, 0), and black on light backgrounds.
constexpr uint32_t BANNER_COLOR = 0x7878;
constexpr uint32_t BANNER_DARK_COLOR = 0;
constexpr int32_t BANNER_LIGHT_WEIGHT = 1800;

// The picture scale that fits the design on a screen: the largest whole
// number N with 800N by 600N within it, at least 1 and at most
// MAX_PICTURE_SCALE.
int32_t FitPictureScale(int32_t width, int32_t height);

// Windows colour value 0x00BBGGRR.
constexpr uint32_t MakeColorRef(uint32_t red, uint32_t green, uint32_t blue) {
    return red | green << 8 | blue << 16;
}

// One entry of the display list; a higher index is drawn later.
class SpriteSlot {
  public:
    int32_t x = FREE_SLOT_X; // window x of the frame's top left pixel
    int32_t y = 0;
    CImage* frame = nullptr; // none: nothing drawn
    // Where the frame's window rectangle ends (exclusive), set with it, so
    // that a paint finds the slots it meets without reading their frames.
    int32_t right = 0;
    int32_t bottom = 0;

    // Shows `frame` at (x, y), in sixteenths of a design pixel, or of a window
    // pixel when `absolute`, scaled by `view`; the frame's offset in its GIF
    // and its size grow by the view's picture scale. When the view has a
    // window, the old and new rectangles are invalidated.
    void Place(CSSView& view, int32_t x, int32_t y, CImage* frame, bool absolute);
    // Stops showing the frame; when the view has a window its rectangle is invalidated.
    void Remove(CSSView& view);
};

// A one-line text drawn over all sprites.
class TextBanner {
  public:
    int32_t x = 0; // window position of the text cell's top left corner
    int32_t y = 0;
    char text[BANNER_TEXT_MAX + 1] = {}; // empty: hidden
    uint32_t color = 0;                  // 0x00BBGGRR
    VidFont* font = nullptr;
    FontSource* fonts = nullptr; // where the font comes from; none: no text is drawn
    // The cell measured when the text was set, and the text rendered in it.
    int32_t textWidth = 0;
    int32_t textHeight = 0;
    uint8_t coverage[BANNER_MAX_HEIGHT][BANNER_MAX_WIDTH] = {};

    // Replaces the font: cell height size * 13 / 8. The text already set keeps
    // its rendering until it is set again.
    void SetFont(int32_t size, const char* face, bool bold);
    // Moves the banner to a design-space position of `view` and, when
    // `newText` is not null, sets its text (cut to 128 characters) and colour.
    // When the view has a window the old and new text rectangles are invalidated.
    void SetText(CSSView& view, int32_t x, int32_t y, const char* newText, uint32_t newColor);
    // Empties the text and deletes the font; when the view has a window the
    // text's rectangle is invalidated.
    void Clear(CSSView& view);
    // The window rectangle the text covers (empty when hidden).
    ViewRect Bounds() const;
    // Draws the text into a `width` by `height` back buffer, inside `clip`.
    void Draw(uint32_t* buffer, int32_t width, int32_t height, const ViewRect& clip) const;

    void Release();

  private:
    void Measure();
    void Invalidate(CSSView& view) const;
};

// The background tile converted to back-buffer pixels, rows top first and
// each row widened by the picture scale, so that tiling copies rows instead
// of looking up every pixel. It is made again, without allocating, whenever
// the tile's colours change. A tile converted at load needs none. A tile of
// more than TILE_CACHE_MAX_PIXELS (64 MiB of pixels) is drawn without it, by
// looking up every pixel, so that a huge background costs no more memory.
constexpr int64_t TILE_CACHE_MAX_PIXELS = int64_t{16} << 20;
struct TileCache {
    uint32_t* pixels = nullptr;
    int64_t capacity = 0; // pixels
    const CImage* image = nullptr;
    const uint8_t* source = nullptr; // the image's pixels it was made from
    int32_t scale = 0;
    uint32_t table[256] = {}; // the colours it was made with
    bool valid = false;
};

class CSSView {
  public:
    const void* window = nullptr;   // the window drawn into; none: nothing is invalidated
    ErrorSink* errors = nullptr;    // where Init and LoadPalette report failures
    FontSource* fonts = nullptr;    // the banners' fonts (SetFonts)
    uint32_t* backBuffer = nullptr; // bufferWidth x bufferHeight pixels, top row first
    int32_t bufferWidth = 0;
    int32_t bufferHeight = 0;
    int32_t xScale = 0; // window width * 256 / 800
    int32_t yScale = 0; // window height * 256 / 600
    int32_t screenWidth = 0;
    int32_t screenHeight = 0;
    // Every sprite frame, mask and background picture is drawn this many
    // times its size (nearest neighbour); positions keep to the design space.
    int32_t pictureScale = 1;
    CImage* backgroundImage = nullptr; // tiled; none: backgroundColor
    uint32_t backgroundColor = 0;      // 0x00BBGGRR
    SpriteSlot slots[MAX_SLOTS];
    TextBanner banners[MAX_BANNERS];
    bool isPaletteDevice = false;
    LogicalPalette palette = {}; // kept as data: this display has no hardware palette
    bool hasPalette = false;
    UpdateRegion updateRegion;
    TileCache tileCache;

    CSSView() = default;
    ~CSSView();
    CSSView(const CSSView&) = delete;
    CSSView& operator=(const CSSView&) = delete;

    void SetSize(int32_t width, int32_t height);
    // Where the banners' fonts come from.
    void SetFonts(FontSource* source);
    // Sets the picture scale, kept within 1 to MAX_PICTURE_SCALE; set before
    // the module's pictures load, which are converted at it.
    void SetPictureScale(int32_t scale);
    // Takes the window and makes the back buffer for a window of the given
    // size (or, without a size, of the size given to SetSize). The whole
    // window becomes invalid, so the first paint fills it. Returns 1, or 0
    // after showing "CSSView::Init() : Out of memory (IB)".
    int Init(const void* saverWindow, int32_t width, int32_t height);
    int Init(const void* saverWindow);
    // The window is going: drops it and its back buffer. Slots, banners and
    // background stay.
    void Close();

    // Reads the module's palette file, or builds the default colour cube when
    // it cannot be read. Returns 1 when the file was read, 0 otherwise. A name
    // that is not a regular file is refused unread, with "Not a file: %s".
    int LoadPalette(const char* path);
    void SetBackgroundColor(uint32_t color);
    void SetBackgroundImage(CImage* image);

    // The first free slot, now reserved; -1 when all are taken.
    int AllocSlot();
    // Shows `text` on banner 0 or 1 at a design-space position in whole
    // pixels; an empty text removes the banner.
    void SetBanner(int number, int32_t x, int32_t y, const char* text);

    // Adds a rectangle of the window to the area the next paint redraws.
    void Invalidate(const ViewRect& rect);
    void InvalidateAll();
    bool NeedsPaint() const { return !updateRegion.Empty(); }
    // Composes the invalid area into the back buffer and validates it;
    // `frame` and `rects` (room for REGION_MAX_RECTS) receive what the window
    // is to show. Returns how many rectangles: 0, and nothing composed,
    // before Init or when nothing is invalid.
    int Paint(VidFrame* frame, VidRect* rects);
    // Composes the invalid area into the back buffer only.
    void Compose();

    // Back to the state of program start: no window, free slots, no banners.
    void Reset();
};
