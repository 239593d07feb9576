// The renderer's targets, light batches and post effects on the recording
// device: what each setting makes, the batch limits, the device-loss cycle
// and the post effects' failure path.
#include "render_fixture.h"

#include "shell/Game.h"
#include "shell/GameTimer.h"
#include "shell/Input.h"

namespace {

using test::RenderTest;
using test::StartedRenderTest;

TEST_F(RenderTest, TargetsFollowTheirSettings)
{
    // The largest shadow map only at the highest shadow and detail settings;
    // the smoothed maps the scene reads are never larger than 512.
    const struct {
        int shadows, details, reflect, glow, blur;
        UINT shadowSize, smoothedSize;
    } cases[] = {{3, 1, 1, 1, 1, 1024, 512}, {0, 1, 0, 0, 0, 0, 0}, {1, 1, 0, 1, 0, 512, 512},
                 {3, 0, 1, 0, 1, 512, 512}, {2, 1, 0, 1, 1, 512, 512}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shadows * 10000 + c.details * 1000 + c.reflect * 100 + c.glow * 10 + c.blur);
        g_nShadows = c.shadows;
        g_nDetails = c.details;
        g_bReflect = c.reflect;
        g_bGlow = c.glow;
        g_bBlur = c.blur;
        ASSERT_EQ(Start(), 0);
        CD3DRender& r = g_D3DRender;
        EXPECT_NE(r.m_pReflectionTexture, nullptr);
        EXPECT_NE(r.m_pDepthSurface512, nullptr);
        EXPECT_NE(r.m_pScreenQuad, nullptr);
        EXPECT_EQ(r.m_pCubeTexture != nullptr, c.reflect > 0);
        for (IDirect3DTexture9* t : {r.m_pShadowTarget, r.m_pShadowTexture, r.m_pShadowTexture2})
            EXPECT_EQ(t != nullptr, c.shadows > 0);
        EXPECT_EQ(r.m_pDepthSurface != nullptr, c.shadows > 0);
        EXPECT_EQ(r.m_bGlowTargets, c.glow);
        EXPECT_EQ(r.m_bBlurTarget, c.blur);
        D3DSURFACE_DESC desc{};
        const std::pair<IDirect3DTexture9*, UINT> maps[] = {
            {r.m_pShadowTarget, c.shadowSize}, {r.m_pShadowTexture, c.smoothedSize}, {r.m_pShadowTexture2, c.smoothedSize}};
        for (const auto& [t, size] : maps)
            if (t) {
                t->GetLevelDesc(0, &desc);
                EXPECT_EQ(desc.Width, size);
                EXPECT_EQ(desc.Format, D3DFMT_R5G6B5);
            }
        if (r.m_pDepthSurface) {
            r.m_pDepthSurface->GetDesc(&desc);
            EXPECT_EQ(desc.Width, c.shadowSize) << "the shadow map's depth matches its size";
        }
        r.FreeD3DRender();
    }
}

// Two losses in a row (the shut-down does this) drop each target once; the
// reset makes each again, and a texture of another owner survives both.
TEST_F(StartedRenderTest, TwoLossesReleaseEveryTargetOnceAndResetRebuildsThem)
{
    IDirect3DTexture9* other = nullptr;
    ASSERT_EQ(Device()->CreateTexture(64, 64, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &other,
                                      nullptr),
              D3D_OK);
    const int withTargets = plat::LiveDefaultPoolResources(Device());
    g_D3DRender.OnLostDevice();
    g_D3DRender.OnLostDevice();
    EXPECT_EQ(plat::LiveDefaultPoolResources(Device()), 1);
    EXPECT_EQ(g_D3DRender.m_pShaderBatchVB, nullptr);
    EXPECT_EQ(g_D3DRender.m_bGlowTargets, 0);
    EXPECT_EQ(g_D3DRender.OnResetDevice(), 0);
    EXPECT_EQ(plat::LiveDefaultPoolResources(Device()), withTargets);
    EXPECT_NE(g_D3DRender.m_pShaderBatchVB, nullptr);
    EXPECT_NE(g_D3DRender.m_pFixedBatchIB, nullptr);
    EXPECT_EQ(g_D3DRender.m_bGlowTargets, 1);
    EXPECT_EQ(other->Release(), 0u);
}

class BatchTest : public StartedRenderTest {
protected:
    void SetUp() override
    {
        StartedRenderTest::SetUp();
        g_D3DRender.LockBatchBuffers();
    }
    void TearDown() override
    {
        g_D3DRender.UnlockBatchBuffers();
        StartedRenderTest::TearDown();
    }
};

// Vertex limits are reached at the limit, index limits only beyond it.
TEST_F(BatchTest, BatchesDropWhatWouldPassTheirLimits)
{
    CD3DRender& r = g_D3DRender;
    const struct {
        DWORD vertices, indices, addVertices, addIndices;
        bool taken;
    } cases[] = {{4997, 0, 4, 6, false}, {4995, 0, 4, 6, true}, {0, 7494, 4, 6, true}, {0, 7495, 4, 6, false}};
    std::vector<CLightVertex> quad(4);
    const WORD indices[6] = {0, 1, 2, 2, 1, 3};
    for (const auto& c : cases) {
        r.m_nShaderBatchVertices = c.vertices;
        r.m_nShaderBatchIndices = c.indices;
        r.AddShaderLightBatch(quad.data(), indices, c.addVertices, c.addIndices);
        EXPECT_EQ(r.m_nShaderBatchVertices, c.taken ? c.vertices + 4 : c.vertices) << c.vertices << " " << c.indices;
        EXPECT_EQ(r.m_nShaderBatchIndices, c.taken ? c.indices + 6 : c.indices);
    }
}

// A ground pool is 49 vertices and 216 indices: 17 fit a frame, the 18th is
// dropped. Each caller's indices are moved behind the vertices before it.
TEST_F(BatchTest, FixedBatchTakesSeventeenPoolsWithIndicesMovedBehind)
{
    CD3DRender& r = g_D3DRender;
    std::vector<CFixedLightVertex> pool(49);
    std::vector<WORD> indices(216, 0);
    indices[1] = 48;
    for (int i = 0; i < 18; ++i)
        r.AddFixedLightBatch(pool.data(), indices.data(), 49, 216);
    EXPECT_EQ(r.m_nFixedBatchVertices, 17u * 49u);
    EXPECT_EQ(r.m_nFixedBatchIndices, 3672u);
    EXPECT_EQ(r.m_pFixedBatchIndices[216], 49);
    EXPECT_EQ(r.m_pFixedBatchIndices[217], 49 + 48);

    r.UnlockBatchBuffers();
    r.AddFixedLightBatch(pool.data(), indices.data(), 49, 216);
    EXPECT_EQ(r.m_nFixedBatchIndices, 3672u) << "a closed batch takes nothing";
    Calls().Clear();
    r.DrawFixedLightBatch();
    const auto draws = Calls().Of(plat::D3DOp::DrawIndexedPrimitive);
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].d, 17u * 49u);
    EXPECT_EQ(draws[0].f, 3672u / 3u);
}

// One draw of 48-byte vertices with the light technique, fog black during
// the draw and the scene's fog colour after it; nothing when empty.
TEST_F(BatchTest, ShaderBatchDrawsOnceWithTheLightTechniqueAndSkipsWhenEmpty)
{
    CD3DRender& r = g_D3DRender;
    ASSERT_EQ(g_Game.m_pCamera, nullptr);
    CWorldCamera camera;
    const D3DXVECTOR3 eye(0, 0, -5), at(0, 0, 0);
    camera.Init(&eye, &at, 1.0f, 1.0f, 1.0f, 100.0f, 0);
    g_Game.m_pCamera = &camera;
    std::vector<CLightVertex> quad(4);
    const D3DXVECTOR3 up(0, 1, 0);
    for (CLightVertex& v : quad)
        v.Set(D3DXVECTOR3(1, 1, 0), 0xFFFFFFFF, 0.5f, 0.5f, at, up);
    const WORD indices[6] = {0, 1, 2, 2, 1, 3};
    r.AddShaderLightBatch(quad.data(), indices, 4, 6);
    r.UnlockBatchBuffers();
    Calls().Clear();
    r.DrawShaderLightBatch();
    const auto draws = Calls().Of(plat::D3DOp::DrawIndexedPrimitive);
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].f, 2u);
    const auto streams = Calls().Of(plat::D3DOp::SetStreamSource);
    ASSERT_FALSE(streams.empty());
    EXPECT_EQ(streams.back().c, 48u);
    EXPECT_EQ(Calls().Of(plat::D3DOp::SetFVF).back().a, 0x140342u);
    EXPECT_EQ(Calls().Of(plat::D3DOp::EffectSetTechnique).back().name, "techDirectLights");
    DWORD fog = 0;
    Device()->GetRenderState(D3DRS_FOGCOLOR, &fog);
    EXPECT_NE(fog, 0xFF000000u) << "the scene's fog colour is back";

    r.LockBatchBuffers();
    r.UnlockBatchBuffers();
    Calls().Clear();
    r.DrawShaderLightBatch();
    EXPECT_EQ(Calls().Count(plat::D3DOp::DrawIndexedPrimitive), 0u);
    g_Game.m_pCamera = nullptr;
    camera.Release();
}

TEST_F(StartedRenderTest, CubeFaceViewsLookAlongEachAxisAndRefuseFacesBeyondSix)
{
    const D3DXVECTOR3 ahead[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    for (DWORD face = 0; face < 6; ++face) {
        D3DXMATRIX view;
        g_D3DRender.GetCubeMapViewMatrix(&view, face);
        D3DXVECTOR3 inView;
        D3DXVec3TransformNormal(&inView, &ahead[face], &view);
        EXPECT_NEAR(inView.z, 1.0f, 1e-5f) << face;
    }
    D3DXMATRIX view;
    g_D3DRender.GetCubeMapViewMatrix(&view, 6);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    EXPECT_EQ(std::memcmp(&view, &identity, sizeof view), 0);
}

// A card that cannot copy its frame loses the effect for good, and the
// choice is written to the settings file.
TEST_F(StartedRenderTest, FailedFrameCopyTurnsTheEffectOffAndSavesIt)
{
    CD3DRender& r = g_D3DRender;
    IDirect3DTexture9* glow = r.m_pGlowTextureA;
    IDirect3DTexture9* blur = r.m_pBlurTexture;
    IDirect3DTexture9* plain = nullptr; // not a render target: the copy fails
    ASSERT_EQ(Device()->CreateTexture(256, 256, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &plain, nullptr), D3D_OK);
    r.m_pGlowTextureA = plain;
    r.m_pBlurTexture = plain;
    r.m_fMotionBlur = 1.0f;
    r.RenderGlow();
    r.RenderMotionBlur();
    EXPECT_EQ(g_bGlow, 0);
    EXPECT_EQ(g_bBlur, 0);
    const std::string ini = test::ReadWholeFile("Game.ini");
    EXPECT_NE(ini.find("Glow=0"), std::string::npos) << ini;
    EXPECT_NE(ini.find("Blur=0"), std::string::npos);
    Calls().Clear();
    r.RenderGlow();
    r.RenderMotionBlur();
    EXPECT_EQ(Calls().Count(plat::D3DOp::StretchRect), 0u);
    r.m_pGlowTextureA = glow;
    r.m_pBlurTexture = blur;
    plain->Release();
}

TEST_F(StartedRenderTest, MotionBlurFadesByTheRealFrameTime)
{
    CD3DRender& r = g_D3DRender;
    r.m_fMotionBlur = 0.5f;
    g_GameTimer.m_fRealDelta = 0.02f;
    int frames = 0;
    while (r.m_fMotionBlur > 0.0f && frames < 100) {
        r.RenderMotionBlur();
        ++frames;
    }
    EXPECT_EQ(frames, 25) << "half a second at 50 frames per second";
    Calls().Clear();
    r.RenderMotionBlur();
    EXPECT_EQ(Calls().Count(plat::D3DOp::DrawPrimitive), 0u);
}

TEST_F(StartedRenderTest, GlowIsHeldBackWhileCtrlIsHeldInDebugMode)
{
    g_D3DRender.SetTexture(g_D3DRender.m_nWhiteTexture, 0);
    g_bDebugOut = 1;
    g_bKeyControl = 1;
    g_D3DRender.RenderGlow();
    EXPECT_EQ(Calls().Count(plat::D3DOp::StretchRect), 0u);
    g_bKeyControl = 0;
    g_D3DRender.RenderGlow();
    EXPECT_EQ(Calls().Count(plat::D3DOp::StretchRect), 1u);
    EXPECT_EQ(Calls().Count(plat::D3DOp::DrawPrimitive), 4u)
        << "bright parts, two smoothings on the small targets, then the frame takes the result";
    EXPECT_EQ(g_D3DRender.m_nCachedTexture, INVALID_TEXTURE_ID) << "its stages hold textures the cache never set";
    g_bDebugOut = 0;
}

} // namespace
