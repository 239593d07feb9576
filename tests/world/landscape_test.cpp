// Loading the world data, the height queries and the terrain ray march.
#include "world/world_fixture.h"

#include "platform/Win32Window.h"
#include "shell/FileManager.h"
#include "shell/Settings.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>

namespace {

using test::LandscapeTest;

struct InitCase {
    const char* name;
    int cells, sectorsPerSide, cellsPerSector;
    float cellSize;
    const char* removedFile; // null: all files present
    int expectedResult;
    float expectedWorldSize;
    const char* expectedBox; // text of the landscape's own error box, or null for none
};

const InitCase kInitCases[] = {
    {"valid", 16, 2, 8, 4.0f, nullptr, 1, 64.0f, nullptr},
    {"no world frame: runs without a landscape", 16, 2, 8, 4.0f, "LandscapeData.obj", 1, 0.0f, nullptr},
    {"no altitude map", 16, 2, 8, 4.0f, "AltitudeMap.dat", 0, 0.0f, "Open altitude map error!"},
    {"no place map", 16, 2, 8, 4.0f, "StaticObjectsPlaceMap.dat", 0, 0.0f, "Open static objects place map error!"},
    {"no route files still loads", 16, 2, 8, 4.0f, "GlobalRoute.dat", 1, 64.0f, nullptr},
    {"zero cells", 0, 1, 1, 4.0f, nullptr, 0, 0.0f, "Wrong landscape size data!"},
    {"more cells than the grid holds", 601, 1, 1, 4.0f, nullptr, 0, 0.0f, "Wrong landscape size data!"},
    {"more sectors than the table holds", 600, 33, 18, 4.0f, nullptr, 0, 0.0f, "Wrong landscape size data!"},
    {"sectors reach past the cells", 16, 3, 8, 4.0f, nullptr, 0, 0.0f, "Wrong landscape size data!"},
    {"cell size too small", 16, 2, 8, 0.001f, nullptr, 0, 0.0f, "Wrong landscape size data!"},
    {"sector ground beyond 16-bit indices", 600, 1, 200, 4.0f, nullptr, 0, 0.0f, "Wrong landscape size data!"},
};

void PrintTo(const InitCase& c, std::ostream* os)
{
    *os << c.name;
}

class LandscapeInit : public LandscapeTest, public ::testing::WithParamInterface<InitCase> {};

TEST_P(LandscapeInit, Outcome)
{
    const InitCase& c = GetParam();
    tools::LandscapeMaps maps = test::SmallMap(16);
    maps.frame.cells = c.cells;
    maps.frame.sectorsPerSide = c.sectorsPerSide;
    maps.frame.cellsPerSector = c.cellsPerSector;
    maps.frame.cellSize = c.cellSize;
    ASSERT_TRUE(tools::WriteLandscapeFiles(".", maps, 16));
    if (c.removedFile)
        std::filesystem::remove(std::string("Data/Landscape/") + c.removedFile);
    g_bFileManager = 0;
    g_FileManager.Init();
    const unsigned boxes = plat::MessageBoxCount();
    EXPECT_EQ(g_Landscape.Init(), c.expectedResult);
    EXPECT_EQ(g_Landscape.m_fWorldSize, c.expectedWorldSize);
    const bool boxShown = plat::MessageBoxCount() > boxes && std::string(plat::LastMessageBoxCaption()) ==
                                                                  "Landscape error!";
    if (c.expectedBox) {
        EXPECT_TRUE(boxShown);
        EXPECT_STREQ(plat::LastMessageBoxText(), c.expectedBox);
    } else {
        EXPECT_FALSE(boxShown) << plat::LastMessageBoxText();
    }
    // A failed or empty load released its textures.
    if (c.expectedResult == 0 || c.expectedWorldSize == 0.0f) {
        for (int id : g_Landscape.m_nSurfaceTextures)
            EXPECT_EQ(id, -1);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, LandscapeInit, ::testing::ValuesIn(kInitCases),
                         [](const ::testing::TestParamInfo<InitCase>& c) {
                             std::string name;
                             for (const char* p = c.param.name; *p; ++p)
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return name;
                         });

// Heights that are not planar, so that the split of a cell into its two
// triangles shows.
float CornerHeight(int column, int row)
{
    return 10.0f + 3.0f * static_cast<float>(column) + 0.5f * static_cast<float>(row * row);
}

class HeightQueries : public LandscapeTest {
protected:
    void SetUp() override
    {
        tools::LandscapeMaps maps = test::SmallMap(kCells);
        for (int row = 0; row < kCells; ++row)
            for (int column = 0; column < kCells; ++column)
                maps.Altitude(column, row) = CornerHeight(column, row);
        ASSERT_EQ(test::LoadMaps(maps, 0), 1);
    }
    // The drawn ground: vertex (column, row) at corner height of the cell
    // (last row and column repeat the last cell), quads split from the
    // corner (x0, z1) to (x1, z0).
    static float Reference(float x, float z)
    {
        const float half = kCells * 4.0f / 2;
        float fx = (x + half) / 4.0f, fz = (half - z) / 4.0f;
        fx = std::fmin(std::fmax(fx, 0.0f), static_cast<float>(kCells));
        fz = std::fmin(std::fmax(fz, 0.0f), static_cast<float>(kCells));
        int column = std::min(static_cast<int>(std::floor(fx)), kCells - 1);
        int row = std::min(static_cast<int>(std::floor(fz)), kCells - 1);
        auto h = [](int c, int r) { return CornerHeight(std::min(c, kCells - 1), std::min(r, kCells - 1)); };
        const float u = fx - column, v = fz - row;
        const float a = h(column, row), b = h(column, row + 1), c = h(column + 1, row), d = h(column + 1, row + 1);
        if (u + v <= 1.0f)
            return a + u * (c - a) + v * (b - a);
        return d + (1 - u) * (b - d) + (1 - v) * (c - d);
    }
    static constexpr int kCells = 8; // x and z from -16 to +16
};

TEST_F(HeightQueries, ExactAltitudeFollowsTheTwoTrianglesOfEachCell)
{
    const struct {
        const char* what;
        float x, z;
    } points[] = {
        {"cell corner, negative x, positive z", -12.0f, 12.0f},
        {"grid line with x < 0 (the cell to its right owns it)", -8.0f, 5.0f},
        {"just left of that grid line", -8.01f, 5.0f},
        {"grid line with z > 0", 3.0f, 8.0f},
        {"grid line with z < 0", 3.0f, -8.0f},
        {"on a cell's diagonal", -10.0f, 10.0f},
        {"first triangle", -11.5f, 11.5f},
        {"second triangle", -8.5f, 8.5f},
        {"interior, positive x", 5.3f, -6.7f},
        {"map corner", -16.0f, 16.0f},
        {"far map edge", 16.0f, -16.0f},
    };
    for (const auto& p : points) {
        const D3DXVECTOR3 v(p.x, 123.0f, p.z);
        EXPECT_NEAR(GetExactAltitude(&v), Reference(p.x, p.z), 1e-3f) << p.what;
        EXPECT_EQ(g_Landscape.GetExactAltitude(&v), GetExactAltitude(&v));
    }
}

TEST_F(HeightQueries, HeightIsContinuousAcrossGridLines)
{
    for (float line = -12.0f; line <= 12.0f; line += 4.0f) {
        const D3DXVECTOR3 on(line, 0, 5.0f), left(line - 0.001f, 0, 5.0f), right(line + 0.001f, 0, 5.0f);
        EXPECT_NEAR(GetExactAltitude(&on), GetExactAltitude(&left), 0.01f) << "x = " << line;
        EXPECT_NEAR(GetExactAltitude(&on), GetExactAltitude(&right), 0.01f) << "x = " << line;
        const D3DXVECTOR3 onZ(5.0f, 0, line), above(5.0f, 0, line + 0.001f), below(5.0f, 0, line - 0.001f);
        EXPECT_NEAR(GetExactAltitude(&onZ), GetExactAltitude(&above), 0.01f) << "z = " << line;
        EXPECT_NEAR(GetExactAltitude(&onZ), GetExactAltitude(&below), 0.01f) << "z = " << line;
    }
}

TEST_F(HeightQueries, RandomSweepNeverMissesAndShowsNoBox)
{
    const unsigned boxes = plat::MessageBoxCount();
    std::srand(7);
    for (int i = 0; i < 20000; ++i) {
        const float x = (static_cast<float>(std::rand()) / RAND_MAX - 0.5f) * 40.0f;
        const float z = (static_cast<float>(std::rand()) / RAND_MAX - 0.5f) * 40.0f;
        const D3DXVECTOR3 p(x, 0, z);
        ASSERT_NEAR(GetExactAltitude(&p), Reference(x, z), 1e-3f) << x << ", " << z;
    }
    EXPECT_EQ(plat::MessageBoxCount(), boxes);
}

TEST_F(HeightQueries, GridAltitudeClampsIntoTheMap)
{
    const D3DXVECTOR3 farWest(-1e9f, 0, 0.5f), farSouth(5.0f, 0, -500.0f), inside(-13.0f, 0, 13.0f);
    EXPECT_EQ(g_Landscape.GetGridAltitude(&farWest), CornerHeight(0, 3));
    EXPECT_EQ(g_Landscape.GetGridAltitude(&farSouth), CornerHeight(5, 7));
    EXPECT_EQ(g_Landscape.GetGridAltitude(&inside), CornerHeight(0, 0));
}

TEST_F(HeightQueries, NonFinitePointsAnswerZeroWithoutABox)
{
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    const unsigned boxes = plat::MessageBoxCount();
    for (const D3DXVECTOR3& p : {D3DXVECTOR3(nan, 0, 0), D3DXVECTOR3(0, 0, nan), D3DXVECTOR3(inf, 0, -inf),
                                 D3DXVECTOR3(3e38f, 0, -3e38f)}) {
        const float h = GetExactAltitude(&p);
        EXPECT_TRUE(std::isfinite(h));
        if (!std::isfinite(p.x) || !std::isfinite(p.z)) {
            EXPECT_EQ(h, 0.0f);
            EXPECT_EQ(g_Landscape.GetGridAltitude(&p), 0.0f);
        }
    }
    EXPECT_EQ(plat::MessageBoxCount(), boxes);
}

TEST_F(HeightQueries, TerrainMarchFindsTheGroundCrossing)
{
    D3DXVECTOR3 hit;
    // Straight down onto the ground.
    const D3DXVECTOR3 from(-6.0f, 200.0f, 2.0f), down(-6.0f, -200.0f, 2.0f);
    ASSERT_EQ(g_Landscape.MarchTerrainRay(&from, &down, &hit), 1);
    const D3DXVECTOR3 under(-6.0f, 0.0f, 2.0f);
    EXPECT_EQ(hit.y, g_Landscape.GetGridAltitude(&under));
    // Level above every hill: no crossing; a start under the ground reports the
    // first sample above it.
    const D3DXVECTOR3 high(-15.0f, 500.0f, 0.0f), highEnd(15.0f, 500.0f, 0.0f);
    EXPECT_EQ(g_Landscape.MarchTerrainRay(&high, &highEnd, &hit), 0);
    const D3DXVECTOR3 buried(0.0f, 5.0f, 0.0f), up(0.0f, 300.0f, 0.0f);
    EXPECT_EQ(g_Landscape.MarchTerrainRay(&buried, &up, &hit), 1);
    EXPECT_GT(hit.y, 0.0f);
    // The world ray test answers through the terrain, also without a point.
    EXPECT_EQ(g_Landscape.CastRay(&from, &down, nullptr, 1), 1);
    EXPECT_EQ(g_Landscape.CastRay(&from, &down, nullptr, 0), 1);
}

TEST_F(HeightQueries, ReleaseForgetsItsTexturesSoASecondReleaseIsHarmless)
{
    g_Landscape.Release();
    for (int id : g_Landscape.m_nWaterTextures)
        EXPECT_EQ(id, -1);
    for (int id : g_Landscape.m_nSurfaceTextures)
        EXPECT_EQ(id, -1);
    g_Landscape.Release();
}

TEST_F(LandscapeTest, WithoutALandscapeEveryQueryAnswersZero)
{
    g_Landscape.m_fWorldSize = 0.0f;
    const D3DXVECTOR3 p(1.0f, 2.0f, 3.0f), q(50.0f, -9.0f, 3.0f);
    D3DXVECTOR3 out(9, 9, 9);
    EXPECT_EQ(GetExactAltitude(&p), 0.0f);
    EXPECT_EQ(g_Landscape.GetGridAltitude(&p), 0.0f);
    EXPECT_EQ(g_Landscape.MarchTerrainRay(&p, &q, &out), 0);
    EXPECT_EQ(g_Landscape.CastRay(&p, &q, &out, 1), 0);
    EXPECT_EQ(g_Landscape.GetRouteCellType(&p), 0);
    EXPECT_EQ(g_Landscape.GetRouteWidthAt(&p), 0.0f);
    EXPECT_EQ(g_Landscape.GetRoadCentreFactor(&p), 0.0f);
    EXPECT_EQ(g_Landscape.FindNearestRouteCell(3, &p, 10), nullptr);
    EXPECT_EQ(g_Landscape.FindNearestRoutePoint(&p, &p, &out, 3, 3, 20), 0);
    EXPECT_EQ(out, p);
    EXPECT_EQ(g_Landscape.PickRandomRoutePointAtDistance(&p, &out, 50.0f, 3, 3), 0);
    D3DXVECTOR3 points[ROUTE_MAX_POINTS];
    std::uint32_t count = 77;
    EXPECT_EQ(g_Landscape.FindRoutePath(points, &count, &p, &q, 3, 3, 0, 0, 0, 0.0f, 2048), 0);
    EXPECT_EQ(count, 0u);
    D3DXVECTOR3 moving = p;
    EXPECT_EQ(g_Landscape.FindRandomRoadPath(points, &count, &moving, 100.0f, 3, 3, 100), 0);
    EXPECT_EQ(g_Landscape.MakeRandomRoadRoute(points, &count, &p, &q, 3, 3, 50), 0);
    EXPECT_EQ(g_Landscape.MakeRandomWalkwayRoute(points, &count, &p, &q, 4, 4, 50, 0.0f), 0);
    EXPECT_EQ(g_Landscape.MakeRaceRoute(points, &count, &p, 200), 0);
    EXPECT_EQ(count, 0u);
}

} // namespace
