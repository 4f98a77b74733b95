// Decoding speed of the GIF loader against two peers on the same files, in
// MB/s of decoded pixels, with the ratios per file at the end: giflib's
// DGifSlurp (indices of every frame) and stb_image (every frame composed to
// RGBA, from the file's bytes read each time).
// Run: scripts/bench gif
#include "app/glimmora_context.h"
#include "image/image.h"
#include "ports/headless/headless_port.h"
#include "support/gif_writer.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gif_lib.h>
#include <iterator>
#include <map>
#include <memory>
#include <stb/stb_image.h>
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
    HeadlessPort port;
    auto ctx = std::make_unique<GlimmoraContext>(port.Services());
    for (auto _ : state) {
        CImage image;
        if (!image.LoadImage(file->path.c_str(), ctx->images)) {
            state.SkipWithError("load failed");
            break;
        }
        benchmark::DoNotOptimize(image.pixels);
        // What the load took from the module's budget goes back with it, or
        // the budget would run out after enough loads.
        ctx->memory.Give(image.HeldBytes());
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

void DecodeStb(benchmark::State& state, const BenchFile* file) {
    for (auto _ : state) {
        std::ifstream in(file->path, std::ios::binary);
        std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                         std::istreambuf_iterator<char>());
        int* delays = nullptr;
        int w = 0, h = 0, frames = 0, channels = 0;
        stbi_uc* pixels = stbi_load_gif_from_memory(bytes.data(), static_cast<int>(bytes.size()),
                                                    &delays, &w, &h, &frames, &channels, 0);
        if (!pixels) {
            state.SkipWithError("stb_image failed");
            break;
        }
        benchmark::DoNotOptimize(pixels);
        stbi_image_free(pixels);
        stbi_image_free(delays);
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
        benchmark::RegisterBenchmark(("stb/" + f.name).c_str(), DecodeStb, &f);
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    // Rate of a run, 0 when it did not run.
    auto rate = [&](const std::string& name) {
        auto it = reporter.rates.find(name);
        return it == reporter.rates.end() ? 0.0 : it->second;
    };
    auto ratio = [](double a, double b) { return b > 0 ? a / b : 0.0; };
    std::printf("\n%-28s %10s %10s %10s %8s %8s\n", "file", "ours MB/s", "giflib", "stb", "/giflib",
                "/stb");
    for (const BenchFile& f : files) {
        double ours = rate("ours/" + f.name), gif = rate("giflib/" + f.name);
        double stb = rate("stb/" + f.name);
        std::printf("%-28s %10.1f %10.1f %10.1f %7.2fx", f.name.c_str(), ours / 1e6, gif / 1e6,
                    stb / 1e6, ratio(ours, gif));
        if (stb > 0) {
            std::printf(" %7.2fx\n", ratio(ours, stb));
        } else {
            std::printf(" %8s\n", "-");
        }
    }
    // The headline, last, in a fixed form: one line per file ("-" where a
    // peer cannot decode the file).
    std::printf("\n");
    for (const BenchFile& f : files) {
        double ours = rate("ours/" + f.name);
        std::printf("%s: ours/giflib %.2f", f.name.c_str(), ratio(ours, rate("giflib/" + f.name)));
        double stb = rate("stb/" + f.name);
        if (stb > 0) {
            std::printf(" ours/stb %.2f\n", ratio(ours, stb));
        } else {
            std::printf(" ours/stb -\n");
        }
    }
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(scratch, ignored);
    return 0;
}
