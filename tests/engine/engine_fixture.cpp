#include "engine_fixture.h"

#include "app/app_state.h"
#include "app/main_loop_state.h"
#include "engine/frame_tick.h"

std::vector<SoundCall>& SoundCalls() {
    static std::vector<SoundCall> calls;
    return calls;
}

namespace {

int RecordStart(uint32_t stopTime, CSound* sound, int volume, int pan) {
    SoundCalls().push_back({'S', stopTime, sound, volume, pan});
    return 1;
}
void RecordStop(CSound* sound) {
    SoundCalls().push_back({'X', 0, sound, 0, 0});
}
void RecordVolumePan(CSound* sound, int volume, int pan) {
    SoundCalls().push_back({'V', 0, sound, volume, pan});
}

} // namespace

uint32_t Time(int32_t field) {
    return static_cast<uint32_t>(field);
}

void EngineTest::SetUp() {
    std::memset(static_cast<void*>(featureTable), 0, sizeof(featureTable));
    std::memset(labelTable, 0, sizeof(labelTable));
    std::memset(sectionTable, 0, sizeof(sectionTable));
    featureCount = labelCount = sectionCount = 0;
    currentModule = nullptr;
    ResetEngineState();
    SeedRandom(12345);
    view.Reset();
    view.SetSize(800, 600);
    SoundCalls().clear();
    engineSound = {RecordStart, RecordStop, RecordVolumePan};
    previewMode = true;
    bannerShown = false;
    bannerNextTime = 0;
    bannerOutput = nullptr;
    clockStart = 0;
    sectionTime = 0;
}

void EngineTest::TearDown() {
    engineSound = MIXER_SOUND_CALLS;
    std::memset(static_cast<void*>(featureTable), 0, sizeof(featureTable));
    featureCount = 0;
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
    feature.displaySlot = view.AllocSlot();
    return *images.back();
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
