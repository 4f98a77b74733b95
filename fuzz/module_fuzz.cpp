// Loads a module from arbitrary script text, with a fixed set of media files
// beside the script: a two-frame GIF, a short WAV and a palette file. The
// first byte chooses the module, the preview mode and whether reading goes on
// after an error (as the theme tools read).
#include "app/glimmora_context.h"
#include "app/module_loader.h"
#include "ports/headless/headless_port.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

std::string folder;

void WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::FILE* file = std::fopen((folder + "/" + name).c_str(), "wb");
    if (!file) std::abort();
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// A 2 by 2 frame, LZW-coded with 9-bit codes: clear, four literals, end.
void PutFrame(std::vector<uint8_t>& gif, uint8_t first, int delay, int transparent) {
    gif.insert(gif.end(), {0x21, 0xF9, 4, static_cast<uint8_t>(transparent >= 0 ? 1 : 0)});
    Put16(gif, static_cast<uint32_t>(delay));
    gif.insert(gif.end(), {static_cast<uint8_t>(transparent >= 0 ? transparent : 0), 0, 0x2C});
    Put16(gif, 0);
    Put16(gif, 0);
    Put16(gif, 2);
    Put16(gif, 2);
    gif.push_back(0);
    gif.push_back(8);
    const uint32_t codes[] = {256, first, static_cast<uint32_t>(first + 1), 7, 9, 257};
    std::vector<uint8_t> data;
    uint32_t bits = 0;
    int count = 0;
    for (uint32_t code : codes) {
        bits |= code << count;
        count += 9;
        while (count >= 8) {
            data.push_back(static_cast<uint8_t>(bits));
            bits >>= 8;
            count -= 8;
        }
    }
    if (count > 0) data.push_back(static_cast<uint8_t>(bits));
    gif.push_back(static_cast<uint8_t>(data.size()));
    gif.insert(gif.end(), data.begin(), data.end());
    gif.push_back(0);
}

std::vector<uint8_t> MakeGif() {
    std::vector<uint8_t> gif = {'G', 'I', 'F', '8', '9', 'a'};
    Put16(gif, 2);
    Put16(gif, 2);
    gif.insert(gif.end(), {0xF7, 0, 0});
    for (int i = 0; i < 256; ++i) gif.insert(gif.end(), {uint8_t(i), uint8_t(255 - i), uint8_t(i)});
    const char netscape[] = "NETSCAPE2.0";
    gif.insert(gif.end(), {0x21, 0xFF, 11});
    gif.insert(gif.end(), netscape, netscape + 11);
    gif.insert(gif.end(), {3, 1, 0, 0, 0});
    PutFrame(gif, 1, 10, 7);
    PutFrame(gif, 3, 20, -1);
    gif.push_back(0x3B);
    return gif;
}

std::vector<uint8_t> MakeWav(uint32_t samples) {
    std::vector<uint8_t> wav = {'R', 'I', 'F', 'F'};
    Put32(wav, 36 + samples);
    wav.insert(wav.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Put32(wav, 16);
    Put16(wav, 1);
    Put16(wav, 1);
    Put32(wav, 22050);
    Put32(wav, 22050);
    Put16(wav, 1);
    Put16(wav, 8);
    wav.insert(wav.end(), {'d', 'a', 't', 'a'});
    Put32(wav, samples);
    for (uint32_t i = 0; i < samples; ++i) wav.push_back(static_cast<uint8_t>(128 + i % 7));
    return wav;
}

void MakeMedia() {
    char pattern[] = "/tmp/glimmora-module-fuzz-XXXXXX";
    if (!mkdtemp(pattern)) std::abort();
    folder = pattern;
    std::vector<uint8_t> gif = MakeGif();
    WriteFile("fish.gif", gif);
    WriteFile("back.gif", gif);
    WriteFile("bubble.wav", MakeWav(300));
    std::vector<uint8_t> palette = {0, 3, 0, 1};
    for (int i = 0; i < 256; ++i) palette.insert(palette.end(), {uint8_t(i), 0, uint8_t(i), 0});
    WriteFile("256COL00.PAL", palette);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (folder.empty()) MakeMedia();
    if (size == 0) return 0;
    uint8_t options = data[0];
    WriteFile("theme.SS", std::vector<uint8_t>(data + 1, data + size));

    // One context serves every input: making one costs more than most inputs.
    // Each load starts from the state of a program that has just started.
    static const std::unique_ptr<HeadlessPort> port = std::make_unique<HeadlessPort>();
    static const std::unique_ptr<GlimmoraContext> ctx =
        std::make_unique<GlimmoraContext>(port->Services());
    ctx->view.Reset();
    ctx->ResetModule();
    ctx->script.Reset();
    ctx->errors.Clear();
    ctx->run = RunConfig();
    ctx->settings.ResetSettings();
    RunConfig& run = ctx->run;
    port->system.ClearMessages();
    port->settings.Clear();
    std::snprintf(run.saverName, sizeof(run.saverName), "%s", "fuzz");
    std::snprintf(run.scriptPath, sizeof(run.scriptPath), "%s/theme.SS", folder.c_str());
    std::snprintf(run.mediaDirectory, sizeof(run.mediaDirectory), "%s", folder.c_str());
    run.previewMode = (options & 0x80) != 0;
    ctx->script.keepGoing = (options & 0x20) != 0;
    ctx->view.SetSize(options & 0x40 ? 1024 : 800, options & 0x40 ? 768 : 600);
    port->settings.Set("fuzz", "Config", "ActiveModule", options & 0x0F);

    LoadModule(*ctx);
    return 0;
}
