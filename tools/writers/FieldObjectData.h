// The sample city's trees, stones and grass: their cells in the place map,
// the grass colour map "PlaceColor.dat" and the grass and branch atlases.
#pragma once

#include "writers/ImageWriters.h"
#include "writers/SampleCity.h"

#include <string>

namespace tools {

// Place-map values: grass 1..84, trees (with grass) 85..169, stones 170..255.
constexpr std::uint8_t kPlaceGrass = 40;
constexpr std::uint8_t kPlaceTree = 120;
constexpr std::uint8_t kPlaceStone = 200;

// Marks grass, tree and stone cells in the block interiors and the open
// ground around the lake: off route cells, on ground no lower than 2.0 below
// the water level, trees only where the ground is not too steep, and at most
// 200 trees, 200 stones and 400 grass cells in one sector.
void AddFieldObjectCells(LandscapeMaps& maps);

// The colour map: one RGB pixel per 2 x 2 cells, row 0 at the +z edge.
std::string EncodePlaceColor(const LandscapeMaps& maps);

// Four tufts or four leaf clusters, one per quarter, on clear alpha.
ArgbImage GrassAtlas();
ArgbImage BranchAtlas(std::uint32_t leaves);

bool WriteFieldObjectData(const std::string& root);

} // namespace tools
