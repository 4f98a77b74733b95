// The run loop sleeps from one announced change to the next. Small themes
// played through the real loop that way show the same picture at every
// millisecond, and ask for the same sounds at the same times, as when the
// loop passes every millisecond; and they keep the documented times.
#include "app/glimmora_context.h"
#include "app/main_loop.h"
#include "app/startup.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_audio.h"
#include "platform/headless/headless_settings.h"
#include "platform/headless/headless_video.h"
#include "platform/headless/headless_window.h"
#include "platform/sys.h"
#include "platform/window.h"
#include "support/gif_writer.h"
#include "support/test_files.h"
#include "support/wav_writer.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

constexpr uint32_t CLOCK_START = 1000;

struct SoundRequest {
    char kind;   // 'S' start, 'X' stop, 'V' volume and pan
    uint32_t ms; // since the run began
    int feature; // whose sound (bounce sounds: 100 + the feature)
    int volume;
    int pan;
    bool operator==(const SoundRequest&) const = default;
    friend void PrintTo(const SoundRequest& s, std::ostream* out) {
        *out << s.kind << " of " << s.feature << " at " << s.ms << " (" << s.volume << ", " << s.pan
             << ")";
    }
};

struct Recorder {
    const GlimmoraContext* ctx;
    std::vector<SoundRequest> requests;

    void Add(char kind, const CSound* sound, int volume, int pan) {
        const ThemeTables& theme = ctx->script.theme;
        int feature = -1;
        for (int i = 0; i < theme.featureCount; ++i) {
            if (theme.featureTable[i].sound == sound) feature = i;
            if (theme.featureTable[i].bounceSound == sound) feature = 100 + i;
        }
        requests.push_back({kind, SysMilliseconds() - CLOCK_START, feature, volume, pan});
    }
};

int RecordStart(void* r, uint32_t, CSound* sound, int volume, int pan) {
    static_cast<Recorder*>(r)->Add('S', sound, volume, pan);
    return 1;
}
void RecordStop(void* r, CSound* sound) {
    static_cast<Recorder*>(r)->Add('X', sound, 0, 0);
}
void RecordVolumePan(void* r, CSound* sound, int volume, int pan) {
    static_cast<Recorder*>(r)->Add('V', sound, volume, pan);
}

// What one run showed at every millisecond and asked to play.
struct Recording {
    std::vector<uint64_t> pictures;
    std::vector<SoundRequest> sounds;
    int passes = 0;
};

uint64_t ScreenHash() {
    uint64_t hash = 1469598103934665603ull;
    for (uint32_t pixel : HeadlessScreen().pixels) hash = (hash ^ pixel) * 1099511628211ull;
    return hash;
}

struct LoopTheme {
    const char* name;
    uint32_t ms;      // how long it is played
    const char* body; // the module's content after its background
};

const LoopTheme THEMES[] = {
    // A region the feature starts in: its triggers act at the next tick, on a
    // target before it in the table and one after it.
    {"RegionHoldsAtStart", 2500, R"(
Feature
{
Label Before
Image "anim.gif"
Start OnTrigger
Position 300, 100
Duration 400
Sound "blip.wav", 80
}
Feature
{
Image "still.gif"
Start 500
Position 100, 100
Duration 1500
Condition InRegion (50, 50, 200, 200)
{
Trigger Before
Trigger After
}
}
Feature
{
Label After
Image "still.gif"
Start OnTrigger
Position 400, 300
Duration 300
Sound "blip.wav", 60
}
)"},
    // A still that stops on its first frame shows for one millisecond.
    {"StillStopsOnFrameZero", 1500, R"(
Feature
{
Image "still.gif"
Start 500
Position 100, 100
Condition OnFrame (0)
{
Stop
}
}
)"},
    {"StillWithFadeOutStopsOnFrameZero", 1500, R"(
Feature
{
Image "still.gif"
Start 300
Position 100, 100
Fade FadeOut (20, 50)
Condition OnFrame (0)
{
Stop
}
}
)"},
    // An animation on frame 0 at its start (its trigger is not foreseen: the
    // look-ahead frame of frame 0 is frame 2), and one whose trigger is.
    {"AnimationOnFrameZero", 2500, R"(
Feature
{
Image "long.gif"
Start 500
Position 100, 100
Duration 1000
Condition OnFrame (0)
{
Trigger Next
}
}
Feature
{
Label Next
Image "still.gif"
Start OnTrigger
Position 300, 100
Duration 300
Sound "blip.wav", 80
}
Feature
{
Image "anim.gif"
Start 700
Position 100, 300
Duration 1000
Condition OnFrame (2)
{
Trigger Foreseen
}
}
Feature
{
Label Foreseen
Image "still.gif"
Start OnTrigger
Position 300, 300
Duration 300
Sound "blip.wav", 70
}
)"},
    // Off the screen at the start, and leaving it while moving: an OnScreen
    // showing ends at the next tick and its OnEnd triggers.
    {"OffScreenStarts", 2500, R"(
Feature
{
Image "still.gif"
Start 500
Position 900, 100
Condition OnEnd
{
Trigger Next
}
}
Feature
{
Label Next
Image "still.gif"
Start OnTrigger
Position 100, 100
Duration 300
Sound "blip.wav", 80
}
Feature
{
Label Again
Image "anim.gif"
Start Offset 800, 600
Position 700, 200
Movement 40, 0, 20
Sound "blip.wav", 50
Condition OnEnd
{
Trigger Next
}
}
)"},
    // Sections that end by fades: the default fade, a fade-in cut off, a
    // fade-out of its own, a sound without a picture, waiting features.
    {"EndingFades", 6000, R"(
Section "one"
{
Feature
{
Image "still.gif"
Start 0
Position 10, 10
Duration 100000
Condition AfterTime (700)
{
EndSection
}
}
Feature
{
Image "anim.gif"
Start 500
Position 100, 10
Fade FadeIn (10, 100)
}
Feature
{
Image "still.gif"
Start 300
Position 200, 10
Duration 5000
Fade FadeInOut (20, 70)
}
Feature
{
Start 300
Sound "blip.wav", 90
LoopSound
}
Feature
{
Image "still.gif"
Start Random 400, 100
Position 300, 10
Duration 200
Sound "blip.wav", 40
}
}
Section "two"
{
Feature
{
Image "still.gif"
Start 0
Position 20, 20
Duration 300
Condition OnEnd
{
EndSection
}
}
Feature
{
Image "anim.gif"
Start 100
Position 120, 20
Movement 3, 1, 30
Duration 1000
Fade FadeOut (10, 60)
}
}
)"},
    // Sounds ahead of their pictures: within the lead and beyond it, a random
    // start, a foreseen AfterTime trigger, bounces, an animation's cycle.
    {"SoundLeads", 4000, R"(
Feature
{
Image "still.gif"
Start 100
Position 0, 0
Duration 900
Sound "blip.wav", 90
AutoPan
}
Feature
{
Image "still.gif"
Start 1000
Position Right, 0
Duration 500
Sound "blip.wav", 70
AutoPan
}
Feature
{
Image "still.gif"
Start Random 800, 300
Position 300, 300
Duration 300
Sound "blip.wav", 50
}
Feature
{
Image "still.gif"
Start 0
Position 380, 500
Condition AfterTime (1000)
{
Trigger Chest
Stop
}
}
Feature
{
Label Chest
Image "anim.gif"
Start OnTrigger
Position 380, 500
Duration 600
Sound "blip.wav", 80
Condition OnFrame (2)
{
Trigger Coin
}
}
Feature
{
Label Coin
Image "still.gif"
Start OnTrigger
Position 400, 400
Movement Projectile (280, 190, 30, 260)
Sound "blip.wav", 60
}
Feature
{
Image "still.gif"
Start 0
Position 400, 300
Movement Bounce (20, 30)
BounceSound "blip.wav", 70
Duration 2500
}
Feature
{
Image "anim.gif"
Start 200
Position 600, 300
Sound "blip.wav", 40
LoopSound OnImageCycle
Movement OnImageCycle (-16, 0)
Duration 2000
}
)"},
    // A chain of OnEnd triggers, forwards and backwards in the table, and a
    // group taking turns.
    {"TriggersFromOnEnd", 3000, R"(
Feature
{
Label Back
Image "still.gif"
Start OnTrigger
Position 10, 10
Duration 200
Sound "blip.wav", 60
}
Feature
{
Image "still.gif"
Start 200
Position 100, 10
Duration 300
Condition OnEnd
{
Trigger Forward
}
}
Feature
{
Label Forward
Image "anim.gif"
Start OnTrigger
Position 200, 10
Duration 250
Condition OnEnd
{
Trigger Back
}
}
Feature
{
Image "still.gif"
Start Group (Shoal, 0, 100)
Position 100, 300
Duration 200
}
Feature
{
Image "still.gif"
Start Group (Shoal, 0, 100)
Position 200, 300
Duration 200
Condition OnEnd
{
Trigger Back
}
}
)"},
    // A Stop during a fade-in: the fade-out takes its whole time and never
    // shows brighter than the fade-in had come.
    {"StopDuringFadeIn", 2000, R"(
Feature
{
Image "still.gif"
Start 200
Position 100, 100
Fade FadeInOut (10, 100)
Condition AfterTime (250)
{
Stop
}
}
)"},
};

class LoopRuleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        GifImage still;
        still.width = 8;
        still.height = 8;
        still.indices.assign(64, 5);
        GifBuilder stillGif(8, 8);
        stillGif.Image(still).Trailer();
        dir.WriteBytes("still.gif", stillGif.Bytes());
        // Looping animations of 3 and 6 frames, 100 ms each.
        for (int frames : {3, 6}) {
            GifBuilder anim(8, 8);
            anim.Netscape(0);
            for (int i = 0; i < frames; ++i) {
                GifImage frame = still;
                frame.indices.assign(64, static_cast<uint8_t>(9 + 20 * i));
                anim.Control(10).Image(frame);
            }
            dir.WriteBytes(frames == 3 ? "anim.gif" : "long.gif", anim.Trailer().Bytes());
        }
        dir.WriteBytes("blip.wav", MakeWav(RampSamples(4000)));
    }

    // Plays `body` for `ms` through the run loop: a pass every millisecond, or
    // a pass whenever the loop's wait is over.
    Recording Play(const std::string& body, uint32_t ms, bool everyMillisecond) {
        HeadlessResetWindow();
        HeadlessResetVideo();
        HeadlessAudioReset();
        HeadlessAudioKeepPlayed(false);
        HeadlessSettingsClear();
        HeadlessClearMessages();
        HeadlessSetTime(CLOCK_START);
        const std::string script = "ThemeName \"Loop\"\nModule \"One\"\n{\nSetup\n{\n}\n"
                                   "Background\n{\nColor 0, 0, 80\n}\n" +
                                   body + "}\n";
        std::vector<std::string> args = {"QV Loop",   "/s", "-def", dir.Write("Loop.SS", script),
                                         "-v200x150", "-"};
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        std::filesystem::current_path(dir.Path());
        auto ctx = std::make_unique<GlimmoraContext>();
        Recording recording;
        if (!StartUp(*ctx, static_cast<int>(argv.size()), argv.data())) {
            ADD_FAILURE() << "the theme does not start";
            return recording;
        }
        BeginRunLoop(*ctx);
        Recorder recorder{ctx.get(), {}};
        ctx->engine.sound = {RecordStart, RecordStop, RecordVolumePan, &recorder};
        int presented = -1;
        uint64_t picture = 0;
        for (uint32_t now = 0; now < ms;) {
            if (!RunLoopPass(*ctx)) {
                ADD_FAILURE() << "the run ended at " << now;
                break;
            }
            ++recording.passes;
            const uint32_t next = std::min(ms, now + (everyMillisecond ? 1 : ctx->loop.waitMs));
            if (HeadlessPresentCount() != presented) {
                presented = HeadlessPresentCount();
                picture = ScreenHash();
            }
            recording.pictures.insert(recording.pictures.end(), next - now, picture);
            HeadlessAdvanceTime(next - now);
            now = next;
        }
        WndPostClose(HeadlessWindow());
        while (WndPumpMessage() != PumpResult::Quit) {
        }
        EndRunLoop(*ctx);
        EXPECT_TRUE(HeadlessMessages().empty()) << HeadlessMessages()[0].text;
        recording.sounds = recorder.requests;
        return recording;
    }

    // The announced-change run of a theme of the table.
    Recording Announced(const std::string& name) {
        for (const LoopTheme& theme : THEMES)
            if (name == theme.name) return Play(theme.body, theme.ms, false);
        ADD_FAILURE() << "no theme " << name;
        return {};
    }

    TempDir dir;
};

class BothWays : public LoopRuleTest, public ::testing::WithParamInterface<LoopTheme> {};

TEST_P(BothWays, SamePicturesAndSounds) {
    const LoopTheme& theme = GetParam();
    const Recording every = Play(theme.body, theme.ms, true);
    const Recording announced = Play(theme.body, theme.ms, false);
    ASSERT_EQ(every.pictures.size(), theme.ms);
    ASSERT_EQ(announced.pictures.size(), theme.ms);
    const auto differ =
        std::mismatch(every.pictures.begin(), every.pictures.end(), announced.pictures.begin());
    EXPECT_TRUE(differ.first == every.pictures.end())
        << "the pictures differ first at " << differ.first - every.pictures.begin() << " ms";
    ASSERT_EQ(every.sounds.size(), announced.sounds.size());
    for (size_t i = 0; i < every.sounds.size(); ++i) {
        EXPECT_EQ(every.sounds[i], announced.sounds[i]) << "request " << i;
    }
    EXPECT_LT(announced.passes * 4, every.passes) << announced.passes << " passes";
}

INSTANTIATE_TEST_SUITE_P(SmallThemes, BothWays, ::testing::ValuesIn(THEMES),
                         [](const auto& info) { return std::string(info.param.name); });

// The first sound request of `feature`, or none.
const SoundRequest* FirstStart(const Recording& r, int feature) {
    for (const SoundRequest& s : r.sounds)
        if (s.kind == 'S' && s.feature == feature) return &s;
    return nullptr;
}

TEST_F(LoopRuleTest, AStillStoppedOnItsFirstFrameShowsForOneMillisecond) {
    const Recording r = Announced("StillStopsOnFrameZero");
    ASSERT_EQ(r.pictures.size(), 1500u);
    EXPECT_NE(r.pictures[500], r.pictures[499]);
    EXPECT_EQ(r.pictures[501], r.pictures[499]);
}

TEST_F(LoopRuleTest, TriggersFromWhatHoldsAtTheStartActAtTheNextTick) {
    const Recording region = Announced("RegionHoldsAtStart");
    ASSERT_TRUE(FirstStart(region, 2) && FirstStart(region, 0));
    EXPECT_EQ(FirstStart(region, 2)->ms, 501u); // after it in the table: in that tick
    EXPECT_EQ(FirstStart(region, 0)->ms, 502u); // before it: in the tick after
    const Recording offScreen = Announced("OffScreenStarts");
    ASSERT_TRUE(FirstStart(offScreen, 1));
    EXPECT_EQ(FirstStart(offScreen, 1)->ms, 501u);
    const Recording frame = Announced("AnimationOnFrameZero");
    ASSERT_TRUE(FirstStart(frame, 1));
    EXPECT_EQ(FirstStart(frame, 1)->ms, 501u);
}

// FadeInOut (10, 100) from 200 is at 30 % when the Stop comes at 451: the
// fade-out steps from 90 % every 100 ms and ends on reaching 0 at 1351,
// showing 30 % until its own level falls below that at 1151.
TEST_F(LoopRuleTest, AFadeOutCuttingAFadeInKeepsItsTimeWithoutAFlash) {
    const Recording r = Announced("StopDuringFadeIn");
    ASSERT_EQ(r.pictures.size(), 2000u);
    const uint64_t empty = r.pictures[199];
    EXPECT_NE(r.pictures[400], empty);
    for (uint32_t ms : {450, 451, 700, 1150}) EXPECT_EQ(r.pictures[ms], r.pictures[400]) << ms;
    EXPECT_NE(r.pictures[1151], r.pictures[1150]);
    EXPECT_NE(r.pictures[1251], r.pictures[1151]);
    EXPECT_NE(r.pictures[1350], empty);
    EXPECT_EQ(r.pictures[1351], empty);
}

} // namespace
