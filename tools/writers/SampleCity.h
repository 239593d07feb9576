// Writes the landscape files of the sample city ("Data/Landscape"): the world
// frame, the altitude grid, the place and way-point maps, the route grid and
// the landscape textures. Tests build small maps with the same encoders.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tools {

constexpr int kGridSide = 600; // every per-cell grid is stored 600 x 600, rows first

struct LandscapeFrame {
    int cells = 600;
    int sectorsPerSide = 20;
    int cellsPerSector = 30;
    float cellSize = 4.0f;
    float height = 100.0f;
};

// One cell of the route file; the links are rebuilt by the game at load.
struct RouteRecord {
    std::uint8_t type = 0; // 0 none, 1 and 2 passable, 3 road, 4 walkway
    float x = 0.0f, y = 0.0f, z = 0.0f;
    std::uint8_t widthClass = 0;
    std::uint16_t column = 0, row = 0;
};

struct LandscapeMaps {
    LandscapeFrame frame;
    std::vector<float> altitude;          // [row][column], 600 x 600
    std::vector<std::uint8_t> placeMap;   // 600 x 600
    std::vector<std::uint8_t> wayPoints;  // 600 x 600
    std::vector<RouteRecord> route;       // 600 x 600, column and row filled in

    LandscapeMaps();
    float& Altitude(int column, int row) { return altitude[row * kGridSide + column]; }
    RouteRecord& Cell(int column, int row) { return route[row * kGridSide + column]; }
    // Sets a route cell with its way point at the cell centre on the ground.
    void SetRoute(int column, int row, std::uint8_t type, std::uint8_t widthClass);
    // Centre of a cell in world units.
    float CentreX(int column) const;
    float CentreZ(int row) const;
};

// "LandscapeData.obj": five caption lines (at most 24 characters) each
// followed by its value.
std::string EncodeLandscapeData(const LandscapeFrame& frame);
// The altitude grid as little-endian f32, rows first (1,440,000 bytes).
std::string EncodeAltitudeMap(const std::vector<float>& altitude);
std::string EncodeByteMap(const std::vector<std::uint8_t>& map);
// The first `rows` rows of the route grid as 48-byte records (all 600 rows:
// 17,280,000 bytes).
std::string EncodeRouteFile(const std::vector<RouteRecord>& route, int rows = kGridSide);

// The sample city: ground, sea, lake, street grid, walkways and the
// introduction's corridor.
LandscapeMaps SampleCityMaps();

// Writes the maps' files into "<root>/Data/Landscape" (the route file only
// up to `routeRows` rows).
bool WriteLandscapeFiles(const std::string& root, const LandscapeMaps& maps, int routeRows = kGridSide);
// The sample city's files and its landscape textures.
bool WriteSampleCity(const std::string& root);

} // namespace tools
