// A feature's sprite slot: where the engine tells the display what to show.
#pragma once

class CFeature;
struct Engine;

// Shows the feature's current frame at its position (nothing without a frame
// or without a slot).
void PlaceSprite(Engine& e, CFeature& feature);
// Empties the feature's slot.
void RemoveSprite(Engine& e, CFeature& feature);
bool IsAbsolute(const CFeature& feature);
