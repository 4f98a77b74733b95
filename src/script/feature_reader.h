// Feature blocks: one sprite or sound of a section with its schedule, place,
// movement, fade, sounds, condition and label.
#pragma once

#include <cstdint>

class CFeature;
class MediaBinder;
struct ScriptContext;

// Reads the lines of a feature block (its opener already read) up to and
// including its closer, or to the end of the file, into `feature`. Returns 1,
// or 0 when the block fails (reported, except for incomplete sound values).
int ReadFeature(ScriptContext& s, MediaBinder& media, CFeature& feature, int32_t section,
                int32_t index);

// Frees what a feature that failed to load owns, so the record holds nothing.
void ReleaseFeatureParts(MediaBinder& media, CFeature& feature);
