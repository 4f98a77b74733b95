// Shared set-up of the display tests: a fresh view with the test fonts,
// and a screen that shows what the view's paints present, as a window would.
#pragma once

#include "base/error_sink.h"
#include "base/memory_budget.h"
#include "display/ss_view.h"
#include "display/update_region.h"
#include "image/image.h"
#include "ports/headless/headless_video.h"
#include "support/error_log.h"
#include "support/test_fonts.h"
#include "support/test_frames.h"

#include <gtest/gtest.h>

class DisplayTest : public ::testing::Test {
  protected:
    DisplayTest() {
        view.errors = &errors;
        view.SetFonts(&fonts);
        images.errors = &errors;
        images.budget = &memory;
    }

    // A view of the given size with its window, painted once with a background colour.
    void Open(int32_t width, int32_t height, uint32_t background = MakeColorRef(0, 0, 0)) {
        view.SetSize(width, height);
        ASSERT_EQ(view.Init(TestWindow()), 1);
        view.SetBackgroundColor(background);
        Paint();
    }
    // Paints the view and shows what it presents on the screen.
    void Paint() {
        VidFrame frame{};
        VidRect rects[REGION_MAX_RECTS];
        const int count = view.Paint(&frame, rects);
        if (count == 0) return;
        ++presentCount;
        lastPresent = HeadlessCopyRects(screen, frame, rects, count);
    }
    uint32_t Screen(int32_t x, int32_t y) const { return screen.Pixel(x, y); }
    uint32_t Back(int32_t x, int32_t y) const {
        return view.backBuffer[static_cast<size_t>(y) * view.bufferWidth + x];
    }

    TestFonts fonts;
    ErrorSink errors;
    ErrorLog log{errors};
    MemoryBudget memory;
    ImageContext images;
    CSSView view;
    HeadlessPicture screen;
    int presentCount = 0;
    HeadlessRect lastPresent;
};
