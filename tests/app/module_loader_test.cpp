#include "image/screen_frame.h"
#include "ports/headless/headless_port.h"
#include "support/module_fixture.h"

#include <filesystem>

namespace {

using ModuleLoaderTest = ModuleFixture;

TEST_F(ModuleLoaderTest, BackgroundColor) {
    LoadBody("Background\n{\nColor 255,128,0\n}\n");
    EXPECT_EQ(view.backgroundColor, 0x0080FFu);
    EXPECT_EQ(view.backgroundImage, nullptr);
    EXPECT_EQ(errorLine, 0);

    SetUp();
    LoadBody("Background\n{\nColor {255, 128, 0}\n}\n");
    EXPECT_EQ(view.backgroundColor, 0x0080FFu);

    SetUp();
    LoadBody("Background\n{\nColor 511, -1, 256\n}\n"); // low 8 bits of each
    EXPECT_EQ(view.backgroundColor, 0x00FFFFu);
}

TEST_F(ModuleLoaderTest, IncompleteColorIsRejected) {
    LoadBody("Background\n{\nColor 255,128\n}\n");
    EXPECT_EQ(LastMessage(), "Invalid Keyword: 255,128");
    EXPECT_EQ(errorLine, MODULE_HEAD_LINES + 3);
}

TEST_F(ModuleLoaderTest, BackgroundImageFromTheCurrentFolderFirst) {
    TempDir elsewhere;
    WriteGif("back.gif", 1, 0, 8, 6); // the theme folder's
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(elsewhere.Path());

    // Not in the current folder: the theme folder's file is used.
    LoadBody("Background\n{\nImage \"back.gif\"\n}\n");
    ASSERT_NE(view.backgroundImage, nullptr);
    EXPECT_EQ(view.backgroundImage->width, 8);
    EXPECT_EQ(view.backgroundImage, ctx.load.moduleBackground);
    EXPECT_EQ(errorLine, 0);

    // A file of that name in the current folder is taken as written.
    GifBuilder gif(2, 2);
    GifImage image;
    image.width = image.height = 2;
    image.indices.assign(4, 1);
    gif.Image(image).Trailer();
    elsewhere.WriteBytes("back.gif", gif.Bytes());
    SetUp();
    LoadBody("Background\n{\nImage \"back.gif\"\n}\n");
    ASSERT_NE(view.backgroundImage, nullptr);
    EXPECT_EQ(view.backgroundImage->width, 2);

    std::filesystem::current_path(previous);
}

TEST_F(ModuleLoaderTest, MissingBackgroundImageIsReportedAsWritten) {
    LoadBody("Background\n{\nImage \"sky.gif\"\n}\nFeature\n{\n}\n");
    EXPECT_EQ(LastMessage(), "File Not Found: sky.gif");
    EXPECT_EQ(errorLine, MODULE_HEAD_LINES + 3);
    EXPECT_EQ(featureCount, 0);
    EXPECT_FALSE(view.hasPalette); // loading stopped before the palette
}

// After "-def" (no media directory) a file the current folder does not hold
// is taken from the script's folder; one neither holds is reported with both.
TEST_F(ModuleLoaderTest, AfterDefMediaAreLookedForBesideTheScript) {
    TempDir elsewhere;
    WriteGif("back.gif", 1, 0, 8, 6);
    WritePalette("256COL00.PAL", 9);
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(elsewhere.Path());
    run.mediaDirectory[0] = '\0';
    LoadBody("Background\n{\nImage \"back.gif\"\n}\nFeature\n{\nImage \"fish.gif\"\n"
             "Sound \"bubble.wav\", 100\n}\n");
    EXPECT_EQ(errorLine, 0) << LastMessage();
    ASSERT_NE(view.backgroundImage, nullptr);
    EXPECT_EQ(featureCount, 1);
    EXPECT_NE(featureTable[0].image, nullptr);
    EXPECT_NE(featureTable[0].sound, nullptr);
    EXPECT_TRUE(view.hasPalette);

    SetUp();
    run.mediaDirectory[0] = '\0';
    LoadBody("Feature\n{\nImage \"mon.gif\"\n}\n");
    EXPECT_EQ(LastMessage(), "File Not Found: mon.gif (looked in " +
                                 std::filesystem::current_path().string() + " and " + dir.Path() +
                                 ")");
    EXPECT_EQ(errorLine, MODULE_HEAD_LINES + 3);
    std::filesystem::current_path(previous);
}

TEST_F(ModuleLoaderTest, LaterBackgroundSettingsWin) {
    WriteGif("back.gif", 1, 0);
    LoadBody("Background\n{\nImage \"back.gif\"\n}\nBackground\n{\nColor 1,2,3\n}\n");
    EXPECT_EQ(view.backgroundImage, nullptr);
    EXPECT_EQ(view.backgroundColor, 0x030201u);

    SetUp();
    WriteGif("back.gif", 1, 0);
    LoadBody("Background\n{\nColor 1,2,3\nImage \"back.gif\"\n}\n");
    EXPECT_NE(view.backgroundImage, nullptr);
    EXPECT_EQ(view.backgroundColor, 0x030201u);
}

TEST_F(ModuleLoaderTest, UnknownBackgroundKeyword) {
    LoadBody("Background\n{\nSky blue\n}\n");
    EXPECT_EQ(LastMessage(), "Invalid Keyword: Sky");
    EXPECT_EQ(errorLine, MODULE_HEAD_LINES + 3);
}

TEST_F(ModuleLoaderTest, BlockKeywordsNeedTheirOpener) {
    const char* bodies[] = {"Background\nColor 1,2,3\n", "Feature\nStart 5\n",
                            "PreviewFeature\nStart 5\n", "PreviewBackground\n"};
    for (const char* body : bodies) {
        SetUp();
        LoadBody(body);
        EXPECT_EQ(LastMessage(), "Syntax Error: Missing '{'") << body;
        EXPECT_EQ(errorLine, MODULE_HEAD_LINES + 2) << body;
        EXPECT_FALSE(view.hasPalette) << body;
    }
}

TEST_F(ModuleLoaderTest, SectionsNumberTheirFeatures) {
    LoadBody("Feature\n{\n}\n"
             "Section One\n{\nFeature\n{\n}\n}\n"
             "Section\n{\nFeature\n{\n}\nFeature\n{\n}\n}\n"
             "Feature\n{\n}\n");
    EXPECT_EQ(sectionCount, 2);
    ASSERT_EQ(featureCount, 5);
    EXPECT_EQ(featureTable[0].section, 0);
    EXPECT_EQ(featureTable[1].section, 0);
    EXPECT_EQ(featureTable[2].section, 1);
    EXPECT_EQ(featureTable[3].section, 1);
    EXPECT_EQ(featureTable[4].section, 1); // after the block, the last section goes on
    EXPECT_EQ(errorLine, 0);
}

TEST_F(ModuleLoaderTest, SectionWithoutOpenerEndsTheModuleQuietly) {
    WritePalette("256COL00.PAL", 77);
    LoadBody("Feature\n{\n}\nSection\nFeature\n{\n}\n");
    EXPECT_EQ(featureCount, 1);
    EXPECT_EQ(sectionCount, 0);
    EXPECT_TRUE(port.system.Messages().empty());
    EXPECT_EQ(errorLine, 0);
    EXPECT_TRUE(view.hasPalette);
    EXPECT_EQ(view.palette.entries[0].red, 77); // the module's own palette file
}

TEST_F(ModuleLoaderTest, TheClosingBraceEndsTheModule) {
    Load(Module("A", "Feature\n{\n}\n") + "Feature\n{\n}\n" + Module("B", "Feature\n{\n}\n"));
    EXPECT_EQ(featureCount, 1);
}

TEST_F(ModuleLoaderTest, BodyEndingAtEndOfFileStillLoads) {
    Load("Module \"A\"\n{\nSetup\n{\n}\nSection\n{\nFeature\n{\n}\n");
    EXPECT_EQ(featureCount, 1);
    EXPECT_EQ(sectionCount, 1);
    EXPECT_TRUE(view.hasPalette);
    EXPECT_EQ(errorLine, 0);
}

TEST_F(ModuleLoaderTest, FullScreenSkipsPreviewBlocks) {
    LoadBody("PreviewBackground\n{\nColor 9,9,9\n}\n"
             "Background\n{\nColor 1,1,1\n}\n"
             "Section\n{\n"
             "PreviewFeature\n{\nStart 1\n}\n"
             "Feature\n{\nStart 2\n}\n"
             "}\n");
    EXPECT_EQ(view.backgroundColor, 0x010101u);
    ASSERT_EQ(featureCount, 1);
    EXPECT_EQ(featureTable[0].startTime, 2);
}

TEST_F(ModuleLoaderTest, PreviewUsesPreviewBlocks) {
    run.previewMode = true;
    LoadBody("PreviewBackground\n{\nColor 9,9,9\n}\n"
             "Background\n{\nColor 1,1,1\n}\n"
             "Section\n{\n"
             "PreviewFeature\n{\nStart 1\n}\n"
             "Feature\n{\nStart 2\n}\n"
             "}\n");
    EXPECT_EQ(view.backgroundColor, 0x090909u);
    ASSERT_EQ(featureCount, 1);
    EXPECT_EQ(featureTable[0].startTime, 1);
    EXPECT_EQ(sectionCount, 1);
}

TEST_F(ModuleLoaderTest, PreviewOfAModuleWithoutPreviewBlocks) {
    run.previewMode = true;
    LoadBody("Background\n{\nColor 1,1,1\n}\nSection\n{\nFeature\n{\n}\n}\nSection\n{\n}\n");
    EXPECT_EQ(featureCount, 0);
    EXPECT_EQ(sectionCount, 2);
    EXPECT_EQ(view.backgroundColor, 0u);
}

TEST_F(ModuleLoaderTest, SkippedBlocksAreSkippedWholeWithTheirNestedBlocks) {
    LoadBody("Section\n{\n"
             "PreviewFeature\n{\nCondition OnEnd\n{\nStop\n}\nStart 7\n}\n"
             "Feature\n{\nStart 8\n}\n"
             "}\n"
             "Section\n{\nFeature\n{\n}\n}\n");
    ASSERT_EQ(featureCount, 2);
    EXPECT_EQ(featureTable[0].startTime, 8);
    EXPECT_EQ(featureTable[0].section, 0);
    EXPECT_EQ(featureTable[1].section, 1);
    EXPECT_EQ(sectionCount, 2);
}

TEST_F(ModuleLoaderTest, FeaturesBeyondTheTableAreSkippedWhole) {
    std::string body = "Section\n{\n";
    for (int i = 0; i < MAX_FEATURES; ++i) body += "Feature\n{\n}\n";
    body += "Feature\n{\nCondition OnEnd\n{\nEndSection\n}\nStart 5\n}\n}\n";
    body += "Section\n{\nFeature\n{\n}\n}\n";
    LoadBody(body);
    EXPECT_EQ(featureCount, MAX_FEATURES);
    EXPECT_EQ(sectionCount, 2); // the module went on past the dropped block
    EXPECT_EQ(errorLine, 0);
    EXPECT_TRUE(view.hasPalette);
}

TEST_F(ModuleLoaderTest, SectionsBeyondTheTableAreSkippedWhole) {
    std::string body;
    for (int i = 0; i < MAX_SECTIONS + 1; ++i) body += "Section\n{\nFeature\n{\n}\n}\n";
    body += "Feature\n{\nStart 9\n}\n";
    LoadBody(body);
    EXPECT_EQ(sectionCount, MAX_SECTIONS);
    ASSERT_EQ(featureCount, MAX_SECTIONS + 1);
    EXPECT_EQ(featureTable[MAX_SECTIONS - 1].section, MAX_SECTIONS - 1);
    // The module-level feature after the dropped section is still read.
    EXPECT_EQ(featureTable[MAX_SECTIONS].startTime, 9);
    EXPECT_EQ(featureTable[MAX_SECTIONS].section, MAX_SECTIONS - 1);
}

TEST_F(ModuleLoaderTest, OtherLinesAreIgnored) {
    LoadBody("Sound \"x.wav\"\n#if 1\nFeature\n{\n}\n#endif\n#if 0\nFeature\n{\n}\n#endif\n");
    EXPECT_EQ(featureCount, 1);
    EXPECT_EQ(errorLine, 0);
}

TEST_F(ModuleLoaderTest, ActiveModuleComesFromTheSettings) {
    port.settings.Set("QV Test", "Config", "ActiveModule", 1);
    port.settings.Set("QV Test", "Night", "Stars", 12);
    Load(Module("Reef", "Feature\n{\nStart 1\n}\n") +
         Module("Night", "Feature\n{\nStart #Stars\n}\nFeature\n{\nOops\n}\n",
                "#Stars \"Stars\" \"l\" \"r\" 0 100 25\n"));
    EXPECT_EQ(settings.activeModule, 1);
    EXPECT_EQ(theme.currentModule, &moduleTable[1]);
    ASSERT_EQ(featureCount, 1);
    // The start value is a plain integer: no reference.
    EXPECT_EQ(featureTable[0].startTime, 0);
    EXPECT_EQ(LastMessage(), "Invalid Keyword: Oops");
    // Line numbers run on from the module's body: 10 lines of Reef, 6 of
    // Night's head, then the seventh line of its body.
    EXPECT_EQ(errorLine, 23);
}

TEST_F(ModuleLoaderTest, ParametersReachTheValuesOfTheBody) {
    WritePalette("256COL00.PAL", 10);
    WritePalette("256COL01.PAL", 11);
    port.settings.Set("QV Test", "Config", "ActiveModule", 1);
    port.settings.Set("QV Test", "Night", "Stars", 12);
    Load(Module("Reef", "") + Module("Night", "Feature\n{\nStart Random #Stars, 50*#Stars\n}\n",
                                     "#Stars \"Stars\" \"l\" \"r\" 0 100 25\n"));
    ASSERT_EQ(featureCount, 1);
    EXPECT_EQ(featureTable[0].startArg1, 12);
    EXPECT_EQ(featureTable[0].startArg2, 6);
    EXPECT_EQ(view.palette.entries[0].red, 11); // 256COL01.PAL
}

TEST_F(ModuleLoaderTest, FailedScanLoadsNothing) {
    port.settings.Set("QV Test", "Config", "MasterVolume", 20);
    Load("Module \"A\"\nFeature\n{\n}\n");
    EXPECT_EQ(LastMessage(), "Syntax Error: Missing '{'");
    EXPECT_EQ(errorLine, 2);
    EXPECT_EQ(featureCount, 0);
    EXPECT_EQ(settings.MasterVolume, 100); // the settings were not read
    EXPECT_FALSE(view.hasPalette);
}

TEST_F(ModuleLoaderTest, MissingScriptLoadsNothingSilently) {
    std::snprintf(run.scriptPath, sizeof(run.scriptPath), "%s", dir.File("none.SS").c_str());
    LoadModule(ctx);
    EXPECT_TRUE(port.system.Messages().empty());
    EXPECT_EQ(errorLine, 0);
    EXPECT_EQ(featureCount, 0);
}

TEST_F(ModuleLoaderTest, ScriptWithoutModules) {
    Load("ThemeName \"Empty\"\nFeature\n{\nStart 3\n}\n");
    EXPECT_EQ(featureCount, 0);
    EXPECT_EQ(errorLine, 0);
    EXPECT_TRUE(view.hasPalette);
}

TEST_F(ModuleLoaderTest, ScrambledScriptLoadsLikeAPlainOne) {
    std::string plain = dir.Write("plain.SS", Module("A", "Feature\n{\nStart 42\nOops\n}\n"));
    std::string scrambled = dir.File("theme.SS");
    ASSERT_EQ(RunCommand(std::string(GLIMMORA_TOOL) + " scramble " + plain + " " + scrambled), 0);
    std::snprintf(run.scriptPath, sizeof(run.scriptPath), "%s", scrambled.c_str());
    LoadModule(ctx);
    EXPECT_EQ(LastMessage(), "Invalid Keyword: Oops");
    EXPECT_EQ(errorLine, MODULE_HEAD_LINES + 4);
    EXPECT_EQ(featureTable[0].startTime, 42);
}

} // namespace

namespace {

TEST_F(ModuleLoaderTest, SplashShowsWhileASaverLoads) {
    port.dialogs.Reset();
    LoadBody("Feature\n{\n}\n");
    EXPECT_EQ(port.dialogs.Log().splashShows, 1);
    EXPECT_EQ(port.dialogs.Log().splashHides, 1);
    EXPECT_FALSE(port.dialogs.Log().splashVisible);

    // Also when loading fails.
    port.dialogs.Reset();
    LoadBody("Feature\n{\nOops\n}\n");
    EXPECT_EQ(port.dialogs.Log().splashShows, 1);
    EXPECT_FALSE(port.dialogs.Log().splashVisible);
}

TEST_F(ModuleLoaderTest, NoSplashInPreview) {
    port.dialogs.Reset();
    run.previewMode = true;
    LoadBody("Feature\n{\n}\n");
    EXPECT_EQ(port.dialogs.Log().splashShows, 0);
    EXPECT_EQ(port.dialogs.Log().splashHides, 0);
}

TEST_F(ModuleLoaderTest, ImagesTakeTheUsersBrightness) {
    LoadFeature("Image \"still.gif\"\n");
    ASSERT_EQ(featureCount, 1);
    int plain = featureTable[0].image->colorInfo->colors[100].red;

    SetUp();
    WriteGif("bright.gif", 1, 0);
    port.settings.Set("QV Test", "Config", "Gamma", 3);
    LoadFeature("Image \"bright.gif\"\n");
    ASSERT_EQ(featureCount, 1);
    EXPECT_EQ(settings.Gamma, 3);
    EXPECT_GT(featureTable[0].image->colorInfo->colors[100].red, plain);
}

} // namespace

namespace {

// The pictures of a load are converted at the scale that fits the screen,
// unless the user keeps them at their own size, the run gives a scale, or it
// is the preview.
TEST_F(ModuleLoaderTest, PicturesLoadAtThePictureScaleOfTheRun) {
    WriteGif("back.gif", 1, 0, 8, 6);
    const struct {
        int32_t width, height;
        int32_t pictureSize; // stored setting, -1 none
        int32_t given;       // the run's scale, 0 none
        bool preview;
        int32_t scale;
    } cases[] = {
        {3840, 2160, -1, 0, false, 3}, {2560, 1440, -1, 0, false, 2}, {1920, 1080, -1, 0, false, 1},
        {3840, 2160, 0, 0, false, 1},  {3840, 2160, 1, 0, false, 3},  {800, 600, -1, 4, false, 4},
        {3840, 2160, 0, 2, false, 2},  {3840, 2160, -1, 2, true, 1},
    };
    for (const auto& c : cases) {
        SetUp();
        if (c.pictureSize >= 0)
            port.settings.Set("QV Test", "Config", "PictureSize", c.pictureSize);
        view.SetSize(c.width, c.height);
        run.pictureScale = c.given;
        run.previewMode = c.preview;
        LoadBody(c.preview ? "PreviewBackground\n{\nImage \"back.gif\"\n}\n"
                           : "Background\n{\nImage \"back.gif\"\n}\n");
        ASSERT_NE(view.backgroundImage, nullptr);
        EXPECT_EQ(view.pictureScale, c.scale) << c.width << "x" << c.height;
        ASSERT_NE(view.backgroundImage->screen, nullptr);
        EXPECT_EQ(view.backgroundImage->screen->scale, c.scale);
        EXPECT_EQ(view.backgroundImage->screen->rowPixels, 8 * c.scale);
        ResetContext();
    }
}

} // namespace
