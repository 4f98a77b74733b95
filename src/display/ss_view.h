// The one display object: back buffer, palette, background, sprite slots and
// text banners, and the conversion from the 800 by 600 design space to pixels.
#pragma once

#include <cstdint>

constexpr int DESIGN_WIDTH = 800;
constexpr int DESIGN_HEIGHT = 600;

class CSSView {
  public:
    int32_t xScale = 0; // window width * 256 / 800
    int32_t yScale = 0; // window height * 256 / 600
    int32_t screenWidth = 0;
    int32_t screenHeight = 0;

    void SetSize(int32_t width, int32_t height);
};

extern CSSView view;
