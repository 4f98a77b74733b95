#include "picture.h"

#include <cstdint>

std::string PictureLimitError(const PictureLimits& limits, int64_t width, int64_t height,
                              int64_t frames) {
    if (frames > limits.maxFrames)
        return "the picture has more than " + std::to_string(limits.maxFrames) +
               " frames, the most the importer takes";
    // Each factor is bounded before the product is taken, so that it cannot overflow.
    const bool fits = width <= limits.maxPixels && height <= limits.maxPixels &&
                      (width == 0 || height <= limits.maxPixels / width) &&
                      (width * height == 0 || frames <= limits.maxPixels / (width * height));
    if (fits) return "";
    std::string text = "the picture is too large: ";
    if (frames > 1) text += std::to_string(frames) + " frames of ";
    text += std::to_string(width) + "x" + std::to_string(height) + " pixels";
    const bool countable = width <= INT32_MAX && height <= INT32_MAX &&
                           (width * height == 0 || frames <= INT64_MAX / (width * height));
    if (countable && frames > 1) text += " (" + std::to_string(width * height * frames) + ")";
    text += ", over the importer's limit of " + std::to_string(limits.maxPixels) + " pixels";
    if (frames > 1) text += " for all frames together";
    return text;
}
