// The effects' draws on the recording device: one draw per kind with the
// quads of the last update, drawn again unchanged while the game is paused.
#include "EffectFixture.h"

#include "graphics/render_fixture.h"
#include "objects/BloodEffect.h"
#include "objects/ParticleEffects.h"
#include "objects/WaterCircles.h"
#include "writers/EffectTexturesWriter.h"

#include <vector>

namespace {

class EffectRenderTest : public test::StartedRenderTest {
protected:
    void SetUp() override
    {
        StartedRenderTest::SetUp();
        ASSERT_TRUE(tools::WriteEffectTextures(m_dir.Path().string()));
        m_world = std::make_unique<test::EffectWorld>();
        ASSERT_EQ(g_BloodEffect.Init(), 1);
        ASSERT_EQ(g_WaterCircles.Init(), 1);
        ASSERT_EQ(g_ParticleEffects.Init(), 1);
    }

    void TearDown() override
    {
        g_BloodEffect.Release();
        g_WaterCircles.Release();
        g_ParticleEffects.Release();
        m_world.reset();
        StartedRenderTest::TearDown();
    }

    // One of each kind in front of the camera, moved by one update.
    void SpawnOneOfEach()
    {
        const D3DXVECTOR3 air(0.0f, 1.0f, 2.0f), ground(1.0f, 0.0f, 2.0f), still(0.0f, 0.0f, 0.0f);
        g_BloodEffect.Spawn(&air, &still, {0.5f, 0, 0, 1});
        g_BloodEffect.Spawn(&ground, &still, {0.5f, 0, 0, 1})->m_bLanded = 1;
        std::uint32_t ticket = 0;
        CSkidTrail* trail = g_WaterCircles.AllocSkidTrail(&ticket);
        D3DXVECTOR3 a(-1.0f, 0.0f, 1.0f), b(-1.0f, 0.0f, 3.0f);
        trail->AddPoint(&a, 1.0f, ticket);
        trail->AddPoint(&b, 1.0f, ticket);
        g_WaterCircles.SpawnRing(&ground);
        const D3DXCOLOR4 grey{0.5f, 0.5f, 0.5f, 0.5f};
        g_ParticleEffects.AddSpark(&air, &still, 0.3f, 1, 1, 0, 1, nullptr);
        g_ParticleEffects.AddDust(&air, &still, 0.5f, 2.0f, 0.0f, &grey);
        g_ParticleEffects.AddFlame(&air, &still, 0.5f, 2.0f, 0.0f, &grey, 0, nullptr);
        g_BloodEffect.Update();
        g_WaterCircles.Update();
        g_ParticleEffects.Update();
    }

    void RenderAll()
    {
        g_BloodEffect.Render();
        g_WaterCircles.RenderSkidTrails();
        g_WaterCircles.RenderRings();
        g_ParticleEffects.Render();
    }

    // (kind, vertices or primitives) of every draw since the log was cleared.
    std::vector<std::pair<int, DWORD>> Draws()
    {
        std::vector<std::pair<int, DWORD>> draws;
        for (const plat::D3DCall& c : Calls().Calls()) {
            if (c.op == plat::D3DOp::DrawIndexedPrimitive)
                draws.push_back({0, c.d});
            else if (c.op == plat::D3DOp::DrawPrimitiveUP)
                draws.push_back({1, c.c});
        }
        return draws;
    }

    std::unique_ptr<test::EffectWorld> m_world;
};

TEST_F(EffectRenderTest, EachKindDrawsAndAPausedFrameDrawsTheSameAgain)
{
    SpawnOneOfEach();
    Calls().Clear();
    RenderAll();
    const std::vector<std::pair<int, DWORD>> expected = {
        {0, 4}, {0, 4}, // flying drop, splat
        {1, 2}, {1, 2}, // trail of two points, ring
        {0, 4}, {0, 4}, {0, 4}, // spark, dust, flame
    };
    EXPECT_EQ(Draws(), expected);
    Calls().Clear();
    RenderAll(); // paused: no update in between
    EXPECT_EQ(Draws(), expected);
    DWORD blend = 0;
    ASSERT_TRUE(Calls().LastRenderState(D3DRS_DESTBLEND, &blend));
    EXPECT_EQ(blend, static_cast<DWORD>(D3DBLEND_INVSRCALPHA)) << "flames blend last";
}

TEST_F(EffectRenderTest, WithoutVertexShadersOnlyGroundAndWaterDraw)
{
    g_D3DRender.m_bShader11 = 0;
    SpawnOneOfEach();
    Calls().Clear();
    RenderAll();
    const std::vector<std::pair<int, DWORD>> expected = {{0, 4}, {1, 2}, {1, 2}};
    EXPECT_EQ(Draws(), expected);
}

// A released pool draws nothing, and a second release is harmless.
TEST_F(EffectRenderTest, ReleasedPoolsDrawNothing)
{
    SpawnOneOfEach();
    g_BloodEffect.Release();
    g_WaterCircles.Release();
    g_ParticleEffects.Release();
    Calls().Clear();
    RenderAll();
    EXPECT_TRUE(Draws().empty());
}

} // namespace
