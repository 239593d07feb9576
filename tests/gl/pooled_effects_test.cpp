// The pooled effects drawn through the drawing device with the game's
// technique file and sample textures: each kind changes the frame the way
// it should (blood reddens, trails darken, rings, sparks add light, dust and
// flames tint).
#include "GlFixture.h"

#include "graphics/D3DRender.h"
#include "objects/BloodEffect.h"
#include "objects/EffectWorld.h"
#include "objects/ParticleEffects.h"
#include "objects/WaterCircles.h"
#include "shell/FileManager.h"
#include "shell/Settings.h"
#include "support/TempDir.h"
#include "writers/EffectTexturesWriter.h"
#include "writers/RenderDataWriter.h"

#include <functional>
#include <memory>

namespace gltest {
namespace {

constexpr D3DCOLOR kBackground = 0xFF404040;

class PooledEffectsTest : public GlDeviceTest {
protected:
    void SetUp() override
    {
        GlDeviceTest::SetUp();
        ASSERT_TRUE(tools::WriteEffectTextures(m_dir.Path().string()));
        g_bFileManager = 0;
        g_bBmpToJpg = 1;
        g_FileManager.Init();
        g_D3DRender.SetDefaults();
        g_D3DRender.m_pDevice = device;
        const std::string text = tools::TechniqueFileText(tools::ShaderLevel::Vs11);
        ASSERT_EQ(D3DXCreateEffect(device, text.data(), UINT(text.size()), nullptr, nullptr, 0, nullptr,
                                   &g_D3DRender.m_pEffect, nullptr),
                  D3D_OK);
        g_D3DRender.m_bShader11 = 1;
        // Every cached state reaches the fresh device.
        CD3DRender& r = g_D3DRender;
        r.m_nZWriteEnable = r.m_nZEnable = r.m_nLighting = r.m_nSrcBlend = r.m_nDestBlend = RENDER_STATE_UNSET;
        r.m_nAlphaBlendEnable = r.m_nFogEnable = r.m_nCullMode = RENDER_STATE_UNSET;
        r.SetCullMode(D3DCULL_CW);
        r.SaveCullMode();
        m_world = std::make_unique<test::EffectWorld>();
        g_BloodEffect.Init();
        g_WaterCircles.Init();
        g_ParticleEffects.Init();
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBackground, 1.0f, 0);
    }

    void TearDown() override
    {
        g_BloodEffect.Release();
        g_WaterCircles.Release();
        g_ParticleEffects.Release();
        m_world.reset();
        if (g_D3DRender.m_pEffect)
            g_D3DRender.m_pEffect->Release();
        g_D3DRender.SetDefaults();
        GlDeviceTest::TearDown();
    }

    // Pixels of the frame for which the test holds.
    size_t Count(const std::function<bool(std::uint32_t)>& test)
    {
        const plat::Pixels frame = Frame();
        size_t n = 0;
        for (std::uint32_t p : frame.argb)
            n += test(p) ? 1 : 0;
        return n;
    }

    test::ScopedTempDir m_dir;
    std::unique_ptr<test::EffectWorld> m_world;
};

TEST_F(PooledEffectsTest, EachKindMarksTheFrame)
{
    const D3DXVECTOR3 air(0.0f, 0.6f, 0.0f), still(0.0f, 0.0f, 0.0f);
    const int grey = Red(kBackground);
    const D3DXVECTOR3 front(0.0f, 1.0f, -4.0f), above(0.0f, 5.0f, -3.0f);
    struct Case {
        const char* name;
        D3DXVECTOR3 eye;
        std::function<void()> make;   // spawns one and updates its pool
        std::function<void()> render;
        std::function<bool(std::uint32_t)> marked;
    } cases[] = {
        {"blood drop", front,
         [&] {
             g_BloodEffect.Spawn(&air, &still, {0.5f, 0, 0, 1})->m_fSize = 1.0f;
             g_BloodEffect.Update();
         },
         [] { g_BloodEffect.Render(); }, [&](std::uint32_t p) { return Red(p) > Green(p) + 25; }},
        {"blood splat", above,
         [&] {
             const D3DXVECTOR3 ground(0.0f, 0.0f, 0.0f);
             CBloodParticle* drop = g_BloodEffect.Spawn(&ground, &still, {0.5f, 0, 0, 1});
             drop->m_bLanded = 1;
             drop->m_fSize = 1.0f;
             drop->m_vVelocity = still;
             g_BloodEffect.Update();
         },
         [] { g_BloodEffect.Render(); }, [&](std::uint32_t p) { return Red(p) > Green(p) + 25; }},
        {"skid trail", above,
         [&] {
             std::uint32_t ticket = 0;
             CSkidTrail* trail = g_WaterCircles.AllocSkidTrail(&ticket);
             for (float z = 0.0f; z < 4.0f; z += 0.5f) {
                 D3DXVECTOR3 point(0.0f, 0.0f, z);
                 trail->AddPoint(&point, 2.0f, ticket);
             }
             g_WaterCircles.Update();
         },
         [] { g_WaterCircles.RenderSkidTrails(); },
         [&](std::uint32_t p) { return Red(p) < grey - 12 && Blue(p) < grey - 12; }},
        {"water ring", above,
         [&] {
             const D3DXVECTOR3 water(0.0f, 0.0f, 0.0f);
             g_WaterCircles.SpawnRing(&water)->m_fRadius = 3.0f;
             g_WaterCircles.Update();
         },
         [] { g_WaterCircles.RenderRings(); }, [&](std::uint32_t p) { return Blue(p) > grey + 12; }},
        {"spark", front,
         [&] {
             g_ParticleEffects.AddSpark(&air, &still, 0.6f, 1.0f, 0.8f, 0.2f, 1.0f, nullptr);
             g_ParticleEffects.Update();
         },
         [] { g_ParticleEffects.Render(); }, [&](std::uint32_t p) { return Red(p) > 200; }},
        {"dust", front,
         [&] {
             const D3DXCOLOR4 brown{0.6f, 0.45f, 0.2f, 0.9f};
             g_ParticleEffects.AddDust(&air, &still, 1.0f, 2.0f, 0.0f, &brown);
             g_ParticleEffects.Update();
         },
         [] { g_ParticleEffects.Render(); }, [&](std::uint32_t p) { return Red(p) > Blue(p) + 25; }},
        {"flame", front,
         [&] {
             const D3DXCOLOR4 fire{0.9f, 0.3f, 0.05f, 0.9f};
             g_ParticleEffects.AddFlame(&air, &still, 1.0f, 2.0f, 0.0f, &fire, 0, nullptr);
             g_ParticleEffects.Update();
         },
         [] { g_ParticleEffects.Render(); }, [&](std::uint32_t p) { return Red(p) > Green(p) + 25; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_BloodEffect.Reset();
        g_WaterCircles.Reset();
        g_ParticleEffects.Reset();
        const D3DXVECTOR3 target(0.0f, 0.3f, 0.5f), up(0.0f, 1.0f, 0.0f);
        m_world->camera.SetView(&c.eye, &target, &up);
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBackground, 1.0f, 0);
        EXPECT_EQ(Count(c.marked), 0u) << "nothing before";
        c.make();
        c.render();
        EXPECT_GT(Count(c.marked), 40u);
    }
}

} // namespace
} // namespace gltest
