// The sample city's field cells follow the rules the sectors place by, and
// its grass colour map has the size the game reads.
#include "world/world_fixture.h"

#include "writers/FieldObjectData.h"

#include <array>

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
