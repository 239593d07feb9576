// The sample city carries the routes the scenes drive: the introduction's
// drive into the yard, race starts around the streets and taxi fares.
#include "world/world_fixture.h"

#include "game/CityLogic.h"
#include "roadusers/RaceInfo.h"
#include "shell/VectorHelpers.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace test {
namespace {

// Every n-th cell of the class on the loaded map.
std::vector<D3DXVECTOR3> CellsOfType(int type, int every)
{
    std::vector<D3DXVECTOR3> cells;
    int seen = 0;
    for (int row = 0; row < LANDSCAPE_GRID; ++row)
        for (int column = 0; column < LANDSCAPE_GRID; ++column)
            if (g_Landscape.Route(column, row).m_nType == type && seen++ % every == 0)
                cells.push_back(g_Landscape.Route(column, row).m_vPosition);
    return cells;
}

} // namespace

TEST(SampleCityScenes, IntroductionDrivesIntoTheYard)
{
    LoadSampleCity();
    std::vector<D3DXVECTOR3> route(2048);
    std::uint32_t count = 0;
    const D3DXVECTOR3 spawn(-215.0f, 30.0f, -459.0f), yardCamera(-86.0f, 19.0f, -383.0f);
    const D3DXVECTOR3 mechanic(-83.0f, 17.0f, -381.0f);
    ASSERT_EQ(BuildIntroRoute(route.data(), &count, spawn), 1);
    EXPECT_EQ(count, static_cast<std::uint32_t>(INTRO_ROUTE_POINTS));
    // The cut comes before the yard; the re-spawn points are in the yard
    // camera's view and the drive ends beside the mechanic.
    EXPECT_GT(Vec3Distance(&route[31], &yardCamera), Vec3Distance(&route[52], &yardCamera));
    for (int i : {52, 53, 54})
        EXPECT_LT(Vec3Distance(&route[i], &yardCamera), 70.0f) << i;
    EXPECT_LT(Vec3Distance(&route[count - 1], &mechanic), 12.0f);
}

TEST(SampleCityScenes, RaceStartsAndRoutesAroundTheStreets)
{
    LoadSampleCity();
    std::srand(5);
    const std::vector<D3DXVECTOR3> streets = CellsOfType(3, 41);
    ASSERT_GT(streets.size(), 20u);
    int starts = 0, routes = 0;
    std::vector<D3DXVECTOR3> route(2048);
    for (const D3DXVECTOR3& at : streets) {
        D3DXVECTOR3 eye = at + D3DXVECTOR3(0.0f, 3.0f, 0.0f), start;
        if (!g_Landscape.PickRandomRoutePointAtDistance(&eye, &start, 150.0f, 3, 3))
            continue;
        const float away = Vec3Distance(&start, &eye);
        if (away < 100.0f || away > 175.0f)
            continue;
        ++starts;
        std::uint32_t n = 0;
        const int steps = static_cast<int>((800.0f + static_cast<float>(std::rand() % 1001)) / g_Landscape.m_fCellSize);
        if (g_Landscape.MakeRaceRoute(route.data(), &n, &start, steps) && TrimRaceRoute(route.data(), n) >= 100)
            ++routes;
    }
    // Most driving points find a start, and most starts a full race.
    EXPECT_GE(starts * 10, static_cast<int>(streets.size()) * 8);
    EXPECT_GE(routes * 10, starts * 8);
}

TEST(SampleCityScenes, TaxiFaresFindALandingAndARoad)
{
    LoadSampleCity();
    std::srand(11);
    const std::vector<D3DXVECTOR3> walkways = CellsOfType(4, 53);
    ASSERT_GT(walkways.size(), 10u);
    std::vector<D3DXVECTOR3> route(2048);
    int pickups = 0, landings = 0, fares = 0;
    for (const D3DXVECTOR3& at : walkways) {
        const RouteCell* road = g_Landscape.FindNearestRouteCell(3, &at, 5);
        if (!road)
            continue;
        ++pickups;
        D3DXVECTOR3 direction(static_cast<float>(std::rand() % 2001 - 1000), 0.0f,
                              static_cast<float>(std::rand() % 2001 - 1000));
        Vec3Normalize(&direction, &direction);
        const D3DXVECTOR3 aim = at + direction * static_cast<float>(200 + std::rand() % 801);
        const RouteCell* landing = g_Landscape.FindNearestRouteCell(4, &aim, 20);
        if (!landing || Vec3Distance(&landing->m_vPosition, &at) < 200.0f)
            continue;
        ++landings;
        std::uint32_t n = 0;
        const D3DXVECTOR3 from = road->m_vPosition, to = landing->m_vPosition;
        if (g_Landscape.FindRoutePath(route.data(), &n, &from, &to, 2, 4, 0, 0, 1, 0.0f, 2048) && n > 1 &&
            Vec3Distance(&route[n - 1], &to) < g_Landscape.m_fCellSize * 2.0f)
            ++fares;
    }
    // Aims that fall outside the built-up city find no landing (the
    // pedestrian walks on and asks again later); every landing found is
    // reached by road.
    EXPECT_GE(pickups * 10, static_cast<int>(walkways.size()) * 7);
    EXPECT_GE(landings * 10, pickups);
    EXPECT_EQ(fares, landings);
}

} // namespace test
