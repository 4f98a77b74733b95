// Banner fonts on Qt: the face asked for, else a free face with the same
// metrics, measured and rendered by Qt's text engine.
#pragma once

#include "platform/video.h"

class QtFonts : public FontSource {
  public:
    QtFonts() = default;
    ~QtFonts() override;
    QtFonts(const QtFonts&) = delete;
    QtFonts& operator=(const QtFonts&) = delete;

    // No font is made without a QGuiApplication.
    VidFont* MakeFont(int32_t height, const char* face, bool bold) override;
    void FreeFont(VidFont* font) override;
    void MeasureText(VidFont* font, const char* text, int32_t* width, int32_t* height) override;
    int RenderText(VidFont* font, const char* text, uint8_t* coverage, int32_t width,
                   int32_t height, int32_t stride) override;

  private:
    // `font`, or the default font (made when first needed) for a null one.
    VidFont* Resolve(VidFont* font);

    VidFont* defaultFont = nullptr;
};
