// The landscape's passes on the recording device: which stages the roads,
// markings and sidewalks are drawn with, that every stage is put back, and
// what the water and shadow passes draw or skip.
#include "world/world_fixture.h"

#include "graphics/D3DRender.h"
#include "shell/Game.h"
#include "shell/Settings.h"
#include "support/HeadlessDevice.h"
#include "world/LandscapeSector.h"
#include "writers/FileBytes.h"
#include "writers/SectorFiles.h"

#include <map>
#include <utility>

namespace {

using StageKey = std::pair<DWORD, DWORD>;

class LandscapeDraw : public test::LandscapeTest {
protected:
    void SetUp() override
    {
        g_D3DRender.SetDefaults();
        g_D3DRender.m_pDevice = m_device.Get();
        // 2 x 2 sectors of 10 cells; a basin 14 under the ground in the
        // middle of sector (0, 0) holds water.
        tools::LandscapeMaps m = test::SmallMap(20);
        m.frame.sectorsPerSide = 2;
        m.frame.cellsPerSector = 10;
        for (int row = 3; row < 7; ++row)
            for (int column = 3; column < 7; ++column)
                m.Altitude(column, row) = 2.0f;
        ASSERT_EQ(test::LoadMaps(m, 1), 1);
        tools::SectorMeshData quad;
        quad.AddQuad({-30, 16.05f, 20}, {-26, 16.05f, 20}, {-30, 16.05f, 24}, {-26, 16.05f, 24});
        const std::string bytes = tools::EncodeSectorMesh(quad);
        for (const char* name : {"Roads.msh", "RoadsSectoring.msh", "SideWalks.msh"})
            ASSERT_TRUE(tools::WriteFileBytes(std::string("Data/Landscape/00_00/") + name, bytes));
        g_Game.m_pCamera = &g_Game.m_Cameras[0];
        g_Game.m_pCamera->m_vEye = D3DXVECTOR3(-20.0f, 30.0f, 20.0f);
        g_Landscape.BuildSectors();
        g_Landscape.m_fViewDistance = 200.0f;
        g_Landscape.m_fRefreshTimer = -1.0f;
        g_Landscape.Update();
        for (std::uint32_t i = 0; i < g_Landscape.m_nActiveSectors; ++i)
            g_Landscape.m_pActiveSectors[i]->m_bVisible = 1;
        g_Landscape.Update(); // the ticks see them visible
        Log().Clear();
    }
    void TearDown() override
    {
        test::LandscapeTest::TearDown();
        g_D3DRender.ReleaseAllTextures();
        g_D3DRender.SetDefaults();
        g_D3DRender.m_pDevice = nullptr;
        g_nWater = 2;
    }
    plat::DeviceLog& Log() { return m_device.Log(); }
    // The texture stage states in force at each indexed draw, and at the end.
    std::vector<std::map<StageKey, DWORD>> StagesAtDraws(std::map<StageKey, DWORD>* atEnd)
    {
        std::map<StageKey, DWORD> now;
        std::vector<std::map<StageKey, DWORD>> out;
        for (const plat::D3DCall& c : Log().Calls()) {
            if (c.op == plat::D3DOp::SetTextureStageState)
                now[{c.a, c.b}] = c.c;
            else if (c.op == plat::D3DOp::DrawIndexedPrimitive)
                out.push_back(now);
        }
        *atEnd = now;
        return out;
    }
    test::HeadlessDevice m_device;
};

TEST_F(LandscapeDraw, RoadStagesMixTheTwoAsphaltsAndAreRestored)
{
    g_Landscape.Render();
    std::map<StageKey, DWORD> end;
    const std::vector<std::map<StageKey, DWORD>> stages = StagesAtDraws(&end);
    const std::vector<plat::D3DCall> draws = Log().Of(plat::D3DOp::DrawIndexedPrimitive);
    ASSERT_EQ(stages.size(), draws.size());
    // Four ground patches, then roads, markings and sidewalks of sector (0, 0).
    ASSERT_EQ(draws.size(), 7u);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(draws[i].d, 21u * 21u) << "a ground patch over the whole grid";
    const std::map<StageKey, DWORD>& roads = stages[4];
    EXPECT_EQ(roads.at({0, D3DTSS_COLOROP}), DWORD(D3DTOP_SELECTARG1));
    EXPECT_EQ(roads.at({0, D3DTSS_RESULTARG}), DWORD(D3DTA_TEMP));
    EXPECT_EQ(roads.at({0, D3DTSS_TEXCOORDINDEX}), 1u) << "the road mask takes the second set";
    EXPECT_EQ(roads.at({1, D3DTSS_COLOROP}), DWORD(D3DTOP_MODULATE));
    EXPECT_EQ(roads.at({1, D3DTSS_COLORARG2}), DWORD(D3DTA_TEMP | D3DTA_COMPLEMENT));
    EXPECT_EQ(roads.at({2, D3DTSS_COLOROP}), DWORD(D3DTOP_MULTIPLYADD));
    EXPECT_EQ(roads.at({3, D3DTSS_COLORARG1}), DWORD(D3DTA_DIFFUSE));
    EXPECT_EQ(roads.at({3, D3DTSS_ALPHAOP}), DWORD(D3DTOP_SELECTARG1));
    const std::map<StageKey, DWORD>& walks = stages[6];
    EXPECT_EQ(walks.at({1, D3DTSS_COLOROP}), DWORD(D3DTOP_BLENDTEXTUREALPHA));
    EXPECT_EQ(walks.at({1, D3DTSS_TEXCOORDINDEX}), 1u);
    // Everything back to the plain single stage.
    EXPECT_EQ(end.at({0, D3DTSS_COLOROP}), DWORD(D3DTOP_MODULATE));
    EXPECT_EQ(end.at({0, D3DTSS_RESULTARG}), DWORD(D3DTA_CURRENT));
    for (DWORD s = 1; s <= 3; ++s)
        EXPECT_EQ(end.at({s, D3DTSS_COLOROP}), DWORD(D3DTOP_DISABLE)) << s;
    EXPECT_EQ(end.at({0, D3DTSS_TEXCOORDINDEX}), 0u);
    EXPECT_EQ(end.at({1, D3DTSS_TEXCOORDINDEX}), 0u);
    DWORD zwrite = 1;
    ASSERT_TRUE(Log().LastRenderState(D3DRS_ZWRITEENABLE, &zwrite));
    EXPECT_EQ(zwrite, 0u) << "roads and sidewalks lie on the ground without writing depth";
}

// The sector holding the basin draws its ground in 1-cell quads; the three
// flat ones need no more than 3-cell quads, in the main pass and in the
// shadow map alike.
TEST_F(LandscapeDraw, FlatSectorsDrawTheCoarsestGround)
{
    const float centre[3] = {0.0f, 16.0f, 0.0f};
    std::copy(centre, centre + 3, g_Game.m_vShadowCenter);
    for (void (*pass)() : {+[] { g_Landscape.Render(); }, +[] { g_Landscape.RenderShadowCasters(); }}) {
        Log().Clear();
        pass();
        std::vector<plat::D3DCall> ground;
        for (const plat::D3DCall& c : Log().Of(plat::D3DOp::DrawIndexedPrimitive))
            if (c.d == 21u * 21u)
                ground.push_back(c);
        ASSERT_EQ(ground.size(), 4u);
        for (const plat::D3DCall& c : ground)
            EXPECT_EQ(c.f, c.b == 0 ? 2u * 10u * 10u : 2u * 4u * 4u) << "sector at vertex " << c.b;
    }
}

TEST_F(LandscapeDraw, WaterDrawsTheBasinAndSkipsWhatIsMissing)
{
    g_nWater = 1;
    g_Landscape.RenderWater();
    const std::vector<plat::D3DCall> fixed = Log().Of(plat::D3DOp::DrawIndexedPrimitive);
    // The basin's cells, plus the water planes of the fillers in view.
    ASSERT_GE(fixed.size(), 1u);
    EXPECT_EQ(fixed[0].d, 21u * 21u);
    EXPECT_EQ(fixed[0].f, 2u * 5u * 5u) << "the cells with a corner at or under the water level";
    EXPECT_EQ(Log().Count(plat::D3DOp::EffectBegin), 0u);

    // The shader water without an effect falls back to the fixed look.
    Log().Clear();
    g_nWater = 2;
    ASSERT_EQ(g_D3DRender.m_pEffect, nullptr);
    g_Landscape.RenderWater();
    EXPECT_EQ(Log().Count(plat::D3DOp::DrawIndexedPrimitive), fixed.size());

    // No shadow target: no projected shadow.
    Log().Clear();
    g_nShadows = 1;
    g_Landscape.RenderTerrainShadow();
    EXPECT_EQ(Log().Count(plat::D3DOp::DrawIndexedPrimitive), 0u);
}

} // namespace
