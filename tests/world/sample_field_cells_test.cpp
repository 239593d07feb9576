// The sample city's field cells follow the rules the sectors place by, and
// its grass colour map has the size the game reads.
#include "world/world_fixture.h"

#include "writers/FieldObjectData.h"

#include <array>
#include <cmath>

namespace {

TEST(SampleFieldCells, TreesAndStonesStandOffTheRoutesOnDryGroundWithinTheSectorLimits)
{
    const tools::LandscapeMaps m = tools::SampleCityMaps();
    const float lowest = m.frame.height * 0.08f - 2.0f;
    const int per = m.frame.cellsPerSector, sectors = m.frame.cells / per;
    std::vector<std::array<int, 3>> counts(static_cast<std::size_t>(sectors * sectors));
    int trees = 0, stones = 0;
    for (int row = 0; row < m.frame.cells; ++row)
        for (int column = 0; column < m.frame.cells; ++column) {
            const std::uint8_t v = m.placeMap[static_cast<std::size_t>(row) * tools::kGridSide + column];
            if (v == 0)
                continue;
            ASSERT_EQ(m.route[static_cast<std::size_t>(row) * tools::kGridSide + column].type, 0)
                << column << ", " << row;
            ASSERT_GE(m.altitude[static_cast<std::size_t>(row) * tools::kGridSide + column], lowest);
            auto& c = counts[static_cast<std::size_t>((row / per) * sectors + column / per)];
            c[0] += v <= 169;
            c[1] += v >= 85 && v <= 169;
            c[2] += v >= 170;
            trees += v >= 85 && v <= 169;
            stones += v >= 170;
        }
    EXPECT_GT(trees, 100);
    EXPECT_GT(stones, 20);
    for (const auto& c : counts) {
        EXPECT_LE(c[0] * 10, 4096) << "ten tufts a cell still fit a sector's pool";
        EXPECT_LE(c[1], 200);
        EXPECT_LE(c[2], 200);
    }
    EXPECT_EQ(tools::EncodePlaceColor(m).size(), 270000u);
}

} // namespace

namespace {

// A continued game puts the car at a fixed spot, (461, -1054) facing
// (400, -1254). The car's footprint there, with a pedestrian's reach
// around it, lies on the carriageway: no walkway or off-road cell under it.
TEST(SampleContinueSpot, CarStandsOnTheRoadClearOfTheWalkway)
{
    const tools::LandscapeMaps m = tools::SampleCityMaps();
    const float x = 461.0f, z = -1054.0f;
    float fx = 400.0f - x, fz = -1254.0f - z;
    const float length = std::hypot(fx, fz);
    fx /= length;
    fz /= length;
    const float halfLength = 2.5f + 1.0f, halfWidth = 1.1f + 1.0f; // a car, and a pedestrian's reach
    const float side = m.frame.cellSize, world = static_cast<float>(m.frame.cells) * side;
    for (float a = -halfLength; a <= halfLength; a += 0.25f)
        for (float b = -halfWidth; b <= halfWidth; b += 0.25f) {
            const float px = x + a * fx + b * fz, pz = z + a * fz - b * fx;
            const int column = static_cast<int>((px + world / 2) / side);
            const int row = static_cast<int>((world / 2 - pz) / side);
            const std::uint8_t type = m.route[static_cast<std::size_t>(row) * tools::kGridSide + column].type;
            ASSERT_TRUE(type == 2 || type == 3) << "cell " << column << ", " << row << " type " << int(type);
        }
}

} // namespace
