// The sample city the build writes, driven through the game's own route code:
// the introduction's drive, the key positions and the road network's shape.
#include "world/world_fixture.h"

#include "shell/FileManager.h"
#include "shell/Settings.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

namespace {

// 24 block rings of 104 cells, the introduction's lone cell, and the two the
// continue spot's lay-by adds where the walkway steps into its block.
constexpr std::uint32_t kWalkwayCells = 24u * 104u + 1u + 2u;

class SampleCity : public test::LandscapeTest {
protected:
    void SetUp() override { test::LoadSampleCity(); }
    std::unique_ptr<D3DXVECTOR3[]> points{new D3DXVECTOR3[ROUTE_MAX_POINTS]};
    std::uint32_t count = 0;
};

// The new game's drive from the car's cell to the street grid's corner, as
// the introduction asks for it, with the one point it appends.
TEST_F(SampleCity, IntroductionRouteHasSixtySixPointsWhereThePlanPutsThem)
{
    const D3DXVECTOR3 car(-215, 30, -459), facing(-200, 30, -474), meeting(-86, 17, -383);
    D3DXVECTOR3 start, goal;
    ASSERT_EQ(g_Landscape.FindNearestRoutePoint(&car, &facing, &start, 3, 4, 10), 1);
    ASSERT_EQ(g_Landscape.FindNearestRoutePoint(&meeting, &start, &goal, 2, 4, 10), 1);
    ASSERT_EQ(g_Landscape.FindRoutePath(points.get(), &count, &start, &goal, 2, 4, 0, 0, 2, 0.0f, 2048), 1);
    ASSERT_EQ(count, 65u);
    points[count] = points[count - 1] + (points[count - 1] - points[count - 2]) * 0.5f;
    ++count;
    EXPECT_EQ(count, 66u);
    // The corner, rounded a little by the smoothing.
    EXPECT_LT(std::hypot(points[31].x + 86.0f, points[31].z + 514.0f), 3.0f);
    const float north[] = {-430.0f, -426.0f, -422.0f};
    for (int i = 0; i < 3; ++i) {
        EXPECT_FLOAT_EQ(points[52 + i].x, -86.0f);
        EXPECT_FLOAT_EQ(points[52 + i].z, north[i]);
    }
    EXPECT_FLOAT_EQ(points[64].x, goal.x);
    EXPECT_FLOAT_EQ(points[64].z, goal.z);
}

TEST_F(SampleCity, KeyPositionsLieOnTheNetworkAndTheGroundAroundIt)
{
    const D3DXVECTOR3 defaultCar(226, 16, -730), continueCar(461, 16, -1054), eye(501, 9, -1174);
    EXPECT_EQ(g_Landscape.GetRouteCellType(&defaultCar), ROUTE_ROAD);
    const std::uint8_t t = g_Landscape.GetRouteCellType(&continueCar);
    EXPECT_TRUE(t >= 2 && t <= 4) << int(t);
    EXPECT_EQ(GetExactAltitude(&defaultCar), 16.0f);
    EXPECT_LT(GetExactAltitude(&eye), 0.08f * g_Landscape.m_fHeight) << "the eye looks over the sea";
    EXPECT_EQ(g_Landscape.GetRouteWidthAt(&defaultCar), 15.0f);
    EXPECT_NEAR(g_Landscape.GetRoadCentreFactor(&defaultCar), 1.0f, 1e-6f);
}

TEST_F(SampleCity, NetworkShape)
{
    bool water = false;
    for (int row = 0; row < LANDSCAPE_GRID; ++row)
        for (int column = 0; column < LANDSCAPE_GRID; ++column) {
            const RouteCell& cell = g_Landscape.Route(column, row);
            const float h = g_Landscape.m_fAltitude[row][column];
            ASSERT_TRUE(h >= 0.0f && h <= g_Landscape.m_fHeight);
            if (cell.m_nType == 0) {
                water = water || (h < 8.0f && row > 20 && row < 580 && column > 20 && column < 580);
                continue;
            }
            ASSERT_EQ(cell.m_nColumn, column);
            ASSERT_EQ(cell.m_nRow, row);
            ASSERT_EQ(h, 16.0f) << "no road in the water";
            int same = 0;
            for (int y = row - 1; y <= row + 1; ++y)
                for (int x = column - 1; x <= column + 1; ++x)
                    same += (x != column || y != row) && g_Landscape.Route(x, y).m_nType == cell.m_nType;
            if (cell.m_nType == ROUTE_ROAD) {
                ASSERT_LE(same, 4) << column << ", " << row;
                ASSERT_TRUE(cell.m_nLinkCount == 2 || cell.m_nLinkCount == 3) << column << ", " << row;
            } else if (cell.m_nType == ROUTE_WALKWAY && !(column == 246 && row == 414)) {
                ASSERT_LE(same, 4) << column << ", " << row;
                ASSERT_EQ(cell.m_nLinkCount, 2) << column << ", " << row;
            }
        }
    EXPECT_TRUE(water) << "a lake inside the city";
    EXPECT_EQ(g_Landscape.m_nWalkwayCells, kWalkwayCells);
}

// Road cells picked at random, the same way every run.
std::vector<D3DXVECTOR3> RandomRoadPoints(int n, unsigned seed)
{
    std::vector<D3DXVECTOR3> out;
    std::srand(seed);
    while (static_cast<int>(out.size()) < n) {
        const int column = 290 + std::rand() % 130, row = 390 + std::rand() % 190;
        if (g_Landscape.Route(column, row).m_nType == ROUTE_ROAD)
            out.push_back(g_Landscape.Route(column, row).m_vPosition);
    }
    return out;
}

TEST_F(SampleCity, RaceRoutesNeverFailFromAnyRoad)
{
    for (const D3DXVECTOR3& start : RandomRoadPoints(40, 11)) {
        ASSERT_EQ(g_Landscape.MakeRaceRoute(points.get(), &count, &start, 400), 1)
            << start.x << ", " << start.z;
        EXPECT_GE(count, 100u);
    }
}

TEST_F(SampleCity, TrafficPathsAndWalksAroundTheCity)
{
    int found = 0;
    const std::vector<D3DXVECTOR3> starts = RandomRoadPoints(40, 12);
    for (D3DXVECTOR3 p : starts) {
        if (g_Landscape.FindRandomRoadPath(points.get(), &count, &p, 60.0f, 3, 3, 100)) {
            ++found;
            ASSERT_GE(count, 2u);
        }
    }
    EXPECT_EQ(found, static_cast<int>(starts.size()));
    for (const D3DXVECTOR3& p : RandomRoadPoints(10, 13)) {
        const D3DXVECTOR3 heading = p + D3DXVECTOR3(0, 0, 10);
        ASSERT_EQ(g_Landscape.MakeRandomRoadRoute(points.get(), &count, &p, &heading, 3, 3, 300), 1);
        ASSERT_EQ(g_Landscape.MakeRandomWalkwayRoute(points.get(), &count, &p, &heading, 4, 4, 300, 1.0f), 1);
        EXPECT_EQ(count, 301u);
    }
}

// A continued game sets the car down at (461, -1054) facing (400, -1254),
// slanted across the east street's southbound side. The southbound traffic
// line, as a traffic car's route lays it out, keeps a car's half-width and
// a margin clear of that car's footprint, so traffic neither strikes it nor
// takes it for a car ahead in its lane.
TEST_F(SampleCity, SouthboundTrafficPassesClearOfTheCarAtTheContinueSpot)
{
    const D3DXVECTOR3 car(461.0f, 16.0f, -1054.0f);
    float fx = 400.0f - car.x, fz = -1254.0f - car.z;
    const float length = std::hypot(fx, fz);
    fx /= length;
    fz /= length;
    const float halfLength = 2.5f, halfWidth = 1.1f, clearance = 1.1f + 1.0f;

    const D3DXVECTOR3 from(466.0f, 16.0f, -1000.0f), heading(466.0f, 16.0f, -1200.0f);
    ASSERT_EQ(g_Landscape.MakeRandomRoadRoute(points.get(), &count, &from, &heading, 3, 3, 20), 1);
    int beside = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        const float dx = points[i].x - car.x, dz = points[i].z - car.z;
        if (std::fabs(dz) > 3.0f * halfLength)
            continue;
        ++beside;
        const float along = std::max(std::fabs(dx * fx + dz * fz) - halfLength, 0.0f);
        const float across = std::max(std::fabs(dx * fz - dz * fx) - halfWidth, 0.0f);
        EXPECT_GE(std::hypot(along, across), clearance) << "route point " << points[i].x << ", " << points[i].z;
    }
    EXPECT_GE(beside, 2) << "the route runs past the spot";
}

} // namespace

namespace {

// The game reads the city from the archives by default.
TEST_F(SampleCity, LoadsFromThePackedArchivesToo)
{
    g_Landscape.Release();
    g_Landscape.m_fWorldSize = 0.0f;
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(std::string(MORVAINE_BUILD_DIR) + "/run");
    g_bFileManager = 1;
    g_FileManager.Init();
    const int result = g_Landscape.Init();
    std::filesystem::current_path(previous);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(g_Landscape.m_fWorldSize, 2400.0f);
    EXPECT_EQ(g_Landscape.m_nSectorCount, 400);
    EXPECT_EQ(g_Landscape.m_nWalkwayCells, kWalkwayCells);
    EXPECT_GT(g_Landscape.m_nRoadCells, 1000u);
}

} // namespace
