#include "base/utf8.h"
#include "display/ss_view.h"
#include "platform/video.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

void TextBanner::SetFont(int32_t size, const char* face, bool bold) {
    if (!fonts) return;
    if (font) fonts->FreeFont(font);
    font = fonts->MakeFont(size * 13 / 8, face, bold);
}

void TextBanner::Measure() {
    textWidth = 0;
    textHeight = 0;
    if (text[0] && fonts) fonts->MeasureText(font, text, &textWidth, &textHeight);
    textWidth = std::max(textWidth, 0);
    textHeight = std::max(textHeight, 0);
}

ViewRect TextBanner::Bounds() const {
    if (!text[0]) return {0, 0, 0, 0};
    int64_t right = static_cast<int64_t>(x) + std::min(textWidth, BANNER_MAX_WIDTH);
    int64_t bottom = static_cast<int64_t>(y) + std::min(textHeight, BANNER_MAX_HEIGHT);
    return {x, y, static_cast<int32_t>(std::min<int64_t>(right, INT32_MAX)),
            static_cast<int32_t>(std::min<int64_t>(bottom, INT32_MAX))};
}

void TextBanner::Invalidate(CSSView& view) const {
    if (view.window && text[0]) view.Invalidate(Bounds());
}

void TextBanner::SetText(CSSView& view, int32_t px, int32_t py, const char* newText,
                         uint32_t newColor) {
    Invalidate(view);
    x = static_cast<int32_t>(
        std::clamp<int64_t>(static_cast<int64_t>(px) * view.xScale / 256, INT32_MIN, INT32_MAX));
    y = static_cast<int32_t>(
        std::clamp<int64_t>(static_cast<int64_t>(py) * view.yScale / 256, INT32_MIN, INT32_MAX));
    if (newText) {
        // Cut to whole UTF-8 characters.
        size_t length = 0;
        while (length <= BANNER_TEXT_MAX && newText[length]) ++length;
        length = Utf8Prefix(newText, length, BANNER_TEXT_MAX);
        std::memcpy(text, newText, length);
        text[length] = '\0';
        color = newColor;
        Measure();
        std::memset(coverage, 0, sizeof coverage);
        if (text[0] && fonts) {
            fonts->RenderText(font, text, &coverage[0][0], std::min(textWidth, BANNER_MAX_WIDTH),
                              std::min(textHeight, BANNER_MAX_HEIGHT), BANNER_MAX_WIDTH);
        }
    }
    Invalidate(view);
}

void TextBanner::Clear(CSSView& view) {
    if (!text[0]) return;
    if (font && fonts) fonts->FreeFont(font);
    font = nullptr;
    Invalidate(view);
    text[0] = '\0';
    textWidth = 0;
    textHeight = 0;
}

void TextBanner::Release() {
    if (font && fonts) fonts->FreeFont(font);
    font = nullptr;
    text[0] = '\0';
    textWidth = 0;
    textHeight = 0;
}

void TextBanner::Draw(uint32_t* buffer, int32_t width, int32_t height, const ViewRect& clip) const {
    if (!text[0]) return;
    ViewRect r = RectIntersect(RectIntersect(Bounds(), clip), {0, 0, width, height});
    if (RectEmpty(r)) return;
    const uint32_t red = color & 0xFF;
    const uint32_t green = (color >> 8) & 0xFF;
    const uint32_t blue = (color >> 16) & 0xFF;
    const uint32_t pixel = red << 16 | green << 8 | blue;
    for (int32_t wy = r.top; wy < r.bottom; ++wy) {
        const uint8_t* cov = coverage[wy - y];
        uint32_t* dst = buffer + static_cast<size_t>(wy) * width;
        for (int32_t wx = r.left; wx < r.right; ++wx) {
            const uint32_t a = cov[wx - x];
            if (a == 0) continue;
            if (a == 255) {
                dst[wx] = pixel;
                continue;
            }
            // Blend each channel: below + (text - below) * a / 255.
            const uint32_t d = dst[wx];
            const uint32_t dr = (d >> 16) & 0xFF, dg = (d >> 8) & 0xFF, db = d & 0xFF;
            const uint32_t nr = (dr * (255 - a) + red * a + 127) / 255;
            const uint32_t ng = (dg * (255 - a) + green * a + 127) / 255;
            const uint32_t nb = (db * (255 - a) + blue * a + 127) / 255;
            dst[wx] = nr << 16 | ng << 8 | nb;
        }
    }
}
