// The sky drawn through the drawing device from the sample sky files at
// noon, at dusk and at night, against references made on this renderer.
#include "GlFixture.h"

#include "graphics/D3DRender.h"
#include "graphics/MeshContainer.h"
#include "graphics/SceneLights.h"
#include "graphics/WorldCamera.h"
#include "shell/FileManager.h"
#include "shell/Game.h"
#include "shell/GameTimer.h"
#include "shell/Settings.h"
#include "support/TempDir.h"
#include "world/Sky.h"
#include "writers/RenderDataWriter.h"
#include "writers/SkyDataWriter.h"

#include <cstdlib>

namespace gltest {
namespace {

class SkyPixelsTest : public GlDeviceTest {
protected:
    void SetUp() override
    {
        GlDeviceTest::SetUp();
        ASSERT_TRUE(tools::WriteSkyData(m_dir.Path().string()));
        g_bFileManager = 0;
        g_bBmpToJpg = 1;
        g_bGlow = 0;
        g_FileManager.Init();
        g_D3DRender.SetDefaults();
        g_D3DRender.m_pDevice = device;
        CD3DRender& r = g_D3DRender;
        r.m_nZWriteEnable = r.m_nZEnable = r.m_nLighting = r.m_nSrcBlend = r.m_nDestBlend = RENDER_STATE_UNSET;
        r.m_nAlphaBlendEnable = r.m_nFogEnable = r.m_nCullMode = RENDER_STATE_UNSET;
        r.SetCullMode(D3DCULL_CW);
        m_savedSky = g_Sky;
        m_savedCamera = g_Game.m_pCamera;
        m_camera.SetProjection(D3DX_PI / 2.0f, float(kWidth) / float(kHeight), 0.5f, 600.0f);
        g_Game.m_pCamera = &m_camera;
        g_SceneLights.Init();
        // Earlier tests that started the game without sky files left the
        // failed sky meshes in the container, which refuses them from then on.
        g_MeshContainer.Release();
        std::srand(5);
        ASSERT_EQ(g_Sky.Init(), 1);
    }

    void TearDown() override
    {
        g_Sky.Release();
        g_Sky = m_savedSky;
        g_SceneLights.Release();
        g_Game.m_pCamera = m_savedCamera;
        g_D3DRender.m_TextureManager.ReleaseAllTextures();
        g_D3DRender.SetDefaults();
        GlDeviceTest::TearDown();
    }

    test::ScopedTempDir m_dir;
    CWorldCamera m_camera{};
    CWorldCamera* m_savedCamera = nullptr;
    CSky m_savedSky;
};

TEST_F(SkyPixelsTest, NoonDuskAndNightMatchTheirReferences)
{
    const struct {
        const char* name;
        double hour;
        D3DXVECTOR3 look; // from the eye: towards the sun, the sunset, the moon
    } cases[] = {
        {"sky_noon", 1000000.0, {0.0f, 0.47f, -1.0f}},
        {"sky_dusk", 1540000.0, {-1.0f, 0.15f, -0.3f}},
        {"sky_night", 0.0, {0.0f, 0.6f, 1.0f}},
    };
    double clock = 100000.0; // turns the clouds; each case moves the lights on
    for (const auto& c : cases) {
        const D3DXVECTOR3 eye(0.0f, 2.0f, 0.0f), target = eye + c.look, up(0.0f, 1.0f, 0.0f);
        m_camera.SetView(&eye, &target, &up);
        g_Sky.SetTimeOfDay(c.hour);
        clock += 100000.0;
        g_GameTimer.m_fGameTime = clock;
        g_SceneLights.Update();
        std::srand(9); // the same twinkle each run
        g_Sky.Render();
        EXPECT_TRUE(MatchesReference(c.name, Frame(), 4, 40)) << c.name;
    }
}

} // namespace
} // namespace gltest
