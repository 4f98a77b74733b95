// The Windows port's fonts: GDI fonts rendered into coverage masks, shared by
// the saver and the headless port of Windows builds.
#pragma once

#include "platform/video.h"

// Windows' handle types, without the Windows headers in the headless port's.
struct HDC__;
struct HBITMAP__;

class Win32Fonts : public FontSource {
  public:
    Win32Fonts() = default;
    ~Win32Fonts() override;
    Win32Fonts(const Win32Fonts&) = delete;
    Win32Fonts& operator=(const Win32Fonts&) = delete;

    VidFont* MakeFont(int32_t height, const char* face, bool bold) override;
    void FreeFont(VidFont* font) override;
    void MeasureText(VidFont* font, const char* text, int32_t* width, int32_t* height) override;
    int RenderText(VidFont* font, const char* text, uint8_t* coverage, int32_t width,
                   int32_t height, int32_t stride) override;

  private:
    VidFont* Resolve(VidFont* font);
    HDC__* MeasureDC();
    bool RenderTarget();

    VidFont* defaultFont = nullptr;
    HDC__* measureDC = nullptr;
    // One bitmap for all rendering, made at the first text and kept.
    HDC__* renderDC = nullptr;
    HBITMAP__* renderBitmap = nullptr;
    uint32_t* renderPixels = nullptr;
};
