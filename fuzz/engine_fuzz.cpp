// Runs the animation engine over feature tables filled from arbitrary bytes:
// every field a script could give, any label, section, slot and command
// string, ticked at arbitrary times. Nothing may read or write out of
// bounds, overflow or hang.
#include "app/glimmora_context.h"
#include "display/ss_view.h"
#include "engine/engine_state.h"
#include "engine/frame_tick.h"
#include "engine/random.h"
#include "image/image.h"
#include "ports/headless/headless_port.h"
#include "script/theme_records.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

namespace {

class ByteSource {
  public:
    ByteSource(const uint8_t* bytes, size_t size) : data(bytes), left(size) {}
    uint8_t Byte() {
        if (left == 0) return 0;
        --left;
        return *data++;
    }
    int32_t Int() {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) value = value << 8 | Byte();
        return static_cast<int32_t>(value);
    }
    // Small values most of the time, any value now and then.
    int32_t Value() {
        const uint8_t kind = Byte();
        if (kind < 160) return static_cast<int32_t>(Byte()) * 16 - 512;
        if (kind < 220) return static_cast<int16_t>(Byte() << 8 | Byte());
        return Int();
    }

  private:
    const uint8_t* data;
    size_t left;
};

// A looping three-frame image and a still one, with colour tables the fades scale.
struct FuzzImage {
    CImage frames[3];
    ColorInfo colorInfo;
    ColorEntry loaded[256];
    uint8_t pixels[3][16 * 8];

    void Build(int count, int width, int height, bool looping) {
        std::memset(&colorInfo, 0, sizeof colorInfo);
        std::memset(loaded, 0x80, sizeof loaded);
        for (int i = 0; i < count; ++i) {
            CImage& f = frames[i];
            f = CImage();
            f.width = width;
            f.height = height;
            f.delayMs = 40 * (i + 1);
            f.pixels = pixels[i];
            f.pixelBytes = static_cast<int32_t>(sizeof pixels[i]);
            f.colorInfo = &colorInfo;
            f.loadedColors = loaded;
            f.frameIndex = static_cast<uint16_t>(i);
            f.flags = static_cast<uint16_t>((i == 0 ? IMAGE_FIRST : 0) |
                                            (i == count - 1 ? IMAGE_LAST : 0));
            f.next = i + 1 < count ? &frames[i + 1] : (looping && count > 1 ? &frames[0] : nullptr);
        }
    }
};

FuzzImage images[2];
PatternStep patternSteps[MAX_FEATURES][4];

void FillFeature(CFeature& f, ByteSource& in, int index) {
    f.SetDefaults();
    f.section = in.Byte() % 4;
    f.flags = (in.Byte() & 3u) << 30;
    f.enableMode = in.Byte() % 4;
    f.enableAfter = in.Value();
    f.enabled = in.Byte() & 1;
    f.fadeType = in.Byte() % 5;
    f.fadeStep = in.Value();
    f.fadeInterval = in.Value();
    f.fadeLevel = in.Value();
    f.startType = in.Byte() % 6;
    f.startArg1 = in.Value();
    f.startArg2 = in.Value();
    f.startTime = in.Value();
    f.startGroup = in.Byte() % 140;
    f.positionMode = in.Byte() % 3;
    f.positionX =
        in.Byte() < 128 ? in.Value() : (in.Byte() & 3) * RANDOM_CODE + (in.Int() & 0x0FFFFFFF);
    f.positionY =
        in.Byte() < 128 ? in.Value() : (in.Byte() & 3) * RANDOM_CODE + (in.Int() & 0x0FFFFFFF);
    f.positionLabel = in.Byte() % 70;
    f.durationType = in.Byte() % 5;
    f.durationArg1 = in.Value();
    f.durationArg2 = in.Value();
    f.currentDuration = in.Value();
    f.movementType = in.Byte() % 9;
    f.moveInterval = in.Value();
    f.moveArg1 = in.Value();
    f.moveArg2 = in.Value();
    f.moveArg3 = in.Value();
    f.moveDx = in.Value();
    f.moveDy = in.Value();
    const int steps = in.Byte() % 5;
    for (int i = 0; i < steps; ++i) patternSteps[index][i] = {in.Value(), in.Value(), in.Value()};
    f.pattern = {in.Byte() < 16 ? in.Value() : steps,
                 in.Byte() < 8 ? nullptr : patternSteps[index]};
    if (f.pattern.count > steps) f.pattern.count = steps; // the loader's count matches its steps
    f.conditionType = in.Byte() % 6;
    f.conditionArg1 = in.Value();
    f.conditionArg2 = in.Value();
    f.conditionArg3 = in.Value();
    f.conditionArg4 = in.Value();
    static const char alphabet[] = "!TSDdE0123456789x";
    const int length = in.Byte() % (COMMANDS_LEN + 1);
    for (int i = 0; i < length; ++i) f.commands[i] = alphabet[in.Byte() % (sizeof alphabet - 1)];
    f.commands[length] = '\0';
    const uint8_t look = in.Byte();
    f.image = look % 3 == 2 ? nullptr : images[look % 3].frames;
    f.displaySlot = in.Byte() < 200 ? index : static_cast<int8_t>(in.Byte());
    f.soundCycleFrame = static_cast<int8_t>(in.Byte()) % 4;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ByteSource in(data, size);
    images[0].Build(3, 16, 8, true);
    images[1].Build(1, 12, 6, false);
    // One context serves every input: making one costs more than most inputs.
    static const std::unique_ptr<HeadlessPort> port = std::make_unique<HeadlessPort>();
    static const std::unique_ptr<GlimmoraContext> ctx =
        std::make_unique<GlimmoraContext>(port->Services());
    CSSView& view = ctx->view;
    Engine& engine = ctx->engine;
    ThemeTables& theme = ctx->script.theme;
    view.Reset();
    const uint8_t screen = in.Byte();
    view.SetSize(screen < 200 ? 800 : 1 + in.Byte() * 8, screen < 200 ? 600 : 1 + in.Byte() * 6);
    for (int i = 0; i < MAX_SLOTS; ++i) view.slots[i].x = 0;
    engine.previewMode = true;
    engine.ResetEngineState();
    engine.random.SeedRandom(1);
    theme.ResetModuleContent();
    theme.featureCount = 1 + in.Byte() % 12;
    for (int i = 0; i < theme.featureCount; ++i) FillFeature(theme.featureTable[i], in, i);
    theme.labelCount = in.Byte() % (MAX_LABELS + 1);
    for (int i = 0; i < theme.labelCount; ++i)
        theme.labelTable[i].feature = static_cast<int8_t>(in.Byte()) % 16;
    theme.sectionCount = in.Byte() % 4;
    uint32_t now = 0;
    for (int tick = 0; tick < 400; ++tick) {
        const uint8_t step = in.Byte();
        now += step < 250 ? step : static_cast<uint32_t>(in.Int());
        if (step == 7 && theme.sectionCount > 0)
            theme.sectionTable[engine.currentSection % theme.sectionCount].endRequested = 1;
        FrameTick(engine, now, port->system.Milliseconds());
    }
    // The pattern steps are this program's own: the tables must not free them.
    std::memset(static_cast<void*>(theme.featureTable), 0, sizeof theme.featureTable);
    theme.featureCount = 0;
    view.Reset();
    return 0;
}
