// Two engines in one process, each with its own context: side by side, each
// gives exactly the pictures and sound requests it gives alone.
#include "app/glimmora_context.h"
#include "app/module_loader.h"
#include "display/update_region.h"
#include "engine/frame_tick.h"
#include "ports/headless/headless_port.h"
#include "support/test_frames.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

struct SoundRequest {
    char kind;
    uint32_t stopTime;
    const CSound* sound;
    int volume;
    int pan;
    bool operator==(const SoundRequest&) const = default;
};

int RecordStart(void* log, uint32_t stopTime, CSound* sound, int volume, int pan) {
    static_cast<std::vector<SoundRequest>*>(log)->push_back({'S', stopTime, sound, volume, pan});
    return 1;
}
void RecordStop(void* log, CSound* sound) {
    static_cast<std::vector<SoundRequest>*>(log)->push_back({'X', 0, sound, 0, 0});
}
void RecordVolumePan(void* log, CSound* sound, int volume, int pan) {
    static_cast<std::vector<SoundRequest>*>(log)->push_back({'V', 0, sound, volume, pan});
}

// One module of a bundled theme playing in a view of its own.
class Player {
  public:
    Player(HeadlessPort& port, const char* theme, int module, int32_t width, int32_t height,
           uint32_t seed)
        : port(port), ctx(std::make_unique<GlimmoraContext>(port.Services())) {
        RunConfig& run = ctx->run;
        const std::string folder = std::string(GLIMMORA_SOURCE_DIR) + "/themes/" + theme;
        std::snprintf(run.appTitle, sizeof(run.appTitle), "%s", theme);
        std::snprintf(run.saverName, sizeof(run.saverName), "QV %s %d", theme, module);
        std::snprintf(run.mediaDirectory, sizeof(run.mediaDirectory), "%s", folder.c_str());
        std::snprintf(run.scriptPath, sizeof(run.scriptPath), "%s/%s.SS", folder.c_str(), theme);
        port.settings.Set(run.saverName, "Config", "ActiveModule", module);
        ctx->view.SetSize(width, height);
        LoadModule(*ctx);
        EXPECT_EQ(ctx->errors.errorLine, 0);
        EXPECT_EQ(ctx->view.Init(TestWindow(), width, height), 1);
        ctx->engine.random.SeedRandom(seed);
        ctx->engine.sound = {RecordStart, RecordStop, RecordVolumePan, &requests};
    }

    // One pass at the virtual clock's time; returns the section time after it.
    uint32_t Tick() {
        Engine& engine = ctx->engine;
        if (engine.clockStart == 0) engine.clockStart = port.system.Milliseconds();
        const uint32_t t = port.system.Milliseconds() - engine.clockStart;
        engine.sectionTime.store(t);
        FrameTick(engine, t, port.system.Milliseconds());
        return port.system.Milliseconds() - engine.clockStart; // a new section starts at 0
    }

    uint64_t PictureHash() {
        VidFrame frame{};
        VidRect rects[REGION_MAX_RECTS];
        ctx->view.Paint(&frame, rects);
        uint64_t hash = 1469598103934665603ull;
        const CSSView& view = ctx->view;
        for (int64_t i = 0; i < int64_t{view.bufferWidth} * view.bufferHeight; ++i)
            hash = (hash ^ view.backBuffer[i]) * 1099511628211ull;
        return hash;
    }

    // One pass; every tenth pass the picture's hash.
    void Pass(int pass) {
        Tick();
        if (pass % 10 == 0) pictures.push_back(PictureHash());
    }

    // What every feature is doing, and the section.
    std::vector<int64_t> State() const {
        const Engine& engine = ctx->engine;
        std::vector<int64_t> state = {engine.currentSection, engine.sectionEnding,
                                      engine.bannerShown};
        for (int i = 0; i < engine.theme.featureCount; ++i) {
            const CFeature& f = engine.theme.featureTable[i];
            state.insert(state.end(), {f.x, f.y, f.startTime, f.endTime, f.fadeLevel, f.enabled,
                                       f.currentFrame ? f.currentFrame->frameIndex : -1,
                                       f.nextMoveTime, f.conditionFired, f.soundStarted});
        }
        return state;
    }

    HeadlessPort& port;
    std::unique_ptr<GlimmoraContext> ctx;
    std::vector<uint64_t> pictures;
    std::vector<SoundRequest> requests;
};

constexpr int PASSES = 1500; // 30 seconds in steps of 20 ms

void PlayAlone(HeadlessPort& port, Player& player) {
    port.system.SetTime(1000);
    for (int pass = 0; pass < PASSES; ++pass) {
        player.Pass(pass);
        port.system.AdvanceTime(20);
    }
}

TEST(TwoEngines, EachPlaysAsItWouldAlone) {
    HeadlessPort port;
    port.system.ClearMessages();
    port.settings.Clear();
    Player reefAlone(port, "Aquarium", 0, 320, 240, 11);
    PlayAlone(port, reefAlone);
    Player deepAlone(port, "Aquarium", 1, 200, 150, 22);
    PlayAlone(port, deepAlone);

    Player reef(port, "Aquarium", 0, 320, 240, 11);
    Player deep(port, "Aquarium", 1, 200, 150, 22);
    port.system.SetTime(1000);
    for (int pass = 0; pass < PASSES; ++pass) {
        reef.Pass(pass);
        deep.Pass(pass);
        port.system.AdvanceTime(20);
    }
    EXPECT_TRUE(port.system.Messages().empty());
    ASSERT_FALSE(reef.requests.empty());
    ASSERT_FALSE(deep.requests.empty());
    EXPECT_NE(reef.pictures, deep.pictures);
    EXPECT_TRUE(reef.pictures == reefAlone.pictures);
    EXPECT_TRUE(deep.pictures == deepAlone.pictures);
    // The sounds are each context's own; what is asked of them is the same.
    ASSERT_EQ(reef.requests.size(), reefAlone.requests.size());
    ASSERT_EQ(deep.requests.size(), deepAlone.requests.size());
    for (size_t i = 0; i < reef.requests.size(); ++i) {
        SoundRequest alone = reefAlone.requests[i];
        alone.sound = reef.requests[i].sound;
        EXPECT_EQ(reef.requests[i], alone) << i;
    }
    for (size_t i = 0; i < deep.requests.size(); ++i) {
        SoundRequest alone = deepAlone.requests[i];
        alone.sound = deep.requests[i].sound;
        EXPECT_EQ(deep.requests[i], alone) << i;
    }
}

// The main loop sleeps until the engine's next change: a player that passes
// only then shows and asks to play exactly what one that passes every
// millisecond does, with far fewer passes.
TEST(TwoEngines, PassingOnlyAtTheNextChangeChangesNothing) {
    HeadlessPort port;
    constexpr uint32_t PLAY_MS = 40000;
    for (int module = 0; module < 3; ++module) {
        port.system.ClearMessages();
        port.settings.Clear();
        Player every(port, "Aquarium", module, 320, 240, 5);
        Player sparse(port, "Aquarium", module, 320, 240, 5);
        port.system.SetTime(1000);
        uint64_t wake = 1000; // the sparse player's next pass, on the clock
        int passes = 0;
        for (uint32_t ms = 0; ms < PLAY_MS; ++ms) {
            const uint32_t now = port.system.Milliseconds();
            every.Tick();
            if (now >= wake) {
                const uint32_t t = sparse.Tick();
                ++passes;
                const uint32_t next = NextChangeTime(sparse.ctx->engine, t);
                ASSERT_GT(next, t);
                wake = uint64_t{now} + (next - t);
                ASSERT_EQ(every.State(), sparse.State()) << "module " << module << " at " << ms;
            }
            port.system.AdvanceTime(1);
        }
        EXPECT_EQ(every.PictureHash(), sparse.PictureHash()) << module;
        ASSERT_EQ(every.requests.size(), sparse.requests.size()) << module;
        for (size_t i = 0; i < every.requests.size(); ++i) {
            SoundRequest expected = every.requests[i];
            expected.sound = sparse.requests[i].sound;
            EXPECT_EQ(sparse.requests[i], expected) << module << " " << i;
        }
        EXPECT_LT(passes, static_cast<int>(PLAY_MS / 5)) << module;
    }
}

} // namespace
