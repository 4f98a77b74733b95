// Feature blocks: one sprite or sound of a section with its schedule, place,
// movement, fade, sounds, condition and label.
#pragma once

#include <cstdint>

class CFeature;
class CImage;

// Reads the lines of a feature block (its opener already read) up to and
// including its closer, or to the end of the file, into `feature`. Returns 1,
// or 0 when the block fails (reported, except for incomplete sound values).
int ReadFeature(CFeature& feature, int32_t section, int32_t index);

// Frees what a feature that failed to load owns, so the record holds nothing.
void ReleaseFeatureParts(CFeature& feature);

// Frees an image that no record refers to any more; images that the image
// cache holds stay.
void DiscardImage(CImage* image);

// What the script wrote for a loaded feature, kept for theme tools: the label
// its "Label" line gave it (-1: none) and the name on its last "Image" line.
struct FeatureSource {
    int32_t label;
    char image[128];
};
const FeatureSource& FeatureSourceOf(int32_t index);
