// A fixture for loading modules from scripts on disk, with generated GIF and
// WAV files in the theme folder.
#pragma once

#include "app/module_loader.h"
#include "ports/headless/headless_port.h"
#include "support/app_fixture.h"
#include "support/gif_writer.h"
#include "support/test_files.h"
#include "support/wav_writer.h"

#include <gtest/gtest.h>
#include <string>

// Lines before a module body written by Module(): "Module", "{", "Setup",
// "{", the parameter lines, "}".
constexpr int MODULE_HEAD_LINES = 5;

class ModuleFixture : public ContextTest {
  protected:
    void SetUp() override {
        ResetContext();
        port.system.ClearMessages();
        port.settings.Clear();
        std::snprintf(run.appTitle, sizeof(run.appTitle), "%s", "Glimmora");
        std::snprintf(run.saverName, sizeof(run.saverName), "%s", "QV Test");
        std::snprintf(run.mediaDirectory, sizeof(run.mediaDirectory), "%s", dir.Path().c_str());
        view.SetSize(800, 600);
        WriteGif("fish.gif", 4, 10);
        WriteGif("still.gif", 1, 0);
        WriteWav("bubble.wav", 200);
    }

    // An animated GIF of `frames` frames of `delay` hundredths of a second,
    // each `width` by `height` pixels, looping.
    std::string WriteGif(const std::string& name, int frames, int delay, int width = 4,
                         int height = 3) {
        GifBuilder gif(width, height);
        gif.Netscape(0);
        for (int i = 0; i < frames; ++i) {
            gif.Control(delay, 0);
            GifImage image;
            image.width = width;
            image.height = height;
            image.indices.assign(static_cast<size_t>(width * height), static_cast<uint8_t>(i + 1));
            gif.Image(image);
        }
        gif.Trailer();
        return dir.WriteBytes(name, gif.Bytes());
    }

    std::string WriteWav(const std::string& name, size_t samples) {
        return dir.WriteBytes(name, MakeWav(RampSamples(samples)));
    }

    // A palette file whose first entry has the red level `red`.
    std::string WritePalette(const std::string& name, uint8_t red) {
        std::vector<unsigned char> bytes = {0x00, 0x03, 0x00, 0x01};
        for (int i = 0; i < 256; ++i) bytes.insert(bytes.end(), {red, 0, 0, 0});
        return dir.WriteBytes(name, bytes);
    }

    // A module named `name` with the Setup lines `params` and the body `body`.
    static std::string Module(const std::string& name, const std::string& body,
                              const std::string& params = "") {
        return "Module \"" + name + "\"\n{\nSetup\n{\n" + params + "}\n" + body + "}\n";
    }

    // Writes the script and loads its active module.
    void Load(const std::string& script) {
        std::string path = dir.Write("theme.SS", script);
        std::snprintf(run.scriptPath, sizeof(run.scriptPath), "%s", path.c_str());
        LoadModule(ctx);
    }

    // Loads a one-module script whose body is `body`.
    void LoadBody(const std::string& body, const std::string& params = "") {
        Load(Module("Test", body, params));
    }

    // Loads one feature block with the lines `lines`.
    void LoadFeature(const std::string& lines, const std::string& params = "") {
        LoadBody("Feature\n{\n" + lines + "}\n", params);
    }

    std::string LastMessage() const {
        return port.system.Messages().empty() ? "" : port.system.Messages().back().text;
    }

    // Path of a media file as the loaders form it.
    std::string Media(const std::string& name) const { return dir.File(name); }

    TempDir dir;
};
