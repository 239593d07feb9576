// A clothed pedestrian drawn through the drawing device: the shirt layer
// takes its tint from the stage constant.
#include "GlFixture.h"

#include "graphics/D3DRender.h"
#include "graphics/WorldCamera.h"
#include "objects/EffectWorld.h"
#include "roadusers/Human.h"
#include "roadusers/HumanManager.h"
#include "shell/FileManager.h"
#include "shell/Settings.h"
#include "support/TempDir.h"
#include "writers/FileBytes.h"
#include "writers/HumanModel.h"
#include "writers/ObjectDescriptions.h"

#include <filesystem>
#include <memory>

namespace gltest {
namespace {

class PedestrianPixelsTest : public GlDeviceTest {
protected:
    void SetUp() override
    {
        GlDeviceTest::SetUp();
        const std::string root = m_dir.Path().string();
        ASSERT_TRUE(tools::WriteObjectDescriptions(root));
        for (const auto& list : {tools::SampleObjectMeshes(), tools::SampleObjectTextures()})
            for (const tools::SampleFile& f : list) {
                std::filesystem::create_directories(std::filesystem::path(m_dir.File(f.path)).parent_path());
                ASSERT_TRUE(tools::WriteFileBytes(m_dir.File(f.path), f.bytes));
            }
        g_bFileManager = 0;
        g_FileManager.Init();
        CD3DRender& r = g_D3DRender;
        r.SetDefaults();
        r.m_pDevice = device;
        r.SetDefaultStates();
        r.m_nZWriteEnable = r.m_nZEnable = r.m_nLighting = r.m_nSrcBlend = r.m_nDestBlend = RENDER_STATE_UNSET;
        r.m_nAlphaBlendEnable = r.m_nFogEnable = r.m_nCullMode = RENDER_STATE_UNSET;
        r.SetCullMode(D3DCULL_CW);
        r.SetFogEnable(0);
        r.m_bPerStageConstant = 1;
        // An empty shadow map: nothing darkens the figure.
        r.m_pShadowTexture = MakeTexture(4, 4, std::vector<std::uint32_t>(16, 0xFF000000u));
        m_world = std::make_unique<test::EffectWorld>();
    }
    void TearDown() override
    {
        CD3DRender& r = g_D3DRender;
        r.m_pShadowTexture->Release();
        r.m_pShadowTexture = nullptr;
        r.m_bPerStageConstant = 0;
        r.m_TextureManager.ReleaseAllTextures();
        m_world.reset();
        r.SetDefaults();
        g_bFileManager = 1;
        GlDeviceTest::TearDown();
    }

    test::ScopedTempDir m_dir;
    std::unique_ptr<test::EffectWorld> m_world;
};

TEST_F(PedestrianPixelsTest, TheShirtTakesItsTint)
{
    CHuman h;
    h.Load("Data/Humans/Male/Main.obj", 0);
    ASSERT_NE(h.m_pMesh, nullptr);
    D3DXMatrixIdentity(&h.m_matWorld);
    h.m_nFrame = tools::HUMAN_FRAME_IDLE;
    h.m_bAlive = h.m_bVisible = 1;
    h.m_fCameraDistance = 3.0f;
    h.m_Material.Diffuse.a = 1.0f;
    const float tints[2][3] = {{1.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f}};
    plat::Pixels frames[2];
    for (int k = 0; k < 2; ++k) {
        h.m_Clothing[0].r = tints[k][0];
        h.m_Clothing[0].g = tints[k][1];
        h.m_Clothing[0].b = tints[k][2];
        const D3DXVECTOR3 eye(0.0f, 1.0f, -3.0f), look(0.0f, 1.0f, 0.0f), up(0, 1, 0);
        m_world->camera.SetView(&eye, &look, &up);
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        device->SetRenderState(D3DRS_AMBIENT, 0xFFFFFFFF);
        g_HumanManager.m_pHumans[0] = &h;
        g_HumanManager.m_nHumans = 1;
        g_HumanManager.Render();
        g_HumanManager.m_pHumans[0] = nullptr;
        g_HumanManager.m_nHumans = 0;
        frames[k] = Frame();
    }
    // The shirt's pixels follow the tint; the rest of the figure stays.
    size_t shirt = 0, figure = 0;
    for (size_t i = 0; i < frames[0].argb.size(); ++i) {
        const std::uint32_t red = frames[0].argb[i], blue = frames[1].argb[i];
        figure += red != 0xFF000000u;
        shirt += Red(red) > Red(blue) + 30 && Blue(blue) > Blue(red) + 30;
    }
    EXPECT_GT(figure, 150u);
    EXPECT_GT(shirt, 40u);
    EXPECT_LT(shirt, figure) << "only the shirt changes";
    h.Release();
}

} // namespace
} // namespace gltest
