// The engine's entry once per pass of the main loop: section control, the
// update of every feature and the on-screen text banner.
#pragma once

#include <cstdint>

// The product line shown in banner 0.
extern const char PRODUCT_LINE[];

extern bool bannerShown;
// Section-clock time at which the banner toggles next.
extern uint32_t bannerNextTime;

// Sets one of the view's two text banners.
void ViewBanner(int banner, int32_t x, int32_t y, const char* text);
// Where the banner texts go: the view's two text banners unless replaced.
extern void (*bannerOutput)(int banner, int32_t x, int32_t y, const char* text);

// One pass at section time t.
void FrameTick(uint32_t t);
