#include "engine/movement.h"

#include "display/ss_view.h"
#include "engine/engine_math.h"
#include "engine/engine_sound.h"
#include "engine/engine_state.h"
#include "engine/feature_sprite.h"
#include "engine/random.h"
#include "engine/sine_table.h"
#include "image/image.h"
#include "script/theme_records.h"
#include "sound/sound.h"

namespace {

int32_t ScaleOf(Engine& e, bool vertical) {
    return vertical ? e.view.yScale : e.view.xScale;
}

// Pixels to design pixels; an unset scale leaves the value as it is.
int32_t PixelsToDesign(Engine& e, int64_t pixels, bool vertical) {
    const int32_t scale = ScaleOf(e, vertical);
    if (scale <= 0) return ClampToInt32(pixels);
    return ClampToInt32(pixels * 256 / scale);
}

int32_t DesignToPixels(Engine& e, int64_t design, bool vertical) {
    const int32_t scale = ScaleOf(e, vertical);
    if (scale <= 0) return ClampToInt32(design);
    return ClampToInt32(design * scale / 256);
}

// A picture's width or height in window pixels: its size in the GIF times the
// view's picture scale.
int64_t ShownSize(Engine& e, const CImage& image, bool vertical) {
    return int64_t{e.view.pictureScale} * (vertical ? image.height : image.width);
}

// The frame whose size the edge tests use for absolute features.
const CImage* SizeFrame(const CFeature& feature) {
    return feature.currentFrame ? feature.currentFrame : feature.image;
}

// Width or height in sixteenths for the edge and on-screen tests.
int64_t ExtentOf(Engine& e, const CFeature& feature, bool vertical) {
    if (IsAbsolute(feature)) {
        const CImage* frame = SizeFrame(feature);
        if (!frame) return 0;
        return 16LL * ShownSize(e, *frame, vertical);
    }
    return 16LL * (vertical ? feature.designHeight : feature.designWidth);
}

int64_t LimitOf(Engine& e, const CFeature& feature, bool vertical) {
    if (IsAbsolute(feature)) return 16LL * (vertical ? e.view.screenHeight : e.view.screenWidth);
    return vertical ? DESIGN_Y_LIMIT : DESIGN_X_LIMIT;
}

// A reference position moved into this feature's space when exactly one of the
// two features uses screen pixels.
int32_t ConvertReference(Engine& e, const CFeature& feature, const CFeature& reference,
                         int32_t value, bool vertical) {
    if (IsAbsolute(feature) == IsAbsolute(reference)) return value;
    return IsAbsolute(feature) ? DesignToPixels(e, value, vertical)
                               : PixelsToDesign(e, value, vertical);
}

bool ReferencePosition(Engine& e, const CFeature& feature, int32_t* x, int32_t* y) {
    const CFeature* reference = LabelledFeature(e, feature.positionLabel);
    if (!reference) return false;
    *x = ConvertReference(e, feature, *reference, reference->x, false);
    *y = ConvertReference(e, feature, *reference, reference->y, true);
    return true;
}

// Random draws of the "Random" code over a range that may be empty or negative
// (an image at least as large as the screen): 0, or towards the negative side.
int32_t RandomOverRange(Engine& e, int32_t range) {
    if (range >= 0) return e.random.RandomBelow(range);
    return -e.random.RandomBelow(range == INT32_MIN ? INT32_MAX : -range);
}

bool PatternUsable(const CFeature& feature) {
    return feature.pattern.count > 0 && feature.pattern.steps != nullptr;
}

// Makes pattern entry `index` the current one. Codes in a step are resolved like
// positions; an entry of fewer than one step lasts one step.
void LoadPatternEntry(Engine& e, CFeature& feature, int32_t index) {
    const PatternStep& step = feature.pattern.steps[index];
    feature.moveArg1 = index;
    feature.moveDx = ResolveAxis(e, feature, step.dx, false);
    feature.moveDy = ResolveAxis(e, feature, step.dy, true);
    feature.moveArg2 = step.steps < 1 ? 1 : step.steps;
}

void SetHeading(CFeature& feature, int32_t angle) {
    feature.moveArg2 = angle;
    const PolarDelta delta = PolarStep(angle, feature.moveArg1);
    feature.moveDx = delta.dx;
    feature.moveDy = delta.dy;
}

void StepBounce(Engine& e, CFeature& feature) {
    feature.x = AddClamped(feature.x, feature.moveDx);
    feature.y = AddClamped(feature.y, feature.moveDy);
    if (EdgeBounce(e, feature, false)) feature.bounceSoundPlayed = 0;
    if (feature.bounceSound && !feature.bounceSoundPlayed && EdgeHitSoon(e, feature)) {
        StartSound(e, AsTime(feature.endTime), feature.bounceSound, feature.bounceSound->volume,
                   BouncePan(e, feature));
        feature.bounceSoundPlayed = 1;
    }
}

void StepPattern(Engine& e, CFeature& feature) {
    feature.x = AddClamped(feature.x, feature.moveDx);
    feature.y = AddClamped(feature.y, feature.moveDy);
    if (--feature.moveArg2 > 0) return;
    LoadPatternEntry(e, feature,
                     WrapModulo(static_cast<int64_t>(feature.moveArg1) + 1, feature.pattern.count));
}

void StepArc(CFeature& feature) {
    feature.x = AddClamped(feature.x, feature.moveDx);
    feature.y = AddClamped(feature.y, feature.moveDy);
    feature.moveState =
        WrapModulo(static_cast<int64_t>(feature.moveState) + feature.moveArg3, 3600);
    const PolarDelta delta = PolarStep(feature.moveState / 10, feature.moveArg1);
    feature.moveDx = delta.dx;
    feature.moveDy = delta.dy;
}

// Ballistic flight from the launch point: x = x0 + t*vx/1000,
// y = y0 + ((t*t/1000)*gravity16)/2000 + t*vy/1000, with t in ms.
void StepProjectile(CFeature& feature, uint32_t now) {
    const int64_t t = static_cast<int64_t>(now - AsTime(feature.moveState));
    const PolarDelta velocity = PolarStep(feature.moveArg1, feature.moveArg2);
    const int64_t tSquared =
        static_cast<int64_t>(static_cast<uint64_t>(t) * static_cast<uint64_t>(t) / 1000);
    const int64_t x = feature.moveDx + SaturatingMul(t, velocity.dx) / 1000;
    const int64_t y = feature.moveDy + SaturatingMul(tSquared, feature.moveArg3) / 2000 +
                      SaturatingMul(t, velocity.dy) / 1000;
    feature.x = ClampToInt32(x);
    feature.y = ClampToInt32(y);
}

} // namespace

PolarDelta PolarStep(int32_t angle, int32_t speed) {
    const int32_t a = WrapModulo(angle, 360);
    const int64_t cosine = SINE_TABLE[(a + 90) % 360];
    const int64_t sine = SINE_TABLE[a];
    return {ClampToInt32(speed * cosine * 16 / 65536), ClampToInt32(speed * sine * 16 / 65536)};
}

bool IsRandomCode(int32_t code) {
    return (static_cast<uint32_t>(code) >> 28) == 1;
}

bool IsPlainCoordinate(int32_t code) {
    return !IsRandomCode(code) && code != FAR_EDGE_CODE && code != CENTER_CODE;
}

int32_t ResolvePosition(Engine& e, int32_t code, int32_t pixelRange, int32_t designRange,
                        bool absolute) {
    const int32_t range = absolute ? pixelRange : designRange;
    if (code == RANDOM_CODE) return ClampToInt32(16LL * RandomOverRange(e, range));
    if (IsRandomCode(code)) {
        const int32_t a = (code >> RANDOM_A_SHIFT) & RANDOM_PARAM_MASK;
        const int32_t b = code & RANDOM_PARAM_MASK;
        return 16 * (a - b + e.random.RandomBelow(2 * b));
    }
    if (code == FAR_EDGE_CODE) return ClampToInt32(16LL * range);
    if (code == CENTER_CODE) return ClampToInt32(16LL * (range >> 1));
    return code;
}

int32_t ResolveAxis(Engine& e, const CFeature& feature, int32_t code, bool vertical) {
    if (IsPlainCoordinate(code)) return code;
    int64_t size = 0;
    if (feature.image) size = ShownSize(e, *feature.image, vertical);
    const int64_t screen = vertical ? e.view.screenHeight : e.view.screenWidth;
    const int32_t pixelRange = ClampToInt32(screen - size);
    return ResolvePosition(e, code, pixelRange, PixelsToDesign(e, pixelRange, vertical),
                           IsAbsolute(feature));
}

void SetDesignSize(Engine& e, CFeature& feature) {
    if (!feature.image) {
        feature.designWidth = feature.designHeight = 0;
        return;
    }
    feature.designWidth = PixelsToDesign(e, ShownSize(e, *feature.image, false), false);
    feature.designHeight = PixelsToDesign(e, ShownSize(e, *feature.image, true), true);
}

void StartPosition(Engine& e, CFeature& feature) {
    if (feature.positionMode != 1) {
        feature.x = ResolveAxis(e, feature, feature.positionX, false);
        feature.y = ResolveAxis(e, feature, feature.positionY, true);
        return;
    }
    int32_t baseX = 0;
    int32_t baseY = 0;
    ReferencePosition(e, feature, &baseX, &baseY);
    feature.x = IsPlainCoordinate(feature.positionX)
                    ? AddClamped(baseX, feature.positionX)
                    : ResolveAxis(e, feature, feature.positionX, false);
    feature.y = IsPlainCoordinate(feature.positionY)
                    ? AddClamped(baseY, feature.positionY)
                    : ResolveAxis(e, feature, feature.positionY, true);
}

bool PredictStartX(Engine& e, const CFeature& feature, int32_t* x) {
    if (feature.positionMode == 1) {
        int32_t y = 0;
        return ReferencePosition(e, feature, x, &y);
    }
    if (IsRandomCode(feature.positionX)) return false;
    *x = ResolveAxis(e, feature, feature.positionX, false);
    return true;
}

void StartMovement(Engine& e, CFeature& feature, uint32_t now) {
    feature.nextMoveTime = TimeField(TimeAfter(now, feature.moveInterval));
    switch (feature.movementType) {
    case MOVE_VECTOR:
        // The steps in use this showing, with any codes resolved.
        feature.moveArg1 = ResolveAxis(e, feature, feature.moveDx, false);
        feature.moveArg2 = ResolveAxis(e, feature, feature.moveDy, true);
        break;
    case MOVE_BOUNCE: {
        const int32_t quarter = e.random.RandomBelow(4);
        const int32_t deviation = e.random.RandomBetween(-30, 30);
        SetHeading(feature, 90 * quarter + 45 + deviation);
        break;
    }
    case MOVE_PATTERN:
        if (PatternUsable(feature)) LoadPatternEntry(e, feature, 0);
        break;
    case MOVE_ARC: {
        feature.moveState = WrapModulo(10LL * feature.moveArg2, 3600);
        const PolarDelta delta = PolarStep(feature.moveArg2, feature.moveArg1);
        feature.moveDx = delta.dx;
        feature.moveDy = delta.dy;
        break;
    }
    case MOVE_PROJECTILE:
        feature.moveState = TimeField(now);
        feature.moveDx = feature.x;
        feature.moveDy = feature.y;
        break;
    default: break;
    }
}

void MoveStep(Engine& e, CFeature& feature, uint32_t now) {
    switch (feature.movementType) {
    case MOVE_VECTOR:
    case MOVE_BOUNCE:
    case MOVE_ARC:
    case MOVE_PROJECTILE: break;
    case MOVE_PATTERN:
        if (PatternUsable(feature)) break;
        return;
    default: // Random, Static, OnImageCycle and unknown kinds do not step
        return;
    }
    if (now < AsTime(feature.nextMoveTime)) return;
    feature.nextMoveTime = TimeField(TimeAfter(now, feature.moveInterval));
    switch (feature.movementType) {
    case MOVE_VECTOR:
        feature.x = AddClamped(feature.x, feature.moveArg1);
        feature.y = AddClamped(feature.y, feature.moveArg2);
        break;
    case MOVE_BOUNCE: StepBounce(e, feature); break;
    case MOVE_PATTERN: StepPattern(e, feature); break;
    case MOVE_ARC: StepArc(feature); break;
    default: StepProjectile(feature, now); break;
    }
    PlaceSprite(e, feature);
    AutoPan(e, feature, false);
}

bool EdgeBounce(Engine& e, CFeature& feature, bool predict) {
    const int64_t w = ExtentOf(e, feature, false);
    const int64_t h = ExtentOf(e, feature, true);
    const int64_t limitX = LimitOf(e, feature, false);
    const int64_t limitY = LimitOf(e, feature, true);
    bool hitX = false;
    bool hitY = false;
    if (feature.x < 0) {
        feature.x = 0;
        hitX = true;
    } else if (feature.x + w >= limitX) {
        feature.x = ClampToInt32(limitX - w);
        hitX = true;
    }
    if (feature.y < 0) {
        feature.y = 0;
        hitY = true;
    } else if (feature.y + h >= limitY) {
        feature.y = ClampToInt32(limitY - h);
        hitY = true;
    }
    if (!hitX && !hitY) return false;
    if (predict) return true;

    const int32_t deviation = e.random.RandomBetween(-30, 30);
    int32_t angle;
    if (hitX && hitY) {
        if (feature.x == 0)
            angle = (feature.y == 0 ? 45 : 315) + deviation;
        else
            angle = (feature.y == 0 ? 135 : 225) + deviation;
    } else {
        const int32_t quarter = WrapModulo(feature.moveArg2, 360) / 90;
        const int32_t mirrored = hitX ? WrapModulo(1 - quarter, 4) : 3 - quarter;
        angle = 90 * mirrored + 45 + deviation;
    }
    SetHeading(feature, angle);
    return true;
}

bool EdgeHitSoon(Engine& e, CFeature& feature) {
    // Steps within the sound lead; with no interval a step may come every
    // frame, so only the position reached already is looked at.
    const uint32_t interval = static_cast<uint32_t>(feature.moveInterval);
    const int64_t steps = interval == 0 ? 0 : SOUND_LEAD_MS / interval;
    const int32_t savedX = feature.x;
    const int32_t savedY = feature.y;
    feature.x = AddClamped(feature.x, SaturatingMul(steps, feature.moveDx));
    feature.y = AddClamped(feature.y, SaturatingMul(steps, feature.moveDy));
    const bool hit = EdgeBounce(e, feature, true);
    feature.x = savedX;
    feature.y = savedY;
    return hit;
}

bool OnScreenX(Engine& e, const CFeature& feature) {
    return -ExtentOf(e, feature, false) <= feature.x && feature.x < LimitOf(e, feature, false);
}

bool OnScreenY(Engine& e, const CFeature& feature) {
    return -ExtentOf(e, feature, true) <= feature.y && feature.y < LimitOf(e, feature, true);
}

namespace {

// 12..117 in steps of 7 from the right of the screen to the left: the mixer
// attenuates the left output for pans below 64, so the left of the screen
// takes the high values.
int32_t PanFromIndex(int64_t index) {
    if (index < 0) index = 0;
    if (index > 15) index = 15;
    return static_cast<int32_t>(117 - 7 * index);
}

} // namespace

int32_t AutoPanValue(Engine& e, const CFeature& feature, int32_t x) {
    if (IsAbsolute(feature))
        return PanFromIndex(e.view.screenWidth > 0 ? x / e.view.screenWidth : 7);
    return PanFromIndex(x / 800);
}

int32_t BouncePan(Engine& e, const CFeature& feature) {
    const int64_t limit = LimitOf(e, feature, false);
    int64_t pan = 16 + (limit > 0 ? 96LL * feature.x / limit : 48);
    if (pan < 16) pan = 16;
    if (pan > 112) pan = 112;
    return static_cast<int32_t>(128 - pan); // mirrored for the mixer's pan law
}

void AutoPan(Engine& e, CFeature& feature, bool predicted) {
    if (!feature.sound || !(feature.flags & FLAG_AUTO_PAN)) return;
    int32_t pan = PanFromIndex(7); // the middle when the start cannot be foreseen
    int32_t x = feature.x;
    if (!predicted || PredictStartX(e, feature, &x)) pan = AutoPanValue(e, feature, x);
    feature.sound->pan = pan;
    SetSoundVolumePan(e, feature.sound, feature.sound->volume, pan);
}
