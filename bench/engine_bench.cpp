// One frame tick over 100 showing features of mixed movement kinds, fades and
// animations, every feature stepping on every tick.
#include "app/glimmora_context.h"
#include "display/ss_view.h"
#include "engine/engine_state.h"
#include "engine/frame_tick.h"
#include "engine/random.h"
#include "ports/headless/headless_port.h"
#include "script/theme_records.h"
#include "support/test_animation.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

PatternStep patternSteps[] = {{32, 0, 3}, {0, 32, 2}, {-32, -16, 4}};

void SetUpFeatures(GlimmoraContext& ctx, std::vector<std::unique_ptr<TestImage>>& images) {
    ThemeTables& theme = ctx.script.theme;
    ctx.view.SetSize(1024, 768);
    ctx.engine.previewMode = true;
    ctx.engine.ResetEngineState();
    ctx.engine.random.SeedRandom(1);
    theme.featureCount = 0;
    for (int i = 0; i < MAX_FEATURES; ++i) {
        images.push_back(std::make_unique<TestImage>(4, 48, 32, 30 + i % 50, true));
        CFeature& f = theme.featureTable[theme.featureCount++];
        f.SetDefaults();
        f.image = images.back()->First();
        f.displaySlot = ctx.view.AllocSlot();
        f.startType = START_FIXED;
        f.startTime = 0;
        f.durationType = DURATION_FIXED;
        f.currentDuration = 0x7FFFFFFF;
        f.positionX = 16 * (i * 7 % 700);
        f.positionY = 16 * (i * 13 % 500);
        f.moveInterval = 1;
        f.conditionType = COND_IN_REGION;
        f.conditionArg3 = f.conditionArg4 = -1; // never inside
        switch (i % 7) {
        case 0:
            f.movementType = MOVE_VECTOR;
            f.moveDx = 3;
            f.moveDy = -2;
            break;
        case 1:
            f.movementType = MOVE_BOUNCE;
            f.moveArg1 = 4;
            break;
        case 2:
            f.movementType = MOVE_PATTERN;
            f.pattern = {3, patternSteps};
            break;
        case 3:
            f.movementType = MOVE_ARC;
            f.moveArg1 = 3;
            f.moveArg2 = 30;
            f.moveArg3 = 25;
            break;
        case 4:
            f.movementType = MOVE_PROJECTILE;
            f.moveArg1 = 300;
            f.moveArg2 = 40;
            f.moveArg3 = 16;
            break;
        case 5:
            f.movementType = MOVE_ON_IMAGE_CYCLE;
            f.moveDx = 16;
            break;
        default:
            f.movementType = MOVE_STATIC;
            f.fadeType = FADE_IN;
            f.fadeStep = 1;
            f.fadeInterval = 1;
            break;
        }
    }
}

void BM_FrameTick100Features(benchmark::State& state) {
    HeadlessPort port;
    auto ctx = std::make_unique<GlimmoraContext>(port.Services());
    ThemeTables& theme = ctx->script.theme;
    std::vector<std::unique_ptr<TestImage>> images;
    SetUpFeatures(*ctx, images);
    uint32_t t = 1;
    FrameTick(ctx->engine, 0, 0);
    for (auto _ : state) FrameTick(ctx->engine, t++, 0);
    state.counters["showing"] = theme.featureCount;
    // The pattern steps are the benchmark's own: the tables must not free them.
    for (CFeature& f : theme.featureTable) f.pattern = {0, nullptr};
    theme.featureCount = 0;
}
BENCHMARK(BM_FrameTick100Features);

} // namespace

BENCHMARK_MAIN();
