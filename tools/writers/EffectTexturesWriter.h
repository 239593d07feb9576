// Writes the textures of the pooled effects: blood drops, spark frames,
// dust and flame puffs, and the water ring.
#pragma once

#include <string>

namespace tools {

// "Data/Effects/Bloods/Blood.dds" (2 x 2 atlas of drops with alpha),
// "Data/Effects/Sparks/Sparks.bmp" / ".jpg" (4 x 4 atlas of frames on black),
// "Data/Effects/Dusts/Dusts.dds" and "Data/Effects/Flames/Flame.dds" (soft
// puffs with alpha) and "Data/Effects/WaterCircle/WaterCircle.bmp" / ".jpg"
// (a light ring on black) under root.
bool WriteEffectTextures(const std::string& root);

} // namespace tools
