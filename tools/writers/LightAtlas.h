// The light sprites' shared texture, "Data/Misc/LightMap.dds": an atlas in
// quarters that the lamps, pools, beams, cones and glare each pick from.
#pragma once

#include "writers/ImageWriters.h"

namespace tools {

// Lower-right a round sprite; upper-left a soft pool and beam spot;
// lower-left a cone with its apex at the bottom middle; upper-right the glare
// (top half) and the head and rear lamps (lower half, left and right).
ArgbImage LightAtlasImage();

} // namespace tools
