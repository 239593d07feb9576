// The ground's vertex grids and detail lists on the CPU side: what the
// sectors draw must be where the height queries and the physics say.
#include "world/world_fixture.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

class TerrainMesh : public test::LandscapeTest {
protected:
    // Loads a map and fills both grids.
    void Fill(const tools::LandscapeMaps& m)
    {
        ASSERT_EQ(test::LoadMaps(m, 1), 1);
        const std::size_t n = static_cast<std::size_t>(m.frame.cells + 1) * (m.frame.cells + 1);
        terrain.assign(n, LandscapeVertex{});
        water.assign(n, LandscapeVertex{});
        g_Landscape.FillGroundVertices(terrain.data(), water.data());
    }
    const LandscapeVertex& T(int row, int column) const
    {
        return terrain[static_cast<std::size_t>(row) * (g_Landscape.m_nCells + 1) + column];
    }
    int WaterAlphaAt(int row, int column) const
    {
        return static_cast<int>(water[static_cast<std::size_t>(row) * (g_Landscape.m_nCells + 1) + column].diffuse >> 24);
    }
    std::vector<LandscapeVertex> terrain, water;
};

TEST_F(TerrainMesh, GridPositionsTextureSetsAndNormals)
{
    // Flat at 16 on the left half, a slope rising 4 per cell on the right.
    tools::LandscapeMaps m = test::SmallMap(12);
    for (int row = 0; row < 12; ++row)
        for (int column = 6; column < 12; ++column)
            m.Altitude(column, row) = 16.0f + 4.0f * static_cast<float>(column - 6);
    m.Altitude(11, 11) = 77.0f;
    Fill(m);
    const float half = g_Landscape.m_fWorldSize / 2;
    const LandscapeVertex& corner = T(0, 0);
    EXPECT_FLOAT_EQ(corner.x, -half);
    EXPECT_FLOAT_EQ(corner.z, half);
    EXPECT_EQ(corner.diffuse, 0xFFFFFFFFu);
    const LandscapeVertex& inner = T(3, 6);
    EXPECT_FLOAT_EQ(inner.x, 6 * 4.0f - half);
    EXPECT_FLOAT_EQ(inner.z, half - 3 * 4.0f);
    EXPECT_FLOAT_EQ(inner.u0, 6.0f / 12.0f);
    EXPECT_FLOAT_EQ(inner.v0, 3.0f / 12.0f);
    EXPECT_FLOAT_EQ(inner.u1, 6.0f / 12.0f * 200.0f);
    EXPECT_FLOAT_EQ(inner.v1, 3.0f / 12.0f * 200.0f);
    // The last row and column repeat the last cell.
    EXPECT_FLOAT_EQ(T(12, 12).y, 77.0f);
    EXPECT_FLOAT_EQ(T(12, 3).y, 16.0f);
    EXPECT_FLOAT_EQ(T(5, 12).y, m.Altitude(11, 5));

    // Flat ground: straight up.
    EXPECT_NEAR(T(4, 2).nx, 0.0f, 1e-6f);
    EXPECT_NEAR(T(4, 2).ny, 1.0f, 1e-6f);
    // On the slope (rising with x by 4 per 4): tilted 45 degrees towards -x.
    const LandscapeVertex& slope = T(4, 8);
    EXPECT_NEAR(slope.nx, -std::sqrt(0.5f), 1e-5f);
    EXPECT_NEAR(slope.ny, std::sqrt(0.5f), 1e-5f);
    EXPECT_NEAR(slope.nz, 0.0f, 1e-5f);
}

TEST_F(TerrainMesh, DrawnHeightsMatchTheExactAltitude)
{
    tools::LandscapeMaps m = test::SmallMap(16);
    for (int row = 0; row < 16; ++row)
        for (int column = 0; column < 16; ++column)
            m.Altitude(column, row) = static_cast<float>((column * 5 + row * row) % 13) + 2.0f;
    Fill(m);
    for (int a = 0; a < 16; ++a)
        for (int b = 0; b < 16; ++b) {
            const LandscapeVertex& v = T(a, b);
            const D3DXVECTOR3 p(v.x + 1e-3f, 0.0f, v.z - 1e-3f); // just inside the cell the vertex opens
            ASSERT_NEAR(GetExactAltitude(&p), v.y, 1e-2f) << a << ", " << b;
        }
}

TEST_F(TerrainMesh, WaterAlphaByDepthAndEdge)
{
    // Height 100: water level 8.
    tools::LandscapeMaps m = test::SmallMap(60);
    m.frame.height = 100.0f;
    struct Case {
        int row, column;
        float altitude;
        int alpha;
    } cases[] = {
        {30, 30, 5.0f, 143},  // 3 under, far from the edges
        {30, 31, -2.0f, 220}, // 10 under
        {30, 32, 9.0f, 0},    // above the level
        {0, 30, 8.0f, 255},   // edge row at the level
        {30, 0, 1.0f, 255},   // edge column, deep
        {1, 30, 9.0f, 0},     // edge row above the level
    };
    for (const Case& c : cases)
        m.Altitude(c.column, c.row) = c.altitude;
    Fill(m);
    for (const Case& c : cases)
        EXPECT_EQ(WaterAlphaAt(c.row, c.column), c.alpha) << c.row << ", " << c.column;
    const LandscapeVertex& w = water[30 * 61 + 30];
    EXPECT_FLOAT_EQ(w.y, 8.0f);
    EXPECT_FLOAT_EQ(w.ny, 1.0f);
}

// Quads of 2 and 3 cells over a sector whose side is not a multiple of the
// step are cut at its edge: no index leaves the sector's patch, and the
// last sector's patch ends at the grid's last vertex.
TEST_F(TerrainMesh, DetailListsStayInsideTheSector)
{
    const struct {
        int cells, perSide, perSector;
        std::uint32_t counts[3];
    } cases[] = {
        {60, 2, 30, {30 * 30 * 6, 15 * 15 * 6, 10 * 10 * 6}},
        {50, 2, 25, {25 * 25 * 6, 13 * 13 * 6, 9 * 9 * 6}},
        {7, 1, 7, {7 * 7 * 6, 4 * 4 * 6, 3 * 3 * 6}},
    };
    for (const auto& c : cases) {
        tools::LandscapeMaps m = test::SmallMap(c.cells);
        m.frame.sectorsPerSide = c.perSide;
        m.frame.cellsPerSector = c.perSector;
        ASSERT_EQ(test::LoadMaps(m, 1), 1);
        const int stride = c.cells + 1, last = c.perSide - 1;
        const int lastFirstVertex = last * c.perSector * stride + last * c.perSector;
        for (int step = 1; step <= 3; ++step) {
            const std::uint32_t count = g_Landscape.BuildDetailIndices(step, nullptr);
            EXPECT_EQ(count, c.counts[step - 1]) << c.cells << " step " << step;
            std::vector<std::uint16_t> list(count);
            g_Landscape.BuildDetailIndices(step, list.data());
            const int largest = *std::max_element(list.begin(), list.end());
            EXPECT_EQ(largest, c.perSector * stride + c.perSector) << c.cells << " step " << step;
            EXPECT_LT(lastFirstVertex + largest, stride * stride);
        }
        g_Landscape.Release();
    }
}

// A sector is flat when all its vertices share height and normal; one
// raised cell spoils the sectors whose vertices it moves or tilts, and a
// raised sector is not flat at its sloping rim.
TEST_F(TerrainMesh, FlatSectorsAreThoseInOnePlane)
{
    const struct {
        const char* what;
        int firstColumn, firstRow, lastColumn, lastRow;
        float altitude;
        bool flat[9]; // 3 x 3 sectors, row by row
    } cases[] = {
        {"all flat", 0, 0, -1, -1, 0.0f, {1, 1, 1, 1, 1, 1, 1, 1, 1}},
        {"a bump inside the middle", 8, 8, 8, 8, 20.0f, {1, 1, 1, 1, 0, 1, 1, 1, 1}},
        {"a bump on an edge", 6, 2, 6, 2, 20.0f, {0, 0, 1, 1, 1, 1, 1, 1, 1}},
        {"a raised corner sector", 12, 12, 17, 17, 30.0f, {1, 1, 1, 1, 0, 0, 1, 0, 0}},
    };
    for (const auto& c : cases) {
        tools::LandscapeMaps m = test::SmallMap(18);
        m.frame.sectorsPerSide = 3;
        m.frame.cellsPerSector = 6;
        for (int row = c.firstRow; row <= c.lastRow; ++row)
            for (int column = c.firstColumn; column <= c.lastColumn; ++column)
                m.Altitude(column, row) = c.altitude;
        Fill(m);
        g_Landscape.MarkFlatSectors(terrain.data());
        for (int i = 0; i < 9; ++i)
            EXPECT_EQ(g_Landscape.m_bFlatSector[i] != 0, c.flat[i]) << c.what << ", sector " << i;
        g_Landscape.Release();
    }
}

} // namespace
