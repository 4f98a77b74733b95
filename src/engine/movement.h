// Placing a feature when it starts and moving it while it shows: position
// codes, the eight movement kinds, edge bounces, the on-screen test and the
// automatic stereo pan. Positions are in sixteenths of a design pixel, or of a
// screen pixel for features with AbsolutePixels.
#pragma once

#include <cstdint>

class CFeature;
struct Engine;

constexpr int32_t DESIGN_X_LIMIT = 800 * 16; // design width in sixteenths
constexpr int32_t DESIGN_Y_LIMIT = 600 * 16;

struct PolarDelta {
    int32_t dx;
    int32_t dy;
};

// The step (sixteenths) of `speed` units at `angle` degrees (0 right, 90 down).
// Angles outside 0..359 are taken modulo 360.
PolarDelta PolarStep(int32_t angle, int32_t speed);

// Resolves a coordinate code over the free range of the screen (pixelRange for
// absolute features, designRange otherwise). Plain coordinates pass unchanged.
int32_t ResolvePosition(Engine& e, int32_t code, int32_t pixelRange, int32_t designRange,
                        bool absolute);
bool IsPlainCoordinate(int32_t code);
bool IsRandomCode(int32_t code);
// ResolvePosition with the feature's own ranges (screen size less image size).
int32_t ResolveAxis(Engine& e, const CFeature& feature, int32_t code, bool vertical);

// Converts the image size into design pixels (designWidth, designHeight).
void SetDesignSize(Engine& e, CFeature& feature);
// Sets x and y from the feature's Position when it starts.
void StartPosition(Engine& e, CFeature& feature);
// The start x foreseen before the feature shows; false when it cannot be told
// (a random position, or a missing reference feature).
bool PredictStartX(Engine& e, const CFeature& feature, int32_t* x);

void StartMovement(Engine& e, CFeature& feature, uint32_t now);
// One movement step when due; places the sprite and pans its sound after it.
void MoveStep(Engine& e, CFeature& feature, uint32_t now);
// Keeps the feature inside the screen; on a hit (unless predicting) turns it to
// a new random heading. True when an edge was hit.
bool EdgeBounce(Engine& e, CFeature& feature, bool predict);
// Whether the feature hits an edge within the coming sound lead.
bool EdgeHitSoon(Engine& e, CFeature& feature);

bool OnScreenX(Engine& e, const CFeature& feature);
bool OnScreenY(Engine& e, const CFeature& feature);

// The sound pan (0..127, 64 centre) for a horizontal position, as the mixer's
// pan law hears it: the left of the screen on the left.
int32_t AutoPanValue(Engine& e, const CFeature& feature, int32_t x);
int32_t BouncePan(Engine& e, const CFeature& feature);
// Pans the feature's sound to its position (or its foreseen start position).
void AutoPan(Engine& e, CFeature& feature, bool predicted);
