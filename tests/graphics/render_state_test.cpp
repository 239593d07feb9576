// The render-state cache and the bindings that go through it: which calls
// reach the device and which are skipped.
#include "render_fixture.h"

#include "shell/Input.h"
#include "shell/RenderPasses.h"

namespace {

class RenderStateTest : public test::StartedRenderTest {
protected:
    // Textures bound on a stage since the log was cleared, in order.
    std::vector<const void*> Bound(DWORD stage)
    {
        std::vector<const void*> out;
        for (const plat::D3DCall& c : Calls().Of(plat::D3DOp::SetTexture))
            if (c.a == stage)
                out.push_back(c.object);
        return out;
    }

    DWORD LastState(DWORD state)
    {
        DWORD value = 0xDEADBEEF;
        Calls().LastRenderState(state, &value);
        return value;
    }
};

TEST_F(RenderStateTest, SameValueReachesTheDeviceOnceUntilStatesAreReset)
{
    g_D3DRender.SetZWriteEnable(0);
    g_D3DRender.SetZWriteEnable(0);
    EXPECT_EQ(RenderStateSets(D3DRS_ZWRITEENABLE), 1u);
    g_D3DRender.SetZWriteEnable(1);
    EXPECT_EQ(RenderStateSets(D3DRS_ZWRITEENABLE), 2u);
    g_D3DRender.SetDefaultStates();
    Calls().Clear();
    g_D3DRender.SetZWriteEnable(1);
    EXPECT_EQ(RenderStateSets(D3DRS_ZWRITEENABLE), 1u);
}

TEST_F(RenderStateTest, EachCachedSetterOwnsItsState)
{
    struct Case {
        int (CD3DRender::*set)(DWORD);
        D3DRENDERSTATETYPE state;
    };
    const Case cases[] = {{&CD3DRender::SetZWriteEnable, D3DRS_ZWRITEENABLE},
                          {&CD3DRender::SetZEnable, D3DRS_ZENABLE},
                          {&CD3DRender::SetLighting, D3DRS_LIGHTING},
                          {&CD3DRender::SetAlphaBlendEnable, D3DRS_ALPHABLENDENABLE},
                          {&CD3DRender::SetFogEnable, D3DRS_FOGENABLE}};
    for (const Case& c : cases) {
        Calls().Clear();
        (g_D3DRender.*c.set)(7);
        (g_D3DRender.*c.set)(7);
        EXPECT_EQ(Calls().Count(plat::D3DOp::SetRenderState), 1u) << c.state;
        EXPECT_EQ(LastState(c.state), 7u) << c.state;
    }
}

TEST_F(RenderStateTest, BlendModeSetsOnlyTheFactorThatChanged)
{
    g_D3DRender.SetBlendMode(D3DBLEND_ONE, D3DBLEND_ONE);
    Calls().Clear();
    g_D3DRender.SetBlendMode(D3DBLEND_SRCALPHA, D3DBLEND_ONE);
    EXPECT_EQ(RenderStateSets(D3DRS_SRCBLEND), 1u);
    EXPECT_EQ(RenderStateSets(D3DRS_DESTBLEND), 0u);
}

TEST_F(RenderStateTest, StageZeroBindIsSkippedForTheCachedIdUnlessForced)
{
    const TextureId id = g_D3DRender.m_nWhiteTexture;
    IDirect3DTexture9* texture = g_D3DRender.GetTexture(id);
    g_D3DRender.SetTexture(id, 1, 1, 0);
    EXPECT_EQ(Bound(1), std::vector<const void*>{texture});
    g_D3DRender.SetTexture(id, 0, 0, 0);
    EXPECT_EQ(Bound(0), std::vector<const void*>{texture}) << "cached by a bind on stage 1, not held by stage 0";
    g_D3DRender.SetTexture(id, 0, 0, 0);
    EXPECT_EQ(Bound(0).size(), 1u);
    g_D3DRender.SetTexture(id, 0, 0, 1);
    EXPECT_EQ(Bound(0).size(), 2u);
    g_D3DRender.SetTexture(id, 0, 1, 0);
    EXPECT_EQ(Bound(1).size(), 2u); // other stages always bind
}

// A pass binds its staged textures itself; the next bind of the id the
// renderer last set must still reach the device.
TEST_F(RenderStateTest, EffectPassOnStageZeroDoesNotLeaveTheCachedTextureStale)
{
    const std::string text = "param texture texShadow stage 0\ntechnique techShadow\n    pass p - -\nend\n";
    ID3DXEffect* effect = nullptr;
    ASSERT_EQ(D3DXCreateEffect(Device(), text.data(), UINT(text.size()), nullptr, nullptr, 0, nullptr, &effect,
                               nullptr),
              D3D_OK);
    const TextureId id = g_D3DRender.m_nWhiteTexture;
    IDirect3DTexture9* white = g_D3DRender.GetTexture(id);
    IDirect3DTexture9* black = g_D3DRender.GetTexture(g_D3DRender.m_nBlackTexture);
    g_D3DRender.SetTexture(id, 0);
    effect->SetTexture("texShadow", black);
    UINT passes = 0;
    effect->Begin(&passes, 0);
    effect->Pass(0);
    effect->End();
    g_D3DRender.SetTexture(id, 0);
    IDirect3DBaseTexture9* bound = nullptr;
    Device()->GetTexture(0, &bound);
    EXPECT_EQ(bound, white);
    if (bound)
        bound->Release();
    Calls().Clear();
    g_D3DRender.SetTexture(id, 0);
    EXPECT_TRUE(Bound(0).empty()) << "a texture still bound is not sent again";
    effect->Release();
}

TEST_F(RenderStateTest, TextureAlphaChoosesBlending)
{
    g_D3DRender.SetTexture(g_D3DRender.m_nWhiteTexture, 1);
    EXPECT_EQ(LastState(D3DRS_ALPHABLENDENABLE), DWORD(TRUE));
    EXPECT_EQ(LastState(D3DRS_SRCBLEND), DWORD(D3DBLEND_SRCALPHA));
    EXPECT_EQ(LastState(D3DRS_DESTBLEND), DWORD(D3DBLEND_INVSRCALPHA));
    g_D3DRender.SetTexture(INVALID_TEXTURE_ID, 0);
    EXPECT_EQ(Bound(0).back(), nullptr);
    EXPECT_EQ(LastState(D3DRS_ALPHABLENDENABLE), DWORD(FALSE));
    EXPECT_EQ(LastState(D3DRS_SRCBLEND), DWORD(D3DBLEND_ONE));
    EXPECT_EQ(LastState(D3DRS_DESTBLEND), DWORD(D3DBLEND_ZERO));
}

TEST_F(RenderStateTest, WireframeBindsNoTextureAndSwitchesBlendingOff)
{
    g_D3DRender.SetAlphaBlendEnable(1);
    g_D3DRender.ToggleWireframe();
    EXPECT_EQ(LastState(D3DRS_FILLMODE), DWORD(D3DFILL_WIREFRAME));
    Calls().Clear();
    g_D3DRender.SetTexture(g_D3DRender.m_nWhiteTexture, 1, 0, 1);
    EXPECT_EQ(Bound(0), std::vector<const void*>{nullptr});
    EXPECT_EQ(LastState(D3DRS_ALPHABLENDENABLE), DWORD(FALSE));
    EXPECT_EQ(g_D3DRender.m_nCachedTexture, INVALID_TEXTURE_ID);
    g_D3DRender.SetTexturePointer(g_D3DRender.m_pStaticEnvMap, 1, 2);
    EXPECT_EQ(Bound(0).size(), 2u);
    EXPECT_TRUE(Bound(2).empty());
    g_D3DRender.SetEffectTexture("texBaseMap1", g_D3DRender.GetTexture(g_D3DRender.m_nWhiteTexture));
    IDirect3DBaseTexture9* bound = reinterpret_cast<IDirect3DBaseTexture9*>(1);
    g_D3DRender.m_pEffect->GetTexture("texBaseMap1", &bound);
    EXPECT_EQ(bound, nullptr);
    g_D3DRender.ToggleWireframe();
    EXPECT_EQ(LastState(D3DRS_FILLMODE), DWORD(D3DFILL_SOLID));
}

TEST_F(RenderStateTest, TexturePointerAndEffectTextureForgetTheCachedId)
{
    const TextureId id = g_D3DRender.m_nWhiteTexture;
    g_D3DRender.SetTexture(id, 0);
    g_D3DRender.SetTexturePointer(g_D3DRender.m_pStaticEnvMap, 0, 0);
    g_D3DRender.SetTexture(id, 0);
    EXPECT_EQ(Bound(0).size(), 3u);
    g_D3DRender.SetEffectTexture("texBaseMap1", nullptr);
    g_D3DRender.SetTexture(id, 0);
    EXPECT_EQ(Bound(0).size(), 4u);
}

TEST_F(RenderStateTest, FlatShadingToggles)
{
    g_D3DRender.ToggleFlatShading();
    EXPECT_EQ(LastState(D3DRS_SHADEMODE), DWORD(D3DSHADE_FLAT));
    g_D3DRender.ToggleFlatShading();
    EXPECT_EQ(LastState(D3DRS_SHADEMODE), DWORD(D3DSHADE_GOURAUD));
}

TEST_F(RenderStateTest, RestoreCullModeAlwaysSetsTheDevice)
{
    g_D3DRender.SetCullMode(D3DCULL_CCW);
    g_D3DRender.SaveCullMode();
    g_D3DRender.SetCullMode(D3DCULL_NONE);
    g_D3DRender.SetCullMode(D3DCULL_CCW);
    Calls().Clear();
    g_D3DRender.RestoreCullMode();
    EXPECT_EQ(RenderStateSets(D3DRS_CULLMODE), 1u);
    EXPECT_EQ(LastState(D3DRS_CULLMODE), DWORD(D3DCULL_CCW));
}

TEST_F(RenderStateTest, MaterialWithBlackSpecularSwitchesHighlightsOff)
{
    D3DMATERIAL9 material{};
    material.Specular = {0.0f, 0.0f, 0.0f, 1.0f};
    g_D3DRender.SetMaterial(&material);
    EXPECT_EQ(LastState(D3DRS_SPECULARENABLE), DWORD(FALSE));
    material.Specular = {0.0f, 0.0f, 0.1f, 0.0f};
    g_D3DRender.SetMaterial(&material);
    EXPECT_EQ(LastState(D3DRS_SPECULARENABLE), DWORD(TRUE));
    EXPECT_EQ(Calls().Count(plat::D3DOp::SetMaterial), 2u);
}

TEST_F(RenderStateTest, TechniqueNamesAreComparedByIdentity)
{
    static const char kName[] = "techDirectLights";
    static const char kSameText[] = "techDirectLights";
    g_D3DRender.SetTechnique(kName);
    g_D3DRender.SetTechnique(kName);
    EXPECT_EQ(Calls().Count(plat::D3DOp::EffectSetTechnique), 1u);
    g_D3DRender.SetTechnique(kSameText);
    g_D3DRender.SetTechnique(kSameText, 1);
    EXPECT_EQ(Calls().Count(plat::D3DOp::EffectSetTechnique), 3u);
    EXPECT_STREQ(g_D3DRender.m_pEffect->GetCurrentTechnique(), "techDirectLights");
}

TEST_F(RenderStateTest, FogRangeReachesDeviceAndEffectAndIsRestored)
{
    g_D3DRender.SetFogRange(10.0f, 20.0f);
    g_D3DRender.SaveFogRange();
    g_D3DRender.SetFogRange(1.0f, 2.0f);
    g_D3DRender.RestoreFogRange();
    float start, end;
    const DWORD startBits = LastState(D3DRS_FOGSTART), endBits = LastState(D3DRS_FOGEND);
    std::memcpy(&start, &startBits, 4);
    std::memcpy(&end, &endBits, 4);
    EXPECT_EQ(start, 10.0f);
    EXPECT_EQ(end, 20.0f);
    D3DXVECTOR4 fog;
    g_D3DRender.m_pEffect->GetVector("FogParam", &fog);
    EXPECT_EQ(fog.x, 10.0f);
    EXPECT_EQ(fog.y, 20.0f);
    EXPECT_EQ(fog.z, 0.0f);
    EXPECT_EQ(fog.w, 1.0f);
}

TEST_F(RenderStateTest, StageSettersWriteTheirStatesInOrder)
{
    g_D3DRender.SetColorStage(2, D3DTOP_ADD, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTA_TEMP, D3DTA_CURRENT);
    g_D3DRender.SetAlphaStage(2, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTA_TEMP);
    std::vector<std::pair<DWORD, DWORD>> written;
    for (const plat::D3DCall& c : Calls().Of(plat::D3DOp::SetTextureStageState)) {
        EXPECT_EQ(c.a, 2u);
        written.emplace_back(c.b, c.c);
    }
    const std::vector<std::pair<DWORD, DWORD>> expected = {
        {D3DTSS_COLOROP, D3DTOP_ADD},         {D3DTSS_COLORARG0, D3DTA_TEMP},     {D3DTSS_COLORARG1, D3DTA_TEXTURE},
        {D3DTSS_COLORARG2, D3DTA_DIFFUSE},    {D3DTSS_RESULTARG, D3DTA_CURRENT},  {D3DTSS_ALPHAOP, D3DTOP_SELECTARG1},
        {D3DTSS_ALPHAARG0, D3DTA_TEMP},       {D3DTSS_ALPHAARG1, D3DTA_TEXTURE},  {D3DTSS_ALPHAARG2, D3DTA_DIFFUSE}};
    EXPECT_EQ(written, expected);
}

TEST_F(RenderStateTest, MipBiasOnOneSamplerOrTheFirstTwo)
{
    g_D3DRender.SetMipLodBias(-0.5f, 3);
    g_D3DRender.SetMipLodBias(1.0f, -1);
    std::vector<DWORD> samplers;
    for (const plat::D3DCall& c : Calls().Of(plat::D3DOp::SetSamplerState))
        if (c.b == D3DSAMP_MIPMAPLODBIAS)
            samplers.push_back(c.a);
    EXPECT_EQ(samplers, (std::vector<DWORD>{3, 0, 1}));
}

TEST_F(RenderStateTest, RenderTargetAndDepthAreRestoredAndTheirReferencesDropped)
{
    const int renderersOwn = plat::LiveDefaultPoolResources(Device());
    IDirect3DSurface9* frame = nullptr;
    Device()->GetRenderTarget(0, &frame);
    g_D3DRender.SaveRenderTarget();
    g_D3DRender.SaveDepthStencil();
    IDirect3DTexture9* target = nullptr;
    ASSERT_EQ(Device()->CreateTexture(64, 64, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &target,
                                      nullptr),
              D3D_OK);
    IDirect3DSurface9* level = nullptr;
    target->GetSurfaceLevel(0, &level);
    Device()->SetRenderTarget(0, level);
    g_D3DRender.RestoreRenderTarget();
    g_D3DRender.RestoreDepthStencil();
    EXPECT_EQ(g_D3DRender.m_pSavedRenderTarget, nullptr);
    EXPECT_EQ(g_D3DRender.m_pSavedDepthStencil, nullptr);
    IDirect3DSurface9* now = nullptr;
    Device()->GetRenderTarget(0, &now);
    EXPECT_EQ(now, frame);
    now->Release();
    frame->Release();
    level->Release();
    target->Release();
    EXPECT_EQ(plat::LiveDefaultPoolResources(Device()), renderersOwn);
}

TEST_F(RenderStateTest, DrawnFacesCountInThePassInProgress)
{
    g_D3DRender.AddDrawnFaces(5);
    g_WaterPassActive = 1;
    g_CubePassActive = 1;
    g_D3DRender.AddDrawnFaces(7);
    g_WaterPassActive = 0;
    g_D3DRender.AddDrawnFaces(11);
    g_CubePassActive = 0;
    g_ShadowPassActive = 1;
    g_D3DRender.AddDrawnFaces(13);
    g_ShadowPassActive = 0;
    EXPECT_EQ(g_D3DRender.m_nFacesPerFrame[0], 5u);
    EXPECT_EQ(g_D3DRender.m_nFacesPerFrame[1], 7u);
    EXPECT_EQ(g_D3DRender.m_nFacesPerFrame[2], 11u);
    EXPECT_EQ(g_D3DRender.m_nFacesPerFrame[3], 13u);
    g_D3DRender.PresentFrame();
    for (DWORD faces : g_D3DRender.m_nFacesPerFrame)
        EXPECT_EQ(faces, 0u);
}

TEST_F(RenderStateTest, CursorIsPlacedInPixelsAndTheMouseInInterfaceSpace)
{
    g_D3DRender.SetCursorPosition(400.7f, 300.2f);
    EXPECT_EQ(plat::LastCursorPos().x, int(400.7f * 1024.0f / 800.0f));
    EXPECT_EQ(plat::LastCursorPos().y, int(300.2f * 768.0f / 600.0f));
    EXPECT_EQ(g_nMouseX, 400);
    EXPECT_EQ(g_nMouseY, 300);
    EXPECT_EQ(g_PrevMousePos[0], 400);
    EXPECT_EQ(g_PrevMousePos[1], 300);
}

TEST_F(RenderStateTest, FramesPerSecondIsRenewedAtMostOnceASecond)
{
    // Whatever ran before (another test, earlier frames), a reset starts the
    // counter as at start-up.
    plat::SetFakeClock(7000);
    g_D3DRender.GetFPS();
    g_D3DRender.GetFPS();
    ResetFrameRate();
    // The first call measures from the clock's start.
    plat::SetFakeClock(2000);
    const float first = g_D3DRender.GetFPS();
    EXPECT_NEAR(first, 0.5f, 0.01f);
    // Frames of 20 ms: the value stays until over a second has passed.
    for (int frame = 1; frame < 50; ++frame) {
        plat::AdvanceFakeClock(20);
        ASSERT_EQ(g_D3DRender.GetFPS(), first) << frame;
    }
    plat::AdvanceFakeClock(40);
    EXPECT_NEAR(g_D3DRender.GetFPS(), 50.0f / 1.02f, 0.5f);
}

TEST_F(RenderStateTest, FailedTextureLoadShowsTheFileName)
{
    EXPECT_EQ(g_D3DRender.LoadTexture("Data/Missing.dds"), INVALID_TEXTURE_ID);
    EXPECT_STREQ(plat::LastMessageBoxText(), "Data/Missing.dds");
    EXPECT_STREQ(plat::LastMessageBoxCaption(), "Load texture failed!");
    EXPECT_EQ(g_D3DRender.LoadTexture(nullptr), INVALID_TEXTURE_ID);
    g_D3DRender.ReleaseTexture(INVALID_TEXTURE_ID);
    g_D3DRender.ReleaseTextureByName(nullptr);
}

} // namespace

namespace {

// Whatever a frame left behind, the default states put the device back in
// the start-up state: drawing code relies on it after every reset.
TEST_F(RenderStateTest, DefaultStatesRestoreTheStartUpDevice)
{
    IDirect3DDevice9* d = g_D3DRender.m_pDevice;
    for (D3DRENDERSTATETYPE s : {D3DRS_AMBIENT, D3DRS_CULLMODE, D3DRS_ZENABLE, D3DRS_ZFUNC, D3DRS_FILLMODE,
                                 D3DRS_SHADEMODE, D3DRS_ALPHAREF, D3DRS_ALPHATESTENABLE, D3DRS_ALPHAFUNC,
                                 D3DRS_ALPHABLENDENABLE, D3DRS_FOGCOLOR, D3DRS_FOGENABLE, D3DRS_LOCALVIEWER})
        d->SetRenderState(s, 7);
    for (DWORD stage = 0; stage <= 6; ++stage) {
        d->SetTextureStageState(stage, D3DTSS_COLOROP, D3DTOP_ADD);
        d->SetTextureStageState(stage, D3DTSS_TEXCOORDINDEX, 3);
        d->SetSamplerState(stage, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
        d->SetSamplerState(stage, D3DSAMP_MINFILTER, D3DTEXF_POINT);
    }
    g_D3DRender.SetZWriteEnable(0);
    g_D3DRender.SetDefaultStates();

    const struct {
        D3DRENDERSTATETYPE state;
        DWORD value;
    } kRenderStates[] = {
        {D3DRS_AMBIENT, 0xFF000000},     {D3DRS_CULLMODE, D3DCULL_CW},          {D3DRS_ZENABLE, TRUE},
        {D3DRS_ZFUNC, D3DCMP_LESSEQUAL}, {D3DRS_FILLMODE, D3DFILL_SOLID},       {D3DRS_SHADEMODE, D3DSHADE_GOURAUD},
        {D3DRS_LASTPIXEL, TRUE},         {D3DRS_DITHERENABLE, TRUE},            {D3DRS_COLORVERTEX, TRUE},
        {D3DRS_NORMALIZENORMALS, TRUE},  {D3DRS_LOCALVIEWER, TRUE},             {D3DRS_ALPHAREF, 0x80},
        {D3DRS_ALPHATESTENABLE, FALSE},  {D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL}, {D3DRS_ALPHABLENDENABLE, TRUE},
        {D3DRS_FOGCOLOR, 0xFF000000},    {D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR},  {D3DRS_RANGEFOGENABLE, TRUE},
        {D3DRS_FOGENABLE, FALSE},
        {D3DRS_SPECULARENABLE, FALSE}, // the white material has no specular colour
    };
    for (const auto& s : kRenderStates) {
        DWORD value = 0xDEADBEEF;
        d->GetRenderState(s.state, &value);
        EXPECT_EQ(value, s.value) << "render state " << s.state;
    }
    DWORD fog = 0;
    d->GetRenderState(D3DRS_FOGSTART, &fog);
    float start = 0.0f;
    std::memcpy(&start, &fog, 4);
    EXPECT_FLOAT_EQ(start, 300.0f);
    d->GetRenderState(D3DRS_FOGEND, &fog);
    float end = 0.0f;
    std::memcpy(&end, &fog, 4);
    EXPECT_FLOAT_EQ(end, 600.0f);

    for (DWORD stage = 0; stage <= 6; ++stage) {
        SCOPED_TRACE(stage);
        const DWORD op = stage == 0 ? DWORD(D3DTOP_MODULATE) : DWORD(D3DTOP_DISABLE);
        const struct {
            D3DTEXTURESTAGESTATETYPE type;
            DWORD value;
        } kStageStates[] = {
            {D3DTSS_TEXCOORDINDEX, 0},         {D3DTSS_COLOROP, op},             {D3DTSS_ALPHAOP, op},
            {D3DTSS_COLORARG1, D3DTA_TEXTURE}, {D3DTSS_COLORARG2, D3DTA_CURRENT}, {D3DTSS_ALPHAARG1, D3DTA_TEXTURE},
            {D3DTSS_ALPHAARG2, D3DTA_CURRENT},
        };
        for (const auto& s : kStageStates) {
            DWORD value = 0xDEADBEEF;
            d->GetTextureStageState(stage, s.type, &value);
            EXPECT_EQ(value, s.value) << "stage state " << s.type;
        }
        const struct {
            D3DSAMPLERSTATETYPE type;
            DWORD value;
        } kSamplerStates[] = {
            {D3DSAMP_MAGFILTER, D3DTEXF_LINEAR}, {D3DSAMP_MINFILTER, D3DTEXF_LINEAR},
            {D3DSAMP_MIPFILTER, D3DTEXF_LINEAR}, {D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP},
            {D3DSAMP_ADDRESSV, D3DTADDRESS_WRAP}, {D3DSAMP_ADDRESSW, D3DTADDRESS_WRAP},
            {D3DSAMP_BORDERCOLOR, 0xFF000000},   {D3DSAMP_MIPMAPLODBIAS, 0},
        };
        for (const auto& s : kSamplerStates) {
            DWORD value = 0xDEADBEEF;
            d->GetSamplerState(stage, s.type, &value);
            EXPECT_EQ(value, s.value) << "sampler state " << s.type;
        }
    }
    // Every cached state is unset again: the next set reaches the device.
    Calls().Clear();
    g_D3DRender.SetZWriteEnable(0);
    EXPECT_EQ(RenderStateSets(D3DRS_ZWRITEENABLE), 1u);
}

} // namespace
