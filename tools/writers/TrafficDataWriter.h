// The road users' shared data: the traffic density map of the sample city
// and the textures every car draws with (lamps and trim, scratches, broken
// glass).
#pragma once

#include "writers/SampleCity.h"

#include <string>

namespace tools {

constexpr int kDensitySide = 200; // one byte per 3 x 3 landscape cells

// Full density over the street grid and 46 units around it, falling to
// nothing over the next 36; at least 180 over every other carriageway and
// nothing in the introduction's yard. 40,000 bytes, rows from the north.
std::string EncodeTrafficDensity(const LandscapeMaps& maps);

// "Data/Landscape/TrafficDensityMap.dat" and "Data/Vehicles/Elements.dds",
// "Scratches.bmp", "BrokenGlass.bmp" (with ".jpg" twins).
bool WriteTrafficData(const std::string& root);

} // namespace tools
