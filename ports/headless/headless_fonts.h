// The headless port's fonts: the Liberation TrueType fonts, which stand in
// for the Windows faces ("Arial" and unknown faces: Liberation Sans, "Times
// New Roman": Liberation Serif, "Courier New": Liberation Mono), rendered
// with FreeType.
#pragma once

#include "platform/video.h"

#include <string>

struct FT_LibraryRec_;

class HeadlessFonts : public FontSource {
  public:
    HeadlessFonts();
    ~HeadlessFonts() override;
    HeadlessFonts(const HeadlessFonts&) = delete;
    HeadlessFonts& operator=(const HeadlessFonts&) = delete;

    VidFont* MakeFont(int32_t height, const char* face, bool bold) override;
    void FreeFont(VidFont* font) override;
    void MeasureText(VidFont* font, const char* text, int32_t* width, int32_t* height) override;
    int RenderText(VidFont* font, const char* text, uint8_t* coverage, int32_t width,
                   int32_t height, int32_t stride) override;

    // The folder the fonts made afterwards come from (null: the default).
    void SetFontDirectory(const char* path);

  private:
    VidFont* Resolve(VidFont* font);
    std::string FontFile(const char* face, bool bold) const;

    std::string fontDirectory;
    FT_LibraryRec_* library = nullptr;
    VidFont* defaultFont = nullptr;
};
