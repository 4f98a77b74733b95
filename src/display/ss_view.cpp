#include "display/ss_view.h"

CSSView view;

void CSSView::SetSize(int32_t width, int32_t height) {
    screenWidth = width;
    screenHeight = height;
    xScale = width * 256 / DESIGN_WIDTH;
    yScale = height * 256 / DESIGN_HEIGHT;
}
