// Where the sample city's props stand: one list shared by the prop
// descriptions (which decide what exists) and the sector writer (which puts
// each prop into the "StaticObjects.obj" of the sector holding its position).
#pragma once

#include <string>
#include <vector>

namespace tools {

struct PlacedProp {
    std::string path;           // description path, e.g. "Data/Static/Buildings/Tower01/Main.obj"
    float x, y, z;              // position (y the ground height under it)
    float targetX, targetY, targetZ; // the point the prop faces
};

// Every prop of the sample city, in a fixed order.
std::vector<PlacedProp> SampleCityProps();

} // namespace tools
