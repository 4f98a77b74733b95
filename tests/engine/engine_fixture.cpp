#include "engine_fixture.h"

#include "engine/frame_tick.h"
#include "engine/schedule.h"

std::vector<SoundCall>& SoundCalls() {
    static std::vector<SoundCall> calls;
    return calls;
}

namespace {

int RecordStart(void*, uint32_t stopTime, CSound* sound, int volume, int pan) {
    SoundCalls().push_back({'S', stopTime, sound, volume, pan});
    return 1;
}
void RecordStop(void*, CSound* sound) {
    SoundCalls().push_back({'X', 0, sound, 0, 0});
}
void RecordVolumePan(void*, CSound* sound, int volume, int pan) {
    SoundCalls().push_back({'V', 0, sound, volume, pan});
}

} // namespace

uint32_t Time(int32_t field) {
    return static_cast<uint32_t>(field);
}

EngineTest::EngineTest() {
    script.ReportTo(errors);
    view.errors = &errors;
    view.SetFonts(&fonts);
    audio.errors = &errors;
    audio.sectionClock = &engine.sectionTime;
}

void EngineTest::SetUp() {
    engine.random.SeedRandom(12345);
    view.SetSize(800, 600);
    SoundCalls().clear();
    engine.sound = {RecordStart, RecordStop, RecordVolumePan, nullptr};
    engine.previewMode = true;
    engine.bannerOutput = nullptr;
}

CFeature& EngineTest::AddFeature(int32_t section) {
    CFeature& feature = featureTable[featureCount++];
    feature.SetDefaults();
    feature.section = section;
    return feature;
}

TestImage& EngineTest::AttachImage(CFeature& feature, int frames, int width, int height,
                                   int delayMs, bool looping) {
    images.push_back(std::make_unique<TestImage>(frames, width, height, delayMs, looping));
    feature.image = images.back()->First();
    if (feature.displaySlot < 0) feature.displaySlot = view.AllocSlot();
    return *images.back();
}

CFeature& EngineTest::Fixed(int32_t start, int32_t duration, int32_t section) {
    CFeature& f = AddFeature(section);
    AttachImage(f);
    f.startType = START_FIXED;
    f.startTime = start;
    f.positionX = 1600;
    f.positionY = 1600;
    f.durationType = DURATION_FIXED;
    f.currentDuration = duration;
    return f;
}

void EngineTest::Tick(uint32_t now) {
    for (int i = 0; i < featureCount; ++i) UpdateFeature(engine, featureTable[i], now, 0);
}

bool EngineTest::Showing(const CFeature& f) {
    return f.endTime != 0 && Time(f.endTime) != 0xFFFFFFFFu;
}

CSound* EngineTest::AttachSound(CFeature& feature, int volume) {
    sounds.push_back(std::make_unique<CSound>());
    sounds.back()->volume = volume;
    feature.sound = sounds.back().get();
    return feature.sound;
}

CSound* EngineTest::AttachBounceSound(CFeature& feature, int volume) {
    sounds.push_back(std::make_unique<CSound>());
    sounds.back()->volume = volume;
    feature.bounceSound = sounds.back().get();
    return feature.bounceSound;
}

void EngineTest::SetLabel(int32_t label, int feature) {
    labelTable[label].feature = feature;
    if (labelCount <= label) labelCount = label + 1;
}

std::vector<SoundCall> EngineTest::Calls(char kind) const {
    std::vector<SoundCall> result;
    for (const SoundCall& call : SoundCalls())
        if (call.kind == kind) result.push_back(call);
    return result;
}

const SpriteSlot& EngineTest::SlotOf(const CFeature& feature) const {
    return view.slots[feature.displaySlot];
}
