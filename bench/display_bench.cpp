// Cost of composing the scene at 1920 x 1080: a tiled background image, 100
// masked sprites and two banners, against a memcpy of the same bytes, and a
// frame in which only 10 sprites moved. The pictures are converted for the
// compositor as loading converts them. The same scene at 3840 x 2160 with
// every picture and position twice as large is the same picture at four
// times the pixels.
#include "app/glimmora_context.h"
#include "display/ss_view.h"
#include "ports/headless/headless_port.h"
#include "support/test_frames.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int32_t WIDTH = 1920;
constexpr int32_t HEIGHT = 1080;
constexpr int32_t WIDTH_4K = 3840;
constexpr int32_t HEIGHT_4K = 2160;
constexpr int SPRITES = 100;
constexpr int MOVERS = 10;
constexpr size_t FRAME_BYTES = static_cast<size_t>(WIDTH) * HEIGHT * 4;
constexpr size_t FRAME_BYTES_4K = static_cast<size_t>(WIDTH_4K) * HEIGHT_4K * 4;

// Composes what changed and shows it, as the window's paint does.
void Paint(CSSView& view, HeadlessPicture& screen) {
    VidFrame frame{};
    VidRect rects[REGION_MAX_RECTS];
    const int count = view.Paint(&frame, rects);
    if (count > 0) HeadlessCopyRects(screen, frame, rects, count);
}

struct Scene {
    std::unique_ptr<HeadlessPort> port = std::make_unique<HeadlessPort>();
    std::unique_ptr<GlimmoraContext> ctx = std::make_unique<GlimmoraContext>(port->Services());
    CSSView& view = ctx->view;
    HeadlessPicture screen;
    std::unique_ptr<TestFrame> background;
    std::vector<std::unique_ptr<TestFrame>> sprites;
    std::vector<int32_t> x, y;
    std::mt19937 random{42};

    // The scene laid out on 1920 x 1080; `spread` times that on the screen,
    // with the pictures at `scale`.
    explicit Scene(int32_t spread = 1, int32_t scale = 1) {
        view.SetSize(WIDTH * spread, HEIGHT * spread);
        view.SetPictureScale(scale);
        view.Init(TestWindow());
        background = std::make_unique<TestFrame>(256, 192);
        for (int32_t py = 0; py < 192; ++py)
            for (int32_t px = 0; px < 256; ++px)
                background->SetPixel(px, py, static_cast<uint8_t>(random()));
        for (int i = 0; i < 256; ++i)
            background->SetColor(i, static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), 64);
        background->Convert(scale);
        view.SetBackgroundImage(&background->frame);
        // Sprites from 48 to 176 pixels a side, a quarter of each transparent
        // (a disc-like outline around an opaque body).
        for (int s = 0; s < SPRITES; ++s) {
            int32_t w = 48 + static_cast<int32_t>(random() % 129);
            int32_t h = 48 + static_cast<int32_t>(random() % 129);
            auto frame = std::make_unique<TestFrame>(w, h);
            for (int32_t py = 0; py < h; ++py) {
                for (int32_t px = 0; px < w; ++px) {
                    int64_t dx = 2 * px - w, dy = 2 * py - h;
                    bool inside = dx * dx * h * h + dy * dy * w * w < int64_t{w} * w * h * h;
                    frame->SetPixel(px, py, inside ? static_cast<uint8_t>(1 + random() % 255) : 0);
                }
            }
            for (int i = 0; i < 256; ++i)
                frame->SetColor(i, static_cast<uint8_t>(i * 3), static_cast<uint8_t>(i), 200);
            frame->SetColor(0, 0, 0, 0);
            frame->MakeTransparent(0);
            frame->Convert(scale);
            sprites.push_back(std::move(frame));
            x.push_back(spread * static_cast<int32_t>(random() % (WIDTH - 100)));
            y.push_back(spread * static_cast<int32_t>(random() % (HEIGHT - 100)));
            int slot = view.AllocSlot();
            view.slots[slot].Place(view, x[s] * 16, y[s] * 16, &sprites[s]->frame, true);
        }
        view.SetBanner(0, 618, 584, "Glimmora - a screen-saver engine");
        view.SetBanner(1, 4, 584, "Aquarium");
        Paint(view, screen);
    }
    ~Scene() { view.Reset(); }

    // Gathers the movers in the top left quarter of the screen.
    void Cluster() {
        for (int s = 0; s < MOVERS; ++s) {
            x[s] = static_cast<int32_t>(random() % (WIDTH / 4));
            y[s] = static_cast<int32_t>(random() % (HEIGHT / 4));
            view.slots[s].Place(view, x[s] * 16, y[s] * 16, &sprites[s]->frame, true);
        }
        Paint(view, screen);
    }

    // Moves the first `count` sprites a few pixels.
    void MoveSome(int step, int count = MOVERS) {
        for (int s = 0; s < count; ++s) {
            int32_t dx = (step & 1) ? 3 : -3;
            x[s] += dx;
            view.slots[s].Place(view, x[s] * 16, y[s] * 16, &sprites[s]->frame, true);
        }
    }
};

// Seconds per memcpy of a whole frame of `bytes`, measured once.
double MeasureMemcpy(size_t bytes) {
    std::vector<uint32_t> from(bytes / 4, 0x123456), to(bytes / 4);
    double best = 1e9;
    for (int round = 0; round < 200; ++round) {
        auto start = std::chrono::steady_clock::now();
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
        std::chrono::duration<double> d = std::chrono::steady_clock::now() - start;
        if (d.count() < best) best = d.count();
    }
    return best;
}

double MemcpySeconds(size_t bytes = FRAME_BYTES) {
    static double seconds = MeasureMemcpy(FRAME_BYTES);
    static double seconds4k = MeasureMemcpy(FRAME_BYTES_4K);
    return bytes == FRAME_BYTES ? seconds : seconds4k;
}

using Clock = std::chrono::steady_clock;

// Per-iteration times of one benchmark. The machine is shared, so the ratio
// to memcpy compares best times, which other load disturbs least.
struct Timing {
    double total = 0;
    double best = 1e9;
    void Add(Clock::time_point start) {
        double s = std::chrono::duration<double>(Clock::now() - start).count();
        total += s;
        best = std::min(best, s);
    }
};

void Report(benchmark::State& state, const Timing& t, double pixels,
            size_t frameBytes = FRAME_BYTES) {
    state.counters["pixels/s"] = benchmark::Counter(pixels / t.best);
    state.counters["best_ms"] = t.best * 1000;
    state.counters["x_memcpy"] = t.best / MemcpySeconds(frameBytes);
}

void CopyFrames(benchmark::State& state, size_t bytes) {
    std::vector<uint32_t> from(bytes / 4, 0x123456), to(bytes / 4);
    Timing t;
    for (auto _ : state) {
        auto start = Clock::now();
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
        t.Add(start);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
    state.counters["best_ms"] = t.best * 1000;
}
void BM_Memcpy(benchmark::State& state) {
    CopyFrames(state, FRAME_BYTES);
}
void BM_Memcpy4k(benchmark::State& state) {
    CopyFrames(state, FRAME_BYTES_4K);
}
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Memcpy4k)->Unit(benchmark::kMillisecond);

// The whole window composed into the back buffer (no present).
void BM_ComposeFull(benchmark::State& state) {
    Scene scene;
    CSSView& view = scene.view;
    Timing t;
    for (auto _ : state) {
        view.InvalidateAll();
        auto start = Clock::now();
        view.Compose();
        benchmark::ClobberMemory();
        t.Add(start);
        view.updateRegion.Clear();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * FRAME_BYTES);
    Report(state, t, double{WIDTH} * HEIGHT);
}
BENCHMARK(BM_ComposeFull)->Unit(benchmark::kMillisecond);

// The whole window at 3840 x 2160 with the pictures at `scale`, the scene
// spread over twice the distances: at 2 the 1080p picture at four times the
// pixels; at 3 (the scale that fits 3840 x 2160) its sprites cover more.
void ComposeFull4k(benchmark::State& state, int32_t scale) {
    Scene scene(2, scale);
    CSSView& view = scene.view;
    Timing t;
    for (auto _ : state) {
        view.InvalidateAll();
        auto start = Clock::now();
        view.Compose();
        benchmark::ClobberMemory();
        t.Add(start);
        view.updateRegion.Clear();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * FRAME_BYTES_4K);
    Report(state, t, double{WIDTH_4K} * HEIGHT_4K, FRAME_BYTES_4K);
}
void BM_ComposeFull4kScaled(benchmark::State& state) {
    ComposeFull4k(state, 2);
}
void BM_ComposeFull4kScale3(benchmark::State& state) {
    ComposeFull4k(state, 3);
}
BENCHMARK(BM_ComposeFull4kScaled)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ComposeFull4kScale3)->Unit(benchmark::kMillisecond);

// A full paint: composition and the copy of the whole window to the screen.
void BM_PaintFull(benchmark::State& state) {
    Scene scene;
    CSSView& view = scene.view;
    Timing t;
    for (auto _ : state) {
        auto start = Clock::now();
        view.InvalidateAll();
        Paint(view, scene.screen);
        benchmark::ClobberMemory();
        t.Add(start);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * FRAME_BYTES);
    Report(state, t, double{WIDTH} * HEIGHT);
}
BENCHMARK(BM_PaintFull)->Unit(benchmark::kMillisecond);

// A frame in which 10 sprites moved a few pixels: their old and new
// rectangles are composed. `clustered` keeps the movers in one corner (a
// school of fish); otherwise they are spread over the screen, and the
// bounding rectangle that a paint presents spans most of it.
void DirtyFrames(benchmark::State& state, bool paint, bool clustered, int movers = MOVERS) {
    Scene scene;
    CSSView& view = scene.view;
    if (clustered) scene.Cluster();
    Timing t;
    int step = 0;
    double area = 0;
    double rects = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        scene.MoveSome(step++, movers);
        rects += view.updateRegion.Count();
        for (int i = 0; i < view.updateRegion.Count(); ++i) {
            const ViewRect& r = view.updateRegion.Rect(i);
            area += static_cast<double>(r.right - r.left) * (r.bottom - r.top);
        }
        if (paint) {
            Paint(view, scene.screen);
        } else {
            view.Compose();
            view.updateRegion.Clear();
        }
        benchmark::ClobberMemory();
        t.Add(start);
    }
    Report(state, t, area / static_cast<double>(state.iterations()));
    state.counters["dirty_pixels"] = area / static_cast<double>(state.iterations());
    state.counters["rects"] = rects / static_cast<double>(state.iterations());
}
void BM_ComposeDirty(benchmark::State& state) {
    DirtyFrames(state, false, false);
}
void BM_PaintDirty(benchmark::State& state) {
    DirtyFrames(state, true, false);
}
void BM_PaintDirtyClustered(benchmark::State& state) {
    DirtyFrames(state, true, true);
}
// Every sprite moved: the region holds 200 overlapping rectangles.
void BM_PaintAllMoved(benchmark::State& state) {
    DirtyFrames(state, true, false, SPRITES);
}
BENCHMARK(BM_ComposeDirty)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintDirty)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintDirtyClustered)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintAllMoved)->Unit(benchmark::kMillisecond);

// Prints the usual table and keeps each run's best time for the headline ratios.
class BestReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            auto it = run.counters.find("best_ms");
            if (it != run.counters.end()) best[run.benchmark_name()] = it->second.value;
        }
    }
    // best[a] / best[b], or 0 when either did not run.
    double Ratio(const std::string& a, const std::string& b) const {
        auto x = best.find(a);
        auto y = best.find(b);
        if (x == best.end() || y == best.end() || y->second <= 0) return 0;
        return x->second / y->second;
    }
    std::map<std::string, double> best;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    BestReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    // The headline, last, in a fixed form.
    std::printf("\ncompose/memcpy: %.2f\n", reporter.Ratio("BM_ComposeFull", "BM_Memcpy"));
    std::printf("paint-full/paint-dirty: %.2f\n", reporter.Ratio("BM_PaintFull", "BM_PaintDirty"));
    std::printf("compose-4k-scaled/memcpy: %.2f\n",
                reporter.Ratio("BM_ComposeFull4kScaled", "BM_Memcpy4k"));
    return 0;
}
