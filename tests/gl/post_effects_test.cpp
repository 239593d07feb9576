// The renderer's post effects and the scene lights drawn through OpenGL:
// the glow adds light around bright parts where they are, the motion blur
// fades out by itself, and the sky's lights light a quad by day and night.
#include "GlFixture.h"

#include "platform/D3D9Gl.h"

#include "graphics/render_fixture.h"
#include "graphics/SceneLights.h"
#include "roadusers/Human.h"
#include "roadusers/HumanManager.h"
#include "roadusers/Vehicle.h"
#include "roadusers/VehicleManager.h"
#include "shell/FileManager.h"
#include "shell/Game.h"
#include "shell/Settings.h"
#include "shell/GameTimer.h"
#include "shell/GameSteps.h"
#include "world/Sky.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>

namespace gltest {
namespace {

constexpr int kFrameWidth = 256;
constexpr int kFrameHeight = 192;

class PostEffectsTest : public test::RenderTest {
protected:
    void SetUp() override
    {
        test::RenderTest::SetUp();
        plat::UseGlDevice(true);
        g_bEditorMode = 1; // the frame at the size asked for
        ASSERT_EQ(Start(TRUE, kFrameWidth, kFrameHeight), 0);
        ASSERT_NE(g_D3DRender.m_pEffect, nullptr);
        m_sky = g_Sky;
    }
    void TearDown() override
    {
        g_Sky = m_sky;
        g_SceneLights.Release();
        test::RenderTest::TearDown();
        plat::UseGlDevice(false);
        g_bEditorMode = 0;
    }

    plat::Pixels Read()
    {
        plat::Pixels pixels;
        EXPECT_TRUE(plat::ReadRenderTarget(Device(), nullptr, &pixels));
        return pixels;
    }
    // A white block over the given rows and columns on black.
    void PaintBlock(int x0, int x1, int y0, int y1)
    {
        Device()->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        const D3DRECT block{x0, y0, x1, y1};
        Device()->Clear(1, &block, D3DCLEAR_TARGET, 0xFFFFFFFF, 1.0f, 0);
    }

    CSky m_sky;
};

// The bright block in the top rows spreads a little light below its edge;
// the rows mirrored at the bottom stay dark, so the copy is read upright.
TEST_F(PostEffectsTest, GlowAddsLightAroundBrightPartsWhereTheyAre)
{
    PaintBlock(0, kFrameWidth, 0, kFrameHeight / 4);
    Device()->BeginScene();
    g_D3DRender.RenderGlow();
    Device()->EndScene();
    const plat::Pixels frame = Read();
    const int x = kFrameWidth / 2;
    EXPECT_EQ(Red(frame.At(x, 4)), 255);
    EXPECT_GT(Red(frame.At(x, kFrameHeight / 4)), 20) << "glow just below the block";
    EXPECT_EQ(Red(frame.At(x, kFrameHeight - kFrameHeight / 4 - 1)), 0) << "nothing where a flipped copy would be";
    EXPECT_EQ(Red(frame.At(x, kFrameHeight / 2)), 0);
}

// A blurred frame darkens the white side of an edge away from the centre;
// once the amount has run out the frame is left as it is.
TEST_F(PostEffectsTest, MotionBlurSmearsTowardsTheCentreAndFadesByItself)
{
    const int edge = kFrameWidth / 4;
    g_D3DRender.m_fMotionBlur = 4.0f; // a strong blur, so the small frame shows it
    g_GameTimer.m_fRealDelta = 2.0f;
    for (int frame = 0; frame < 2; ++frame) {
        PaintBlock(0, edge, 0, kFrameHeight);
        Device()->BeginScene();
        g_D3DRender.RenderMotionBlur();
        Device()->EndScene();
        EXPECT_LT(Red(Read().At(edge - 2, kFrameHeight / 8)), 200) << frame;
    }
    EXPECT_EQ(g_D3DRender.m_fMotionBlur, 0.0f);
    PaintBlock(0, edge, 0, kFrameHeight);
    Device()->BeginScene();
    g_D3DRender.RenderMotionBlur();
    Device()->EndScene();
    EXPECT_EQ(Red(Read().At(edge - 2, kFrameHeight / 8)), 255);
}

// A grey quad facing up, lit by the scene lights from the sky's noon and
// midnight values through the fixed-function lights.
TEST_F(PostEffectsTest, QuadIsLitByTheSunAtNoonAndTheMoonAtNight)
{
    struct Vertex {
        float x, y, z, nx, ny, nz;
    };
    const Vertex quad[4] = {{-1, 0, 1, 0, 1, 0}, {1, 0, 1, 0, 1, 0}, {-1, 0, -1, 0, 1, 0}, {1, 0, -1, 0, 1, 0}};
    D3DXMATRIX view, proj;
    const D3DXVECTOR3 eye(0, 5, -0.01f), at(0, 0, 0), up(0, 1, 0);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&proj, D3DX_PI / 3, 4.0f / 3.0f, 1.0f, 100.0f);
    const struct {
        float daylight, moonlight;
        int red, blue; // ambient 0.5 x fog colour, plus 0.5 x the light x its angle
    } cases[] = {{1.0f, 0.0f, 44 + 90, 58 + 90}, {0.0f, 1.0f, 44 + 44, 58 + 58}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.daylight);
        g_Sky = m_sky;
        // Noon's sun and fog colour, the moon straight overhead.
        g_Sky.m_vSunDir = D3DXVECTOR3(0.0f, -0.707f, 0.707f);
        const float fog[4] = {90.0f / 260.0f, 90.0f / 260.0f, 120.0f / 260.0f, 1.0f};
        std::copy(fog, fog + 4, g_Sky.m_FogColour);
        std::fill(g_Sky.m_Colour, g_Sky.m_Colour + 4, 1.0f);
        g_Sky.m_fDaylight = c.daylight;
        g_Sky.m_fMoonlight = c.moonlight;
        g_Sky.m_vMoonDir = D3DXVECTOR3(0.0f, -1.0f, 0.0f);
        g_SceneLights.Init();
        g_GameTimer.m_fGameTime = 1000.0f;
        g_SceneLights.Update();

        Device()->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        Device()->BeginScene();
        Device()->SetTransform(D3DTS_VIEW, &view);
        Device()->SetTransform(D3DTS_PROJECTION, &proj);
        D3DMATERIAL9 grey{};
        grey.Diffuse = grey.Ambient = {0.5f, 0.5f, 0.5f, 1.0f};
        g_D3DRender.SetMaterial(&grey);
        g_D3DRender.SetLighting(1);
        g_D3DRender.SetFogEnable(0);
        g_D3DRender.SetCullMode(D3DCULL_NONE);
        g_D3DRender.SetTexture(INVALID_TEXTURE_ID, 0);
        Device()->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL);
        Device()->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(Vertex));
        Device()->EndScene();
        const std::uint32_t p = Read().At(kFrameWidth / 2, kFrameHeight / 2);
        EXPECT_NEAR(Red(p), c.red, 4);
        EXPECT_NEAR(Blue(p), c.blue, 4);
        g_SceneLights.Release();
    }
}

// The whole world frame (no world loaded yet) through OpenGL: every pass
// finds its targets, and the frame ends on the main camera, target and
// viewport with the water reflection drawn into.
TEST_F(PostEffectsTest, WorldFrameRunsEveryPassAndEndsOnTheFrame)
{
    ASSERT_EQ(g_Game.Init(), 1);
    g_D3DRender.m_fMotionBlur = 0.5f;
    // The cube map's faces take turns for the whole run, whatever drew before.
    const int firstFace = g_Game.m_nCubeFace;
    IDirect3DSurface9* frame = nullptr;
    Device()->GetRenderTarget(0, &frame);
    for (int i = 0; i < 2; ++i) {
        Device()->BeginScene();
        g_Game.RenderWorld();
        Device()->EndScene();
        EXPECT_EQ(g_D3DRender.PresentFrame(), 0);
    }
    IDirect3DSurface9* now = nullptr;
    Device()->GetRenderTarget(0, &now);
    EXPECT_EQ(now, frame);
    D3DVIEWPORT9 vp{};
    Device()->GetViewport(&vp);
    EXPECT_EQ(vp.Width, UINT(kFrameWidth));
    EXPECT_EQ(g_Game.m_pCamera, &g_Game.m_Cameras[0]);
    EXPECT_EQ(g_Game.m_nCubeFace, (firstFace + 2) % 6) << "one face a frame";
    now->Release();
    frame->Release();
    g_Game.Release();
}

// A caster of a single texel of the shadow map, drawn where the pass draws
// its field objects' casters.
D3DRECT s_casterTexel{};

void DrawCasterTexel(const char* step)
{
    if (std::strcmp(step, "g_FieldObjects.RenderShadowCasters()") == 0)
        g_D3DRender.m_pDevice->Clear(1, &s_casterTexel, D3DCLEAR_TARGET, 0xFFFFFFFF, 1.0f, 0);
}

// The largest shadow map is smoothed into maps of half its side: a caster a
// single texel wide, wherever it falls on the map's texel grid, still darkens
// the smoothed map at its place, and the map stays clear away from it.
TEST_F(PostEffectsTest, ShadowSmoothingKeepsSingleTexelCastersOfTheLargestMap)
{
    g_D3DRender.FreeD3DRender();
    g_nShadows = 3;
    g_nDetails = 1;
    ASSERT_EQ(Start(TRUE, kFrameWidth, kFrameHeight), 0);
    ASSERT_NE(g_D3DRender.m_pShadowTarget, nullptr);
    ASSERT_NE(g_D3DRender.m_pShadowTexture, nullptr);
    ASSERT_EQ(g_Game.Init(), 1); // no world: the pass draws no caster of its own
    g_Sky.m_fShadowFactor = 1.0f;
    IDirect3DSurface9* smoothed = nullptr;
    ASSERT_EQ(g_D3DRender.m_pShadowTexture->GetSurfaceLevel(0, &smoothed), D3D_OK);
    g_pGameStepObserver = DrawCasterTexel;
    // Each corner of a square of four texels of the map.
    const struct {
        LONG x, y;
    } dots[] = {{600, 400}, {601, 400}, {600, 401}, {601, 401}};
    for (const auto& dot : dots) {
        SCOPED_TRACE(dot.x * 10000 + dot.y);
        s_casterTexel = D3DRECT{dot.x, dot.y, dot.x + 1, dot.y + 1};
        Device()->BeginScene();
        g_Game.RenderShadowPass();
        Device()->EndScene();
        plat::Pixels pixels;
        ASSERT_TRUE(plat::ReadRenderTarget(Device(), smoothed, &pixels));
        ASSERT_EQ(pixels.width, 512u);
        int darkest = 0;
        for (UINT y = UINT(dot.y / 2 - 2); y <= UINT(dot.y / 2 + 2); ++y)
            for (UINT x = UINT(dot.x / 2 - 2); x <= UINT(dot.x / 2 + 2); ++x)
                darkest = std::max(darkest, Red(pixels.At(x, y)));
        EXPECT_GT(darkest, 0) << "the caster reaches the smoothed map";
        EXPECT_EQ(Red(pixels.At(UINT(dot.x / 2 - 40), UINT(dot.y / 2))), 0);
    }
    g_pGameStepObserver = nullptr;
    smoothed->Release();
    g_Game.Release();
}

// The sample city's game started, and every program compiled from then on
// a failure.
class WarmGameTest : public PostEffectsTest {
protected:
    // The sample city's folder stays the current one until the game ends:
    // what comes in play loads from it.
    void StartGame()
    {
        m_previous = std::filesystem::current_path();
        std::filesystem::current_path(std::string(MORVAINE_BUILD_DIR) + "/run");
        g_bFileManager = 0;
        g_FileManager.Init();
        ASSERT_EQ(g_Game.Init(), 1);
        g_Game.NewGame();
        m_warm = plat::ProgramCacheSize(Device());
        EXPECT_GT(m_warm, 0u);
        s_compiles = 0;
        s_frame = 0;
        plat::SetShaderCompileListener([](const char* what, double) {
            ++s_compiles;
            ADD_FAILURE() << "compiled during play: " << what << " frame " << s_frame;
        });
    }
    void EndGame()
    {
        EXPECT_EQ(s_compiles, 0) << m_warm << " programs made while loading";
        plat::SetShaderCompileListener(nullptr);
        g_Game.Reset();
        g_Game.Release();
        g_bFileManager = 1;
    }
    void TearDown() override
    {
        if (!m_previous.empty())
            std::filesystem::current_path(m_previous);
        PostEffectsTest::TearDown();
    }
    void DrawWorldFrame()
    {
        Device()->BeginScene();
        g_Game.RenderWorld();
        Device()->EndScene();
        EXPECT_EQ(g_D3DRender.PresentFrame(), 0);
    }

    size_t m_warm = 0;
    std::filesystem::path m_previous;
    static inline int s_compiles = 0;
    static inline int s_frame = 0;
};

// The programs a world frame needs are made while the game loads: after the
// warm-up, frames of every pass by day, at night with the lamps and the
// headlight on, and back by day compile nothing.
TEST_F(WarmGameTest, AfterTheWarmUpAWorldFrameCompilesNoProgram)
{
    StartGame();
    const D3DXVECTOR3 lamp(0.0f, 5.0f, 0.0f);
    const float white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    for (int frame = 0; frame < 3; ++frame) {
        s_frame = frame;
        const bool night = frame == 1;
        g_Sky.m_fDaylight = night ? 0.0f : 1.0f;
        g_Sky.m_fMoonlight = night ? 1.0f : 0.0f;
        if (night)
            for (int i = 0; i < MAX_POINT_LIGHTS; ++i)
                g_SceneLights.AddPointLight(&lamp, white, 50.0f, 1);
        g_SceneLights.Update();
        DrawWorldFrame();
    }
    EndGame();
}

// No traffic car or pedestrian is out when the game starts: the first ones
// to come, fading in and then solid, by day and at night, compile nothing.
TEST_F(WarmGameTest, TheFirstTrafficCarAndPedestrianCompileNoProgram)
{
    g_bEditorMode = 0; // pedestrians are out of the editor's city
    StartGame();
    CVehicle* car = g_VehicleManager.CreateVehicle(g_VehicleModelPaths[0]);
    ASSERT_NE(car, nullptr);
    ASSERT_NE(car->m_pBodyVB, nullptr) << "the traffic car has no body to draw";
    CHuman* human = g_HumanManager.CreateHuman(g_HumanModelPaths[1], nullptr, nullptr, 1);
    ASSERT_NE(human, nullptr);
    ASSERT_NE(human->m_pMesh, nullptr) << "the pedestrian has no figure to draw";
    CStaticObject* const comers[] = {car, human};
    for (int frame = 0; frame < 4; ++frame) {
        s_frame = frame;
        const bool night = frame >= 2;
        g_Sky.m_fDaylight = night ? 0.0f : 1.0f;
        g_Sky.m_fMoonlight = night ? 1.0f : 0.0f;
        g_SceneLights.Update();
        for (CStaticObject* comer : comers) {
            comer->m_bVisible = 1;
            comer->m_fCameraDistance = 8.0f;
        }
        car->m_Material.Diffuse.a = frame % 2 ? 1.0f : 0.4f;
        human->m_Material.Diffuse.a = frame % 2 ? 1.0f : 0.4f;
        DrawWorldFrame();
    }
    EndGame();
}

} // namespace
} // namespace gltest
