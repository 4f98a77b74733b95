// Composition of the scene into the view's back buffer, limited to a region:
// the background, the sprite slots in slot order, then the banners.
#pragma once

#include "display/update_region.h"

#include <cstdint>

class CImage;
class CSSView;

// Redraws every pixel of `region` in the back buffer of `v`; pixels outside
// keep what earlier paints drew there.
// The view's background tile cache is brought up to date on the way.
void ComposeRegion(CSSView& v, const UpdateRegion& region);

// Largest frame side the compositor draws (a GIF's sides are 16-bit).
constexpr int32_t MAX_FRAME_SIDE = 65535;

// Whether a frame has what drawing it needs: a size, pixels and colours
// that cover its rows.
bool FrameDrawable(const CImage* frame);
