// The field objects' passes on the recording device: which records draw,
// with which index buffer and count, and the states left behind.
#include "world/field_fixture.h"

#include "shell/RenderPasses.h"
#include "writers/RenderDataWriter.h"

#include <iterator>

namespace {

using plat::D3DCall;
using plat::D3DOp;
using test::FieldObjectTest;

class FieldRenderTest : public FieldObjectTest {
protected:
    void SetUp() override
    {
        FieldObjectTest::SetUp();
        g_D3DRender.SetDefaultStates();
        const std::string text = tools::TechniqueFileText(tools::ShaderLevel::Vs11);
        ASSERT_EQ(D3DXCreateEffect(m_device, text.data(), UINT(text.size()), nullptr, nullptr, 0, nullptr,
                                   &g_D3DRender.m_pEffect, nullptr),
                  D3D_OK);
        // A fresh effect has no technique set yet: forget the last one's name,
        // as the game does when it compiles its techniques.
        g_D3DRender.m_pszTechnique = nullptr;
        g_D3DRender.m_bShader11 = 1;
    }
    void TearDown() override
    {
        if (g_D3DRender.m_pEffect)
            g_D3DRender.m_pEffect->Release();
        g_D3DRender.m_pEffect = nullptr;
        g_D3DRender.m_pszTechnique = nullptr;
        g_D3DRender.m_bShader11 = 0;
        FieldObjectTest::TearDown();
    }
    plat::DeviceLog& Calls() { return plat::RecordedCalls(m_device); }
    std::vector<D3DCall> Draws() { return Calls().Of(D3DOp::DrawIndexedPrimitive); }
    std::vector<D3DCall> Indices() { return Calls().Of(D3DOp::SetIndices); }
};

TEST_F(FieldRenderTest, QuadIndexBuffersHoldAllOddAndEveryOtherOddQuad)
{
    const struct {
        int buffer;
        std::uint16_t firstQuadStart, secondQuadStart;
    } cases[] = {{0, 0, 4}, {1, 4, 12}, {2, 4, 20}};
    for (const auto& k : cases) {
        IDirect3DIndexBuffer9* b = g_FieldObjects.m_pQuadIndices[k.buffer];
        ASSERT_NE(b, nullptr);
        void* data = nullptr;
        ASSERT_EQ(b->Lock(0, 0, &data, D3DLOCK_READONLY), D3D_OK);
        const auto* i = static_cast<const std::uint16_t*>(data);
        const std::uint16_t s = k.firstQuadStart;
        const std::uint16_t quad[6] = {s, std::uint16_t(s + 1), std::uint16_t(s + 2), std::uint16_t(s + 2),
                                       std::uint16_t(s + 1), std::uint16_t(s + 3)};
        for (int n = 0; n < 6; ++n)
            EXPECT_EQ(i[n], quad[n]) << "buffer " << k.buffer;
        EXPECT_EQ(i[6], k.secondQuadStart) << "buffer " << k.buffer;
        b->Unlock();
    }
}

TEST_F(FieldRenderTest, GrassDrawsNearVisibleSectorsAlphaTestedThroughItsTechnique)
{
    CLandscapeSector near, far, hidden;
    Place(&near, 69.9f);
    Place(&far, 70.0f);
    Place(&hidden, 10.0f);
    hidden.m_bVisible = 0;
    for (CLandscapeSector* s : {&near, &far, &hidden}) {
        Build(FIELD_GRASS, s, 6);
        g_FieldObjects.SetSectorActive(true, s);
    }
    Calls().Clear();
    g_FieldObjects.RenderGrass();
    const auto draws = Draws();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].d, 24u);
    EXPECT_EQ(draws[0].f, 12u);
    EXPECT_EQ(g_FieldObjects.m_nGrassFields[2], 1);
    EXPECT_EQ(Indices().back().object, g_FieldObjects.m_pQuadIndices[0]);
    bool fade = false, technique = false;
    for (const D3DCall& c : Calls().Calls()) {
        fade |= c.op == D3DOp::EffectSetParameter && c.name == "AlphaFactor";
        technique |= c.op == D3DOp::EffectSetTechnique && c.name == "techDirectVertex";
    }
    EXPECT_TRUE(fade && technique);
    DWORD alphaTest = 1;
    ASSERT_TRUE(Calls().LastRenderState(D3DRS_ALPHATESTENABLE, &alphaTest));
    EXPECT_EQ(alphaTest, 0u) << "alpha test off after the pass";

    for (int* pass : {&g_WaterPassActive, &g_CubePassActive}) {
        *pass = 1;
        Calls().Clear();
        g_FieldObjects.RenderGrass();
        EXPECT_TRUE(Draws().empty());
        *pass = 0;
    }
}

TEST_F(FieldRenderTest, BranchLevelOfDetailByDistanceAndPass)
{
    CLandscapeSector s;
    Build(FIELD_TREES, &s, 2);
    g_FieldObjects.SetSectorActive(true, &s);
    const UINT all = g_FieldObjects.m_pTrees[0][0]->nBranchVertices / 2;
    ASSERT_GT(all, 0u);
    const struct {
        float distance;
        int* pass;
        int buffer;
        UINT triangles;
        int counted;
    } cases[] = {
        {126.0f, nullptr, 0, all, 1},
        {127.0f, nullptr, 1, all / 2, 1},
        {211.0f, nullptr, 2, all / 4, 1},
        {50.0f, &g_WaterPassActive, 2, all / 4, 0},
        {420.0f, nullptr, -1, 0, 0},
    };
    for (const auto& k : cases) {
        Place(&s, k.distance);
        if (k.pass)
            *k.pass = 1;
        Calls().Clear();
        g_FieldObjects.RenderTreeBranches();
        if (k.pass)
            *k.pass = 0;
        const auto draws = Draws();
        if (k.buffer < 0) {
            EXPECT_TRUE(draws.empty()) << k.distance;
            continue;
        }
        ASSERT_EQ(draws.size(), 1u) << k.distance;
        EXPECT_EQ(draws[0].f, k.triangles) << k.distance;
        EXPECT_EQ(Indices().back().object, g_FieldObjects.m_pQuadIndices[k.buffer]) << k.distance;
        if (!k.pass) {
            EXPECT_EQ(g_FieldObjects.m_nTreeFields[2], k.counted) << k.distance;
        }
    }
    // The cube pass takes near sectors whether or not the main camera sees them.
    s.m_bVisible = 0;
    s.m_fDistance = 80.0f;
    g_CubePassActive = 1;
    Calls().Clear();
    g_FieldObjects.RenderTreeBranches();
    g_CubePassActive = 0;
    EXPECT_EQ(Draws().size(), 1u);
}

TEST_F(FieldRenderTest, ShadowCastersTakeNearSectorsAndRestoreTheStage)
{
    CLandscapeSector near, far;
    Place(&near, 39.0f);
    Place(&far, 40.0f);
    for (CLandscapeSector* s : {&near, &far}) {
        Build(FIELD_TREES, s, 1);
        g_FieldObjects.SetSectorActive(true, s);
    }
    Calls().Clear();
    g_FieldObjects.RenderShadowCasters();
    ASSERT_EQ(Draws().size(), 1u);
    DWORD op = 0;
    m_device->GetTextureStageState(0, D3DTSS_ALPHAOP, &op);
    EXPECT_EQ(op, DWORD(D3DTOP_MODULATE));
    DWORD cull = 0;
    ASSERT_TRUE(Calls().LastRenderState(D3DRS_CULLMODE, &cull));
    EXPECT_NE(cull, DWORD(D3DCULL_NONE));
}

TEST_F(FieldRenderTest, TreesAndStonesDrawWithinTheirDistances)
{
    CLandscapeSector s;
    Place(&s, 10.0f);
    Build(FIELD_TREES, &s, 1);
    Build(FIELD_STONES, &s, 1);
    g_FieldObjects.SetSectorActive(true, &s);
    CTreeObject* tree = g_FieldObjects.m_pTrees[0][0]->ppTrees[0];
    CStoneObject* stone = g_FieldObjects.m_pStones[0][0]->ppStones[0];
    const struct {
        float treeDistance, stoneDistance;
        size_t draws;
    } cases[] = {{168.0f, 120.0f, 2}, {168.5f, 120.5f, 0}};
    for (const auto& k : cases) {
        tree->m_bVisible = stone->m_bVisible = 1;
        tree->m_fCameraDistance = k.treeDistance;
        stone->m_fCameraDistance = k.stoneDistance;
        Calls().Clear();
        g_FieldObjects.RenderTrees();
        g_FieldObjects.RenderStones();
        EXPECT_EQ(Draws().size(), k.draws) << k.treeDistance;
    }
}

// The device holds a sector's grass only while it is near: the pass makes the
// buffer from the kept tufts when it first draws it, and the update lets it
// go once the sector is twice the grass distance away.
TEST_F(FieldRenderTest, GrassBufferLivesOnlyWhileTheSectorIsNear)
{
    CLandscapeSector s;
    Place(&s, 300.0f);
    Build(FIELD_GRASS, &s, 6);
    g_FieldObjects.SetSectorActive(true, &s);
    GrassRecord* record = g_FieldObjects.m_pGrass[0][0];
    EXPECT_EQ(record->pVB, nullptr) << "a far sector's grass stays off the device";

    enum Step { Render, Update };
    const struct {
        Step step;
        float distance;
        int visible;
        bool buffer; // held after the step
        size_t draws;
    } cases[] = {
        {Render, 300.0f, 1, false, 0}, {Render, 10.0f, 0, false, 0}, {Render, 69.0f, 1, true, 1},
        {Update, 140.0f, 1, true, 0},  {Update, 141.0f, 1, false, 0}, {Render, 20.0f, 1, true, 1},
    };
    g_GameTimer.m_fDelta = 0.0f;
    for (const auto& k : cases) {
        Place(&s, k.distance);
        s.m_bVisible = k.visible;
        Calls().Clear();
        g_FieldObjects.m_fUpdateTimer = 0.0f;
        if (k.step == Render)
            g_FieldObjects.RenderGrass();
        else
            g_FieldObjects.Update();
        EXPECT_EQ(record->pVB != nullptr, k.buffer) << k.distance;
        EXPECT_EQ(Draws().size(), k.draws) << k.distance;
        if (!record->pVB)
            continue;
        // Made again, the buffer holds the very quads the tufts give.
        void* data = nullptr;
        ASSERT_EQ(record->pVB->Lock(0, 0, &data, D3DLOCK_READONLY), D3D_OK);
        const auto* held = static_cast<const CGrassVertex*>(data);
        for (std::uint32_t i = 0; i < record->nCount * 4; ++i) {
            CGrassVertex quad[4];
            record->pTufts[i / 4].Vertices(quad);
            const CGrassVertex& a = held[i];
            const CGrassVertex& b = quad[i % 4];
            const float af[] = {a.x, a.y, a.z, a.u, a.v, a.baseX, a.baseY, a.baseZ, a.axisX, a.axisY, a.axisZ};
            const float bf[] = {b.x, b.y, b.z, b.u, b.v, b.baseX, b.baseY, b.baseZ, b.axisX, b.axisY, b.axisZ};
            for (std::size_t f = 0; f < std::size(af); ++f)
                EXPECT_EQ(af[f], bf[f]) << "vertex " << i << " field " << f;
            EXPECT_EQ(a.color, b.color) << "vertex " << i;
        }
        record->pVB->Unlock();
    }
}

} // namespace
