// A feature's sprite slot: where the engine tells the display what to show.
#pragma once

class CFeature;

// Shows the feature's current frame at its position (nothing without a frame
// or without a slot).
void PlaceSprite(CFeature& feature);
// Empties the feature's slot.
void RemoveSprite(CFeature& feature);
bool IsAbsolute(const CFeature& feature);
