// The world's render passes on the recording device, watched through the
// game's step observer: which camera, pass flag, interface scale and render
// target each manager call sees, and what is restored after each pass.
#include "render_fixture.h"

#include "shell/Game.h"
#include "shell/GameSteps.h"
#include "shell/GameTimer.h"
#include "shell/RenderPasses.h"
#include "shell/Input.h"
#include "shell/Settings.h"
#include "world/Landscape.h"
#include "world/LandscapeSector.h"
#include "world/Sky.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Step {
    std::string name;
    int camera;
    int water, cube, shadow;
    float scaleX, screenWidth;
    DWORD textureFactor;
    IDirect3DSurface9* target; // not held
    DWORD viewportWidth;
};

std::vector<Step> s_steps;
int s_draws[2];

IDirect3DSurface9* CurrentTarget()
{
    IDirect3DSurface9* target = nullptr;
    g_D3DRender.m_pDevice->GetRenderTarget(0, &target);
    if (target)
        target->Release(); // the texture keeps it alive
    return target;
}

void Record(const char* name)
{
    DWORD factor = 0;
    g_D3DRender.m_pDevice->GetRenderState(D3DRS_TEXTUREFACTOR, &factor);
    D3DVIEWPORT9 viewport{};
    g_D3DRender.m_pDevice->GetViewport(&viewport);
    s_steps.push_back({name, int(g_Game.m_pCamera - g_Game.m_Cameras), g_WaterPassActive, g_CubePassActive,
                       g_ShadowPassActive, g_D3DRender.m_fScaleX, g_D3DRender.m_fScreenWidth, factor,
                       CurrentTarget(), viewport.Width});
}

class RenderPassesTest : public test::StartedRenderTest {
protected:
    void SetUp() override
    {
        test::StartedRenderTest::SetUp();
        m_sky = g_Sky;
        ASSERT_EQ(g_Game.Init(), 1);
        g_Landscape.m_fHeight = 50.0f; // water at 4
        g_Landscape.m_nClosedWaterParts = 0;
        m_frame = CurrentTarget();
        g_pGameStepObserver = Record;
    }
    void TearDown() override
    {
        ShowWater(false);
        m_water.m_pWaterVB = nullptr;
        if (m_waterVB)
            m_waterVB->Release();
        if (m_waterIB)
            m_waterIB->Release();
        g_pGameStepObserver = nullptr;
        g_Game.Release();
        g_Sky = m_sky;
        g_Landscape.m_fHeight = 0.0f;
        g_Landscape.m_nClosedWaterParts = 0;
        test::StartedRenderTest::TearDown();
    }

    // A far water patch in view (or none), as the sea beyond a street end
    // is: the reflection is needed only then.
    void ShowWater(bool shown)
    {
        CLandscape& land = g_Landscape;
        if (shown && !m_waterVB) {
            Device()->CreateVertexBuffer(16 * 44, 0, 0, D3DPOOL_MANAGED, &m_waterVB, nullptr);
            Device()->CreateIndexBuffer(54 * 2, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &m_waterIB, nullptr);
        }
        m_water.m_bVisible = shown ? 1 : 0;
        m_water.m_pWaterVB = shown ? m_waterVB : nullptr;
        land.m_pWaterPatchIB = shown ? m_waterIB : nullptr;
        land.m_pActiveSectors[0] = shown ? &m_water : nullptr;
        land.m_nActiveSectors = shown ? 1 : 0;
    }
    void Frame()
    {
        s_steps.clear();
        g_Game.RenderWorld();
    }
    // The names of the steps that ran while a pass flag (or none) was up.
    std::vector<std::string> Names(int Step::*flag) const
    {
        std::vector<std::string> names;
        for (const Step& s : s_steps)
            if (flag ? s.*flag != 0 : (s.water | s.cube | s.shadow) == 0)
                names.push_back(s.name);
        return names;
    }
    bool Ran(const std::string& name) const
    {
        return std::any_of(s_steps.begin(), s_steps.end(), [&](const Step& s) { return s.name == name; });
    }
    static IDirect3DSurface9* Level0(IDirect3DTexture9* texture)
    {
        IDirect3DSurface9* level = nullptr;
        texture->GetSurfaceLevel(0, &level);
        level->Release();
        return level;
    }

    CSky m_sky;
    IDirect3DSurface9* m_frame = nullptr;
    CLandscapeSector m_water;
    IDirect3DVertexBuffer9* m_waterVB = nullptr;
    IDirect3DIndexBuffer9* m_waterIB = nullptr;
};

// Each pass draws with its own camera, only its own flag, the interface
// scaled to its target; everything else sees the main camera and the frame.
TEST_F(RenderPassesTest, EachPassSeesItsCameraFlagTargetAndScale)
{
    g_Landscape.m_nClosedWaterParts = 2;
    ShowWater(true);
    Frame();
    CD3DRender& r = g_D3DRender;
    const float scale = r.m_fScaleX;
    const float width = r.m_fScreenWidth;
    ASSERT_GT(s_steps.size(), 40u);
    for (const Step& s : s_steps) {
        SCOPED_TRACE(s.name);
        EXPECT_LE(s.water + s.cube + s.shadow, 1);
        if (s.water) {
            EXPECT_EQ(s.camera, 1);
            EXPECT_EQ(s.screenWidth, 512.0f);
            EXPECT_EQ(s.target, Level0(r.m_pReflectionTexture));
        } else if (s.cube) {
            EXPECT_EQ(s.camera, 2);
            EXPECT_EQ(s.screenWidth, 256.0f);
        } else if (s.shadow) {
            EXPECT_EQ(s.camera, 3);
            EXPECT_EQ(s.screenWidth, 1024.0f);
            EXPECT_EQ(s.target, Level0(r.m_pShadowTarget));
        } else {
            EXPECT_EQ(s.camera, 0);
            EXPECT_EQ(s.scaleX, scale);
            EXPECT_EQ(s.screenWidth, width);
            EXPECT_EQ(s.target, m_frame);
        }
        if (s.water || s.cube || s.shadow) {
            EXPECT_EQ(s.scaleX, 1.0f);
            EXPECT_EQ(float(s.viewportWidth), s.screenWidth) << "the viewport covers the target, unscaled";
        }
    }
    EXPECT_EQ(g_Game.m_pCamera, &g_Game.m_Cameras[0]);
    EXPECT_EQ(CurrentTarget(), m_frame);
    EXPECT_EQ(r.m_pSavedRenderTarget, nullptr);
    EXPECT_EQ(r.m_pSavedDepthStencil, nullptr);
    D3DVIEWPORT9 vp{};
    Device()->GetViewport(&vp);
    EXPECT_GE(vp.Width, UINT(width));
}

TEST_F(RenderPassesTest, MainPassCallsTheManagersInOrder)
{
    Frame();
    const std::vector<std::string> expected = {
        "RenderWaterPass()",
        "RenderCubePass()",
        "RenderShadowPass()",
        "g_D3DRender.LockBatchBuffers()",
        "g_Sky.Render()",
        "g_PropManager.Render(PROPS_BRIDGES_AND_BUILDINGS)",
        "g_PropManager.RenderReflectiveEffects(PROPS_BRIDGES_AND_BUILDINGS)",
        "g_Landscape.Render()",
        "g_BloodEffect.Render()",
        "g_WaterCircles.RenderSkidTrails()",
        "g_Landscape.RenderTerrainShadow()",
        "g_FieldObjects.RenderStones()",
        "g_FieldObjects.RenderTrees()",
        "g_VehicleManager.RenderVehicles()",
        "g_VehicleManager.RenderVehiclesSecondPass()",
        "g_HumanManager.Render()",
        "g_SceneLights.EnableHeadlightSpot()",
        "g_PropManager.Render(PROPS_DECORS_AND_LAMPPOSTS)",
        "g_PropManager.RenderReflectiveEffects(PROPS_DECORS_AND_LAMPPOSTS)",
        "g_SceneLights.DisableHeadlightSpot()",
        "g_FieldObjects.RenderGrass()",
        "g_FieldObjects.RenderTreeBranches()",
        "g_PropManager.RenderLightEffects(PROPS_ALL)",
        "g_VehicleManager.RenderLights()",
        "g_Sky.RenderSunFlare()",
        "g_Landscape.RenderWater()",
        "g_WaterCircles.RenderRings()",
        "g_D3DRender.UnlockBatchBuffers()",
        "g_D3DRender.DrawFixedLightBatch()",
        "g_D3DRender.DrawShaderLightBatch()",
        "g_ParticleEffects.Render()",
        "g_D3DRender.RenderGlow()",
        "g_D3DRender.RenderMotionBlur()",
    };
    EXPECT_EQ(Names(nullptr), expected);
}

// Shadows 1: terrain, field objects and cars; 2 adds buildings; 3 adds
// decors, lampposts and pedestrians. Each group in its own grey.
TEST_F(RenderPassesTest, ShadowCastersBySetting)
{
    const std::vector<std::pair<std::string, DWORD>> all = {
        {"g_Landscape.RenderShadowCasters()", 0xFF000000},
        {"g_PropManager.RenderShadowCasters(PROPS_BUILDINGS)", 0xFF9F9F9F},
        {"g_PropManager.RenderShadowCasters(PROPS_DECORS_AND_LAMPPOSTS)", 0xFFDFDFDF},
        {"g_FieldObjects.RenderShadowCasters()", 0xFFBFBFBF},
        {"g_VehicleManager.RenderShadows()", 0xFFFFFFFF},
        {"g_HumanManager.RenderShadows()", 0xFFDFDFDF},
    };
    const struct {
        int shadows;
        std::vector<int> casters; // indices into all
    } cases[] = {{1, {0, 3, 4}}, {2, {0, 1, 3, 4}}, {3, {0, 1, 2, 3, 4, 5}}};
    // The developer's view of the moving casters' map keeps that map drawn.
    g_bDebugOut = g_bKeyTab = g_bKeyControl = g_bKeyShift = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shadows);
        g_nShadows = c.shadows;
        Frame();
        std::vector<std::string> names;
        for (const Step& s : s_steps) {
            if (!s.shadow)
                continue;
            names.push_back(s.name);
            for (const auto& [name, factor] : all)
                if (s.name == name) {
                    EXPECT_EQ(s.textureFactor, factor) << name;
                }
        }
        std::vector<std::string> expected;
        for (int i : c.casters)
            expected.push_back(all[size_t(i)].first);
        EXPECT_EQ(names, expected);
    }
    g_bDebugOut = g_bKeyTab = g_bKeyControl = g_bKeyShift = 0;
    g_nShadows = 0;
    Frame();
    EXPECT_TRUE(Names(&Step::shadow).empty());
}

TEST_F(RenderPassesTest, CubeFacesCycleAndReflectOffSkipsThePass)
{
    g_Game.m_nCubeFace = 0;
    const int viewDistance = g_nViewDistance;
    for (int expected : {1, 2, 3, 4, 5, 0, 1}) {
        Frame();
        EXPECT_EQ(g_Game.m_nCubeFace, expected);
    }
    EXPECT_EQ(g_nViewDistance, viewDistance) << "the short view distance is only for the pass";
    g_bReflect = 0;
    Frame();
    EXPECT_TRUE(Names(&Step::cube).empty());
    EXPECT_EQ(g_Game.m_nCubeFace, 1);
}

// With Water 0, or no closed water in view, the reflection gets only the
// sky and the sun flare; the reflected eye is mirrored in the water level.
TEST_F(RenderPassesTest, WaterPassMirrorsTheEyeAndDrawsTheCityOnlyWhenWaterIsSeen)
{
    const struct {
        int water, closedParts;
        bool city;
    } cases[] = {{0, 5, false}, {2, 1, false}, {1, 2, true}, {2, 2, true}};
    ShowWater(true);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.water * 10 + c.closedParts);
        g_nWater = c.water;
        g_Landscape.m_nClosedWaterParts = c.closedParts;
        Frame();
        const std::vector<std::string> names = Names(&Step::water);
        EXPECT_EQ(std::count(names.begin(), names.end(), "g_Sky.Render()"), 1);
        EXPECT_EQ(std::count(names.begin(), names.end(), "g_Sky.RenderSunFlare()"), 1);
        EXPECT_EQ(std::count(names.begin(), names.end(), "g_Landscape.Render()"), c.city ? 1 : 0);
    }
    const CWorldCamera& main = g_Game.m_Cameras[0];
    const CWorldCamera& mirror = g_Game.m_Cameras[1];
    EXPECT_NEAR(mirror.m_vEye.x, main.m_vEye.x, 1e-3f);
    EXPECT_NEAR(mirror.m_vEye.y, 2.0f * 4.0f - main.m_vEye.y, 1e-3f);
    EXPECT_NEAR(mirror.m_vEye.z, main.m_vEye.z, 1e-3f);
}

// With no water in view the reflection is not drawn at all, yet the sky's
// draw from the random sequence is still taken, so the game's later draws do
// not depend on where the water is.
TEST_F(RenderPassesTest, NoWaterInViewSkipsTheReflectionButNotItsRandomDraw)
{
    g_nWater = 2;
    const struct {
        bool water;
        size_t reflectionSteps;
    } cases[] = {{false, 0}, {true, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.water);
        ShowWater(c.water);
        std::srand(7);
        Frame();
        const std::vector<std::string> names = Names(&Step::water);
        EXPECT_EQ(size_t(std::count(names.begin(), names.end(), "g_Sky.Render()")), c.reflectionSteps);
        s_draws[c.water] = std::rand();
    }
    EXPECT_EQ(s_draws[0], s_draws[1]);
}

// The map with the moving casters is read only by bridges and the developer's
// view of it: without either, the cars and pedestrians are not drawn into it.
TEST_F(RenderPassesTest, MovingCastersOnlyWhenTheirMapIsSeen)
{
    g_nShadows = 3;
    g_bDebugOut = 1;
    for (int view : {0, 1}) {
        SCOPED_TRACE(view);
        g_bKeyTab = g_bKeyControl = g_bKeyShift = view;
        Frame();
        EXPECT_EQ(Ran("g_VehicleManager.RenderShadows()"), view == 1);
        EXPECT_EQ(Ran("g_HumanManager.RenderShadows()"), view == 1);
    }
    g_bDebugOut = g_bKeyTab = g_bKeyControl = g_bKeyShift = 0;
}

// The shadow centre lies 40 ahead of the main eye on the ground, and the
// shadow-map matrix takes it to the middle of the map.
TEST_F(RenderPassesTest, ShadowMapMatrixTakesTheShadowCentreToTheMiddle)
{
    const struct {
        D3DXVECTOR3 target, lightDir;
        float aheadZ;
    } cases[] = {
        {{225.0f, 20.0f, -700.0f}, {0.0f, 0.753383f, -0.657582f}, 40.0f},
        {{225.0f, 0.0f, -740.0f}, {0.3f, 0.5f, 0.2f}, 0.0f}, // straight down: under the eye
        {{225.0f, 20.0f, -700.0f}, {0.0f, 1.0f, 0.0f}, 40.0f}, // light straight overhead
        {{225.0f, 20.0f, -700.0f}, {0.0f, 0.0f, 0.0f}, 40.0f}, // no light direction yet
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lightDir.y);
        CWorldCamera& main = g_Game.m_Cameras[0];
        const D3DXVECTOR3 eye(225.0f, 20.0f, -740.0f);
        const D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
        const D3DXVECTOR3 sideways(0.0f, 0.0f, 1.0f);
        main.SetView(&eye, &c.target, c.aheadZ == 0.0f ? &sideways : &up);
        g_Sky.m_vLightDir = c.lightDir;
        Frame();
        const D3DXVECTOR3 centre(g_Game.m_vShadowCenter[0], g_Game.m_vShadowCenter[1], g_Game.m_vShadowCenter[2]);
        EXPECT_NEAR(centre.z, eye.z + c.aheadZ, 1e-3f);
        EXPECT_NEAR(centre.y, 2.0f, 1e-4f);
        D3DXVECTOR3 inView;
        D3DXVec3TransformCoord(&inView, &centre, &main.m_matView);
        D3DXMATRIX world;
        D3DXMatrixIdentity(&world);
        D3DXMATRIX map;
        g_Game.GetShadowMapMatrix(&map, &world);
        D3DXVECTOR3 uv;
        D3DXVec3TransformCoord(&uv, &inView, &map);
        EXPECT_NEAR(uv.x, 0.5f, 1e-3f);
        EXPECT_NEAR(uv.y, 0.5f, 1e-3f);
        EXPECT_TRUE(std::isfinite(g_Game.m_Cameras[3].m_matView.m[0][0]));
    }
}

// The smoothing of both shadow maps keeps the weight the pass chose: four
// taps adding up to 0.7 of the sky's shadow strength.
TEST_F(RenderPassesTest, ShadowSmoothingWeighsFourTapsToSevenTenthsOfTheStrength)
{
    g_Sky.m_fShadowFactor = 0.8f;
    g_nShadows = 1;
    g_bGlow = 0;
    g_bBlur = 0;
    g_D3DRender.m_bGlowTargets = 0;
    g_D3DRender.m_bBlurTarget = 0;
    Frame();
    float w[4] = {};
    Device()->GetPixelShaderConstantF(0, w, 1);
    EXPECT_NEAR(4.0f * w[0], 0.7f * 0.8f, 1e-6f);
    EXPECT_EQ(w[3], 0.0f);
}

} // namespace
