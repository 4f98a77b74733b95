#include "ports/headless/headless_fonts.h"

#include "base/utf8.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include <ft2build.h>
#include FT_FREETYPE_H

#ifndef GLIMMORA_FONT_DIR
#define GLIMMORA_FONT_DIR "/usr/share/fonts/truetype/liberation"
#endif

struct VidFont {
    FT_Face face = nullptr;
    int32_t cellHeight = 0;
    int32_t ascent = 0;
    int32_t advance[256] = {}; // of U+0000 to U+00FF
};

namespace {

constexpr int32_t DEFAULT_FONT_HEIGHT = 16;

// The advance of a character beyond the table: loaded when it is measured.
int32_t Advance(const VidFont* font, FT_ULong code) {
    if (code < 256) return font->advance[code];
    if (FT_Load_Char(font->face, code, FT_LOAD_DEFAULT) != 0) return 0;
    return static_cast<int32_t>((font->face->glyph->advance.x + 32) >> 6);
}

bool SameName(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b) {
        char ca = *a >= 'A' && *a <= 'Z' ? static_cast<char>(*a - 'A' + 'a') : *a;
        char cb = *b >= 'A' && *b <= 'Z' ? static_cast<char>(*b - 'A' + 'a') : *b;
        if (ca != cb) return false;
    }
    return *a == *b;
}

} // namespace

HeadlessFonts::HeadlessFonts() : fontDirectory(GLIMMORA_FONT_DIR) {}

HeadlessFonts::~HeadlessFonts() {
    FreeFont(defaultFont);
    if (library) FT_Done_FreeType(library);
}

std::string HeadlessFonts::FontFile(const char* face, bool bold) const {
    const char* family = "LiberationSans";
    if (face) {
        if (SameName(face, "Times New Roman") || SameName(face, "Times") ||
            SameName(face, "Liberation Serif")) {
            family = "LiberationSerif";
        } else if (SameName(face, "Courier New") || SameName(face, "Courier") ||
                   SameName(face, "Liberation Mono")) {
            family = "LiberationMono";
        }
    }
    return fontDirectory + "/" + family + (bold ? "-Bold.ttf" : "-Regular.ttf");
}

VidFont* HeadlessFonts::Resolve(VidFont* font) {
    if (font) return font;
    if (!defaultFont) defaultFont = MakeFont(DEFAULT_FONT_HEIGHT, "Arial", false);
    return defaultFont;
}

VidFont* HeadlessFonts::MakeFont(int32_t height, const char* face, bool bold) {
    if (!library && FT_Init_FreeType(&library) != 0) {
        library = nullptr;
        return nullptr;
    }
    VidFont* font = new VidFont;
    if (FT_New_Face(library, FontFile(face, bold).c_str(), 0, &font->face) != 0) {
        delete font;
        return nullptr;
    }
    FT_Select_Charmap(font->face, FT_ENCODING_UNICODE);
    FT_Error error;
    if (height < 0) {
        // A negative height asks for the character height (the em) instead.
        error =
            FT_Set_Pixel_Sizes(font->face, 0, static_cast<FT_UInt>(-static_cast<int64_t>(height)));
    } else {
        if (height == 0) height = DEFAULT_FONT_HEIGHT;
        FT_Size_RequestRec request = {};
        request.type = FT_SIZE_REQUEST_TYPE_CELL;
        request.height = static_cast<FT_Long>(height) * 64;
        error = FT_Request_Size(font->face, &request);
    }
    if (error != 0) {
        FT_Done_Face(font->face);
        delete font;
        return nullptr;
    }
    const FT_Size_Metrics& m = font->face->size->metrics;
    font->ascent = static_cast<int32_t>((m.ascender + 32) >> 6);
    font->cellHeight =
        height > 0 ? height : static_cast<int32_t>((m.ascender - m.descender + 32) >> 6);
    for (FT_ULong code = 0x20; code < 256; ++code) {
        if (code >= 0x7F && code < 0xA0) continue; // control characters
        if (FT_Load_Char(font->face, code, FT_LOAD_DEFAULT) == 0) {
            font->advance[code] = static_cast<int32_t>((font->face->glyph->advance.x + 32) >> 6);
        }
    }
    return font;
}

void HeadlessFonts::FreeFont(VidFont* font) {
    if (!font) return;
    FT_Done_Face(font->face);
    delete font;
}

void HeadlessFonts::MeasureText(VidFont* font, const char* text, int32_t* width, int32_t* height) {
    int32_t w = 0;
    int32_t h = 0;
    font = Resolve(font);
    if (font && text) {
        const char* end = text + std::strlen(text);
        for (const char* p = text; p < end;) w += Advance(font, NextCodePoint(&p, end));
        h = font->cellHeight;
    }
    if (width) *width = w;
    if (height) *height = h;
}

int HeadlessFonts::RenderText(VidFont* font, const char* text, uint8_t* coverage, int32_t width,
                              int32_t height, int32_t stride) {
    font = Resolve(font);
    if (!font || !text || !coverage || width <= 0 || height <= 0 || stride < width) return 0;
    int32_t pen = 0;
    const char* end = text + std::strlen(text);
    for (const char* p = text; p < end && pen < width;) {
        const FT_ULong code = NextCodePoint(&p, end);
        const int32_t advance = Advance(font, code);
        if (code < 0x20 || (code >= 0x7F && code < 0xA0) ||
            FT_Load_Char(font->face, code, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0) {
            pen += advance;
            continue;
        }
        const FT_GlyphSlot glyph = font->face->glyph;
        const FT_Bitmap& bitmap = glyph->bitmap;
        const int32_t gx = pen + glyph->bitmap_left;
        const int32_t gy = font->ascent - glyph->bitmap_top;
        for (unsigned row = 0; row < bitmap.rows; ++row) {
            const int32_t ty = gy + static_cast<int32_t>(row);
            if (ty < 0 || ty >= height) continue;
            const unsigned char* src = bitmap.buffer + static_cast<ptrdiff_t>(row) * bitmap.pitch;
            uint8_t* dst = coverage + static_cast<size_t>(ty) * stride;
            for (unsigned col = 0; col < bitmap.width; ++col) {
                const int32_t tx = gx + static_cast<int32_t>(col);
                if (tx < 0 || tx >= width) continue;
                uint8_t value;
                if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
                    value = (src[col >> 3] >> (7 - (col & 7))) & 1 ? 255 : 0;
                } else if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
                    value =
                        static_cast<uint8_t>(src[col] * 255 / std::max(bitmap.num_grays - 1, 1));
                } else {
                    continue;
                }
                dst[tx] = std::max(dst[tx], value);
            }
        }
        pen += advance;
    }
    return 1;
}

void HeadlessFonts::SetFontDirectory(const char* path) {
    fontDirectory = path ? path : GLIMMORA_FONT_DIR;
    FreeFont(defaultFont);
    defaultFont = nullptr;
}
