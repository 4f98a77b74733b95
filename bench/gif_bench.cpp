// Decoding speed of the GIF loader against giflib's DGifSlurp on the same
// files, in MB/s of decoded pixels, with the ratio per file at the end.
// Run: scripts/bench gif
#include "app/glimmora_context.h"
#include "image/image.h"
#include "support/gif_writer.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gif_lib.h>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

struct BenchFile {
    std::string name;
    std::string path;
    int64_t pixels = 0; // decoded pixels per load
};

std::vector<BenchFile> files;
std::filesystem::path scratch;

int64_t CountPixels(const std::string& path) {
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    if (!gif) return 0;
    int64_t pixels = 0;
    if (DGifSlurp(gif) == GIF_OK) {
        for (int i = 0; i < gif->ImageCount; ++i) {
            pixels +=
                int64_t{gif->SavedImages[i].ImageDesc.Width} * gif->SavedImages[i].ImageDesc.Height;
        }
    }
    DGifCloseFile(gif, &error);
    return pixels;
}

void AddFile(const std::string& name, const std::string& path) {
    BenchFile f{name, path, CountPixels(path)};
    if (f.pixels > 0) files.push_back(f);
}

std::string WriteGenerated(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::filesystem::path path = scratch / name;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return path.string();
}

void CollectFiles() {
    std::filesystem::path data = std::filesystem::path(GLIMMORA_SOURCE_DIR) / "tests/image/data";
    std::vector<std::filesystem::path> fixtures;
    for (const auto& entry : std::filesystem::directory_iterator(data)) {
        if (entry.path().extension() == ".gif") fixtures.push_back(entry.path());
    }
    std::sort(fixtures.begin(), fixtures.end());
    for (const auto& p : fixtures) AddFile(p.filename().string(), p.string());

    scratch = std::filesystem::temp_directory_path() /
              ("glimmora-bench-gif-" + std::to_string(static_cast<long>(std::rand())));
    std::filesystem::create_directories(scratch);
    // A full-screen sprite sheet of 256 colours, an animation of 16-colour
    // frames (long strings), and a table run full without clearing.
    GifImage screen;
    screen.width = 800;
    screen.height = 600;
    screen.indices = TestPicture(800, 600, 1);
    AddFile("generated_800x600.gif",
            WriteGenerated("screen.gif", GifBuilder(800, 600).Image(screen).Trailer().Bytes()));

    GifBuilder anim(320, 240);
    anim.Netscape(0);
    for (int i = 0; i < 8; ++i) {
        GifImage frame;
        frame.width = 320;
        frame.height = 240;
        frame.indices = TestPicture(320, 240, i, 16);
        frame.lzw.minCodeSize = 4;
        anim.Control(5).Image(frame);
    }
    AddFile("generated_anim_16c.gif", WriteGenerated("anim.gif", anim.Trailer().Bytes()));

    GifImage deferred = screen;
    deferred.lzw.clearWhenFull = false;
    AddFile("generated_deferred.gif",
            WriteGenerated("deferred.gif", GifBuilder(800, 600).Image(deferred).Trailer().Bytes()));
}

void DecodeOurs(benchmark::State& state, const BenchFile* file) {
    auto ctx = std::make_unique<GlimmoraContext>();
    for (auto _ : state) {
        CImage image;
        if (!image.LoadImage(file->path.c_str(), ctx->images)) {
            state.SkipWithError("load failed");
            break;
        }
        benchmark::DoNotOptimize(image.pixels);
        image.Release();
    }
    state.SetBytesProcessed(state.iterations() * file->pixels);
}

void DecodeGiflib(benchmark::State& state, const BenchFile* file) {
    for (auto _ : state) {
        int error = 0;
        GifFileType* gif = DGifOpenFileName(file->path.c_str(), &error);
        if (!gif || DGifSlurp(gif) != GIF_OK) {
            state.SkipWithError("giflib failed");
            if (gif) DGifCloseFile(gif, &error);
            break;
        }
        benchmark::DoNotOptimize(gif->SavedImages);
        DGifCloseFile(gif, &error);
    }
    state.SetBytesProcessed(state.iterations() * file->pixels);
}

// Prints the usual table and keeps each run's rate for the ratio summary.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            auto it = run.counters.find("bytes_per_second");
            if (it != run.counters.end()) rates[run.benchmark_name()] = it->second.value;
        }
    }
    std::map<std::string, double> rates;
};

} // namespace

int main(int argc, char** argv) {
    CollectFiles();
    for (const BenchFile& f : files) {
        benchmark::RegisterBenchmark(("ours/" + f.name).c_str(), DecodeOurs, &f);
        benchmark::RegisterBenchmark(("giflib/" + f.name).c_str(), DecodeGiflib, &f);
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\n%-28s %12s %12s %8s\n", "file", "ours MB/s", "giflib MB/s", "ratio");
    for (const BenchFile& f : files) {
        auto ours = reporter.rates.find("ours/" + f.name);
        auto theirs = reporter.rates.find("giflib/" + f.name);
        if (ours == reporter.rates.end() || theirs == reporter.rates.end()) continue;
        std::printf("%-28s %12.1f %12.1f %7.2fx\n", f.name.c_str(), ours->second / 1e6,
                    theirs->second / 1e6, theirs->second > 0 ? ours->second / theirs->second : 0.0);
    }
    // The headline, last, in a fixed form: one line per file.
    std::printf("\n");
    for (const BenchFile& f : files) {
        auto ours = reporter.rates.find("ours/" + f.name);
        auto theirs = reporter.rates.find("giflib/" + f.name);
        if (ours == reporter.rates.end() || theirs == reporter.rates.end()) continue;
        std::printf("%s: ours/giflib %.2f\n", f.name.c_str(),
                    theirs->second > 0 ? ours->second / theirs->second : 0.0);
    }
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(scratch, ignored);
    return 0;
}
