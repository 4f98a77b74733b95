// Shared set-up of the sound tests: the mixer over the headless capture
// device, whose virtual clock the tests move, and an error sink whose
// messages the log keeps (errors are recorded against `scriptLine`).
#pragma once

#include "base/error_sink.h"
#include "base/memory_budget.h"
#include "ports/headless/headless_audio.h"
#include "ports/headless/headless_system.h"
#include "sound/audio.h"
#include "sound/sound.h"
#include "support/error_log.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>

class SoundTest : public ::testing::Test {
  protected:
    SoundTest() {
        clock.audio = &device;
        errors.line = &scriptLine;
        audio.errors = &errors;
        audio.device = &device;
        audio.sectionClock = &sectionTime;
    }

    HeadlessSystem clock;
    HeadlessAudio device{clock};
    ErrorSink errors;
    ErrorLog log{errors};
    int32_t scriptLine = 0;
    int32_t& errorLine = errors.errorLine;
    MemoryBudget memory;
    SoundBank sounds;
    std::atomic<uint32_t> sectionTime{0};
    CAudio audio;
};
