// Sectors stream in and out around the camera, fillers carry the water
// beyond the map's edge, and the active list survives a lost device.
#include "world/world_fixture.h"

#include "shell/Game.h"
#include "shell/GameTimer.h"
#include "world/LandscapeSector.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <utility>

namespace {

using Cell = std::pair<int, int>;

class SectorStreaming : public test::LandscapeTest {
protected:
    // 4 x 4 sectors of 10 cells of 4.0: sector side 40, height 100.
    void SetUp() override
    {
        tools::LandscapeMaps m = test::SmallMap(40);
        m.frame.sectorsPerSide = 4;
        m.frame.cellsPerSector = 10;
        ASSERT_EQ(test::LoadMaps(m, 1), 1);
        g_Game.m_pCamera = &g_Game.m_Cameras[0];
        g_Landscape.BuildSectors();
    }
    static void LookFrom(float x, float z) { g_Game.m_pCamera->m_vEye = D3DXVECTOR3(x, 30.0f, z); }
    // Centre of sector (s, t).
    static D3DXVECTOR3 Centre(int s, int t) { return g_Landscape.SectorStreamCentre(s, t); }
    static std::set<Cell> Active()
    {
        std::set<Cell> out;
        for (std::uint32_t i = 0; i < g_Landscape.m_nActiveSectors; ++i)
            out.insert({g_Landscape.m_pActiveSectors[i]->m_nCol, g_Landscape.m_pActiveSectors[i]->m_nRow});
        return out;
    }
    static void Refresh()
    {
        g_Landscape.m_fRefreshTimer = -1.0f;
        g_Landscape.Update();
    }
};

TEST_F(SectorStreaming, ActiveSetAroundTheCamera)
{
    const float radius = g_Landscape.m_fSectorRadius; // about 57.4
    const D3DXVECTOR3 c = Centre(1, 1);
    // The view distance reaches the eight neighbours (40 and 56.6 away) and
    // no further (the next ring is 80 away).
    g_Landscape.m_fViewDistance = 1.0f;
    LookFrom(c.x, c.z);
    Refresh();
    std::set<Cell> expected;
    for (int t = 0; t <= 2; ++t)
        for (int s = 0; s <= 2; ++s)
            expected.insert({s, t});
    EXPECT_EQ(Active(), expected);
    for (const Cell& cell : expected)
        EXPECT_TRUE(g_Landscape.m_pSectors[cell.second * 4 + cell.first]->m_bActive);
    EXPECT_FALSE(g_Landscape.m_pSectors[3 * 4 + 3]->m_bActive);

    // A sector exactly at the view distance streams out: 80 - radius.
    g_Landscape.m_fViewDistance = 80.0f - radius;
    g_Landscape.UpdateStreaming(g_Landscape.m_fViewDistance, 1);
    EXPECT_EQ(Active().count({3, 1}), 0u);
    g_Landscape.m_fViewDistance = 80.0f - radius + 0.01f;
    g_Landscape.UpdateStreaming(g_Landscape.m_fViewDistance, 1);
    EXPECT_EQ(Active().count({3, 1}), 1u);

    // Nearest first.
    for (std::uint32_t i = 1; i < g_Landscape.m_nActiveSectors; ++i)
        EXPECT_LE(g_Landscape.m_pActiveSectors[i - 1]->m_fDistance, g_Landscape.m_pActiveSectors[i]->m_fDistance);
}

TEST_F(SectorStreaming, FillersReachFiveSectorsBeyondTheEdge)
{
    g_Landscape.m_fViewDistance = 500.0f;
    const D3DXVECTOR3 edge = Centre(0, 2);
    LookFrom(edge.x - 20.0f, edge.z);
    Refresh();
    int fillers = 0, leftmost = 0;
    for (const Cell& cell : Active()) {
        const bool inside = cell.first >= 0 && cell.first < 4 && cell.second >= 0 && cell.second < 4;
        if (!inside) {
            ++fillers;
            leftmost = std::min(leftmost, cell.first);
            const CLandscapeSector* f = g_Landscape.FindFillerSector(cell.first, cell.second);
            ASSERT_NE(f, nullptr);
            EXPECT_EQ(f->m_nIndex, -1);
            EXPECT_EQ(f->m_nFirstVertex, -1);
        }
    }
    EXPECT_EQ(leftmost, -5);
    EXPECT_EQ(Active().size(), 14u * 14u) << "every map sector and every filler of the band";
    EXPECT_EQ(fillers, 14 * 14 - 16);

    // Far away everything streams out and the fillers are deleted.
    LookFrom(5000.0f, 5000.0f);
    Refresh();
    EXPECT_EQ(g_Landscape.m_nActiveSectors, 0u);
}

TEST_F(SectorStreaming, RefreshCadenceAndMoveThresholds)
{
    g_Landscape.m_fViewDistance = 100.0f;
    const D3DXVECTOR3 c = Centre(1, 1);
    LookFrom(c.x, c.z);
    g_GameTimer.m_fRealDelta = 0.01f;
    g_Landscape.m_fRefreshTimer = 0.0f;
    g_Landscape.Update(); // right after building: streams at once
    ASSERT_GT(g_Landscape.m_nActiveSectors, 0u);
    const D3DXVECTOR3 streamed = g_Landscape.m_vStreamPoint;
    EXPECT_FLOAT_EQ(streamed.x, c.x);
    // A move of a quarter of the view distance streams again, but only at
    // the next 8 Hz refresh.
    LookFrom(c.x + 25.0f, c.z);
    int frames = 0;
    while (g_Landscape.m_vStreamPoint.x == streamed.x && frames < 100) {
        g_Landscape.Update();
        ++frames;
    }
    EXPECT_GE(frames, 12);
    EXPECT_LE(frames, 13);
    // A smaller move does not.
    LookFrom(c.x + 25.0f + 24.0f, c.z);
    Refresh();
    EXPECT_FLOAT_EQ(g_Landscape.m_vStreamPoint.x, c.x + 25.0f);
}

TEST_F(SectorStreaming, ReleaseBuildAgainAndDeviceLossKeepTheActiveSet)
{
    g_Landscape.m_fViewDistance = 300.0f;
    LookFrom(-70.0f, 10.0f);
    Refresh();
    const std::set<Cell> before = Active();
    ASSERT_GT(before.size(), 16u) << "fillers too";
    g_Landscape.OnLostDevice();
    EXPECT_EQ(g_Landscape.m_nActiveSectors, 0u);
    for (int i = 0; i < 16; ++i)
        EXPECT_FALSE(g_Landscape.m_pSectors[i]->m_bActive);
    g_Landscape.OnResetDevice();
    EXPECT_EQ(Active(), before);

    g_Landscape.ReleaseSectors();
    EXPECT_EQ(g_Landscape.m_nActiveSectors, 0u);
    EXPECT_EQ(g_Landscape.m_pSectors[0], nullptr);
    g_Landscape.BuildSectors();
    Refresh();
    EXPECT_EQ(Active(), before);
}

// A full list takes no more sectors: a filler made for it is not kept.
TEST_F(SectorStreaming, FullListTakesNoMore)
{
    CLandscapeSector* mapSector = g_Landscape.m_pSectors[0];
    for (std::uint32_t i = 0; i < LANDSCAPE_MAX_SECTORS; ++i)
        g_Landscape.m_pActiveSectors[i] = mapSector;
    g_Landscape.m_nActiveSectors = LANDSCAPE_MAX_SECTORS;
    auto* filler = new CLandscapeSector();
    filler->InitFiller(-1, 0);
    g_Landscape.AddActiveSector(filler); // deleted, else LeakSanitizer reports it
    EXPECT_EQ(g_Landscape.m_nActiveSectors, static_cast<std::uint32_t>(LANDSCAPE_MAX_SECTORS));
    g_Landscape.AddActiveSector(g_Landscape.m_pSectors[5]);
    EXPECT_FALSE(g_Landscape.m_pSectors[5]->m_bActive);
    g_Landscape.m_nActiveSectors = 0;
}

TEST_F(SectorStreaming, NoLandscapeUpdatesNothing)
{
    g_Landscape.Release();
    g_Landscape.m_fWorldSize = 0.0f;
    LookFrom(0.0f, 0.0f);
    Refresh();
    EXPECT_EQ(g_Landscape.m_nActiveSectors, 0u);
    EXPECT_EQ(g_Landscape.m_pTerrainBody, nullptr);
}

} // namespace
