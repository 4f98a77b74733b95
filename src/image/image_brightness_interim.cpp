// Interim brightness scaling until the image code provides CImage::SetBrightness.
#include "image/image.h"

void CImage::SetBrightness(int percent) {
    if (!(flags & IMAGE_FIRST) || !colorInfo || !loadedColors) return;
    if (percent < 0) percent = 0;
    if (percent > 100) percent = 100;
    for (int i = 0; i < 256; ++i) {
        colorInfo->colors[i].blue = static_cast<uint8_t>(loadedColors[i].blue * percent / 100);
        colorInfo->colors[i].green = static_cast<uint8_t>(loadedColors[i].green * percent / 100);
        colorInfo->colors[i].red = static_cast<uint8_t>(loadedColors[i].red * percent / 100);
    }
}
