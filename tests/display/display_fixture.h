// Shared set-up of the display tests: a fresh view, screen and message list.
#pragma once

#include "display/ss_view.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_video.h"
#include "support/context_fixture.h"
#include "support/test_frames.h"

#include <gtest/gtest.h>

class DisplayTest : public ContextTest {
  protected:
    void SetUp() override {
        HeadlessResetVideo();
        HeadlessClearMessages();
    }

    // A view of the given size with its window, painted once with a background colour.
    void Open(int32_t width, int32_t height, uint32_t background = MakeColorRef(0, 0, 0)) {
        view.SetSize(width, height);
        ASSERT_EQ(view.Init(TestWindow()), 1);
        view.SetBackgroundColor(background);
        view.Paint();
    }
    static uint32_t Screen(int32_t x, int32_t y) { return HeadlessScreenPixel(x, y); }
    uint32_t Back(int32_t x, int32_t y) const {
        return view.backBuffer[static_cast<size_t>(y) * view.bufferWidth + x];
    }
};
