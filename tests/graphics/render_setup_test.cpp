// Device set-up: the technique file and setting bounds chosen by the card,
// format and mode fallbacks, each failure's message, and the release.
#include "render_fixture.h"

#include "writers/ArchiveWriter.h"

#include <filesystem>
#include <ostream>

namespace {

using test::RenderTest;

// Technique files that say which one was compiled: each gets a parameter of
// its own level.
void WriteMarkedTechniqueFiles()
{
    const struct {
        tools::ShaderLevel level;
        const char* name;
    } kFiles[] = {{tools::ShaderLevel::Ps20, "20"},
                  {tools::ShaderLevel::Ps14, "14"},
                  {tools::ShaderLevel::Vs11, "11"},
                  {tools::ShaderLevel::None, "00"}};
    for (const auto& f : kFiles)
        test::WriteWholeFile(std::string("Data/Misc/RenderTechniques_") + f.name + ".dat",
                             tools::TechniqueFileText(f.level) + "param vector level_" + f.name + "\n");
}

bool EffectIsLevel(const char* level)
{
    D3DXVECTOR4 v;
    return g_D3DRender.m_pEffect &&
           SUCCEEDED(g_D3DRender.m_pEffect->GetVector((std::string("level_") + level).c_str(), &v));
}

struct CapsCase {
    DWORD vs, ps;
    const char* file;
    int water, glow, blur, shadows; // settings after the set-up (asked: 2, 1, 1, 3)
};

void PrintTo(const CapsCase& c, std::ostream* os)
{
    *os << "technique file " << c.file;
}

class RenderCapsTest : public RenderTest, public ::testing::WithParamInterface<CapsCase> {};

TEST_P(RenderCapsTest, CardChoosesTechniqueFileAndLowersSettingBounds)
{
    const CapsCase& c = GetParam();
    WriteMarkedTechniqueFiles();
    plat::HeadlessAdapterScript().caps.VertexShaderVersion = c.vs;
    plat::HeadlessAdapterScript().caps.PixelShaderVersion = c.ps;
    ASSERT_EQ(Start(), 0);
    EXPECT_TRUE(EffectIsLevel(c.file));
    EXPECT_EQ(g_nWater, c.water);
    EXPECT_EQ(g_bGlow, c.glow);
    EXPECT_EQ(g_bBlur, c.blur);
    EXPECT_EQ(g_nShadows, c.shadows);
    EXPECT_EQ(g_SettingMax[4], c.shadows == 0 ? 0 : 3);
    EXPECT_EQ(plat::MessageBoxCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Cards, RenderCapsTest,
                         ::testing::Values(CapsCase{D3DVS_VERSION(2, 0), D3DPS_VERSION(2, 0), "20", 2, 1, 1, 3},
                                           CapsCase{D3DVS_VERSION(3, 0), D3DPS_VERSION(3, 0), "20", 2, 1, 1, 3},
                                           CapsCase{D3DVS_VERSION(2, 0), D3DPS_VERSION(1, 4), "14", 1, 0, 0, 3},
                                           CapsCase{D3DVS_VERSION(1, 1), D3DPS_VERSION(1, 4), "14", 1, 0, 0, 3},
                                           CapsCase{D3DVS_VERSION(1, 1), D3DPS_VERSION(1, 3), "11", 1, 0, 0, 3},
                                           CapsCase{0, D3DPS_VERSION(2, 0), "00", 1, 0, 0, 0},
                                           CapsCase{0, 0, "00", 1, 0, 0, 0}));

TEST_F(RenderTest, PerStageConstantCapIsRecorded)
{
    plat::HeadlessAdapterScript().caps.PrimitiveMiscCaps = 0;
    ASSERT_EQ(Start(), 0);
    EXPECT_EQ(g_D3DRender.m_bPerStageConstant, 0);
    g_D3DRender.FreeD3DRender();
    plat::ResetHeadlessAdapterScript();
    ASSERT_EQ(Start(), 0);
    EXPECT_EQ(g_D3DRender.m_bPerStageConstant, 1);
}

TEST_F(RenderTest, FirstAvailableBackBufferAndDepthFormatsAreTaken)
{
    plat::HeadlessAdapterScript().backBufferFormats = {D3DFMT_R5G6B5};
    plat::HeadlessAdapterScript().depthFormats = {D3DFMT_D16, D3DFMT_D24S8};
    for (D3DDISPLAYMODE& m : plat::HeadlessAdapterScript().modes)
        m.Format = D3DFMT_R5G6B5;
    ASSERT_EQ(Start(), 0);
    EXPECT_EQ(g_D3DRender.m_PresentParams.BackBufferFormat, D3DFMT_R5G6B5);
    EXPECT_EQ(g_D3DRender.m_PresentParams.AutoDepthStencilFormat, D3DFMT_D24S8);
}

TEST_F(RenderTest, PresentParametersFollowTheModeAndWindowing)
{
    ASSERT_EQ(Start(TRUE), 0);
    const D3DPRESENT_PARAMETERS& p = g_D3DRender.m_PresentParams;
    EXPECT_EQ(p.BackBufferWidth, 1024u);
    EXPECT_EQ(p.BackBufferHeight, 768u);
    EXPECT_EQ(p.BackBufferCount, 3u);
    EXPECT_EQ(p.SwapEffect, D3DSWAPEFFECT_FLIP);
    EXPECT_EQ(p.hDeviceWindow, m_window);
    EXPECT_TRUE(p.EnableAutoDepthStencil);
    EXPECT_EQ(p.AutoDepthStencilFormat, D3DFMT_D32);
    EXPECT_EQ(p.PresentationInterval, D3DPRESENT_INTERVAL_IMMEDIATE);
    EXPECT_FLOAT_EQ(g_D3DRender.m_fScreenWidth, 1024.0f);
    EXPECT_FLOAT_EQ(g_D3DRender.m_fScreenHeight, 768.0f);
    EXPECT_FLOAT_EQ(g_D3DRender.m_fScaleX, 1024.0f / 800.0f);
    EXPECT_FLOAT_EQ(g_D3DRender.m_fScaleY, 768.0f / 600.0f);
    g_D3DRender.FreeD3DRender();
    ASSERT_EQ(Start(FALSE), 0);
    EXPECT_EQ(g_D3DRender.m_PresentParams.PresentationInterval, D3DPRESENT_INTERVAL_ONE);
}

TEST_F(RenderTest, DeviceIsAskedAgainWithTheBackBufferCountTheRuntimeLowered)
{
    plat::HeadlessAdapterScript().maxBackBufferCount = 2;
    ASSERT_EQ(Start(), 0);
    EXPECT_EQ(g_D3DRender.m_PresentParams.BackBufferCount, 2u);
}

TEST_F(RenderTest, UnsupportedModeFallsBackToTheHighestListedAndResizesTheWindow)
{
    auto& modes = plat::HeadlessAdapterScript().modes;
    std::erase_if(modes, [](const D3DDISPLAYMODE& m) { return m.Width == 1600 || m.Width == 1024; });
    g_nVideoMode = 3;
    ASSERT_EQ(Start(), 0);
    EXPECT_EQ(g_nVideoMode, 2);
    EXPECT_EQ(g_D3DRender.m_PresentParams.BackBufferWidth, 1280u);
    EXPECT_EQ(plat::GetWindowInfo(m_window)->width, 1280);
    EXPECT_EQ(plat::GetWindowInfo(m_window)->height, 1024);
    EXPECT_FLOAT_EQ(g_D3DRender.m_fScaleX, 1280.0f / 800.0f);
}

TEST_F(RenderTest, SupportedModeKeepsTheWindowAsCreated)
{
    ASSERT_EQ(Start(), 0);
    EXPECT_EQ(g_nVideoMode, 1);
    EXPECT_EQ(plat::GetWindowInfo(m_window)->width, 1024);
}

TEST_F(RenderTest, EditorModeUsesTheGivenSizeWithUnitScale)
{
    g_bEditorMode = 1;
    ASSERT_EQ(Start(TRUE, 640, 480), 0);
    EXPECT_EQ(g_D3DRender.m_PresentParams.BackBufferWidth, 640u);
    EXPECT_EQ(g_D3DRender.m_PresentParams.BackBufferHeight, 480u);
    EXPECT_FLOAT_EQ(g_D3DRender.m_fScaleX, 1.0f);
    EXPECT_FLOAT_EQ(g_D3DRender.m_fScaleY, 1.0f);
}

TEST_F(RenderTest, EditorModeWithoutASizeUsesTheModesSize)
{
    g_bEditorMode = 1;
    ASSERT_EQ(Start(TRUE, 0, 0), 0);
    EXPECT_EQ(g_D3DRender.m_PresentParams.BackBufferWidth, 1024u);
    EXPECT_EQ(g_D3DRender.m_PresentParams.BackBufferHeight, 768u);
    EXPECT_FLOAT_EQ(g_D3DRender.m_fScaleX, 1.0f);
}

struct FailureCase {
    const char* what;
    void (*arrange)();
    const char* message;
    HRESULT result;
    bool freed;
};

void PrintTo(const FailureCase& c, std::ostream* os)
{
    *os << c.what;
}

class RenderFailureTest : public RenderTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(RenderFailureTest, ShowsItsMessageAndReleasesWhatWasMade)
{
    const FailureCase& c = GetParam();
    c.arrange();
    EXPECT_EQ(Start(), c.result);
    EXPECT_STREQ(plat::LastMessageBoxText(), c.message);
    EXPECT_STREQ(plat::LastMessageBoxCaption(), g_pszGameName);
    EXPECT_EQ(Log().find("FreeD3DRender() start") != std::string::npos, c.freed);
    EXPECT_EQ(g_D3DRender.m_pDevice, nullptr);
    EXPECT_EQ(g_D3DRender.m_pD3D, nullptr);
    EXPECT_EQ(g_D3DRender.m_pEffect, nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, RenderFailureTest,
    ::testing::Values(
        FailureCase{"no Direct3D", [] { plat::HeadlessAdapterScript().available = false; },
                    "Could not create Direct3D 9.0!\nPlease install DirectX 9.0 first!", -1, false},
        FailureCase{"no back-buffer format", [] { plat::HeadlessAdapterScript().backBufferFormats.clear(); },
                    "Check device type failed!", -1, true},
        FailureCase{"no depth format", [] { plat::HeadlessAdapterScript().depthFormats.clear(); },
                    "Check depth buffer match failed!", -1, true},
        FailureCase{"none of the four modes",
                    [] {
                        std::erase_if(plat::HeadlessAdapterScript().modes,
                                      [](const D3DDISPLAYMODE& m) { return m.Width != 640; });
                    },
                    "Enum and check video modes failed!", -1, true},
        FailureCase{"no device caps",
                    [] { plat::HeadlessAdapterScript().deviceCapsResult = D3DERR_NOTAVAILABLE; },
                    "Check shader support failed!", -1, true},
        FailureCase{"no device",
                    [] { plat::HeadlessAdapterScript().createDeviceResult = D3DERR_OUTOFVIDEOMEMORY; },
                    "Could not create Direct3DDevice9!", D3DERR_OUTOFVIDEOMEMORY, true},
        FailureCase{"no technique file", [] { std::filesystem::remove("Data/Misc/RenderTechniques_20.dat"); },
                    "Could not create render technique!", E_FAIL, true},
        FailureCase{"technique file cut short in its archive",
                    [] {
                        ASSERT_TRUE(tools::PackDataTree("."));
                        std::filesystem::resize_file("Data/World.pak",
                                                     std::filesystem::file_size("Data/World.pak") - 100);
                        g_bFileManager = 1;
                        g_FileManager.Init();
                    },
                    "Could not create render technique!", E_FAIL, true},
        FailureCase{"empty technique file", [] { test::WriteWholeFile("Data/Misc/RenderTechniques_20.dat", ""); },
                    "Could not create render technique!", E_FAIL, true}),
    [](const ::testing::TestParamInfo<FailureCase>& c) {
        std::string name = c.param.what;
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return name;
    });

TEST_F(RenderTest, CompilerErrorsAreShownBeforeTheSetUpGivesUp)
{
    test::WriteWholeFile("Data/Misc/RenderTechniques_20.dat", "technique broken\n    pass p0 nowhere -\nend\n");
    EXPECT_EQ(Start(), D3DXERR_INVALIDDATA);
    EXPECT_EQ(plat::MessageBoxCount(), 2u);
    const std::string log = Log();
    EXPECT_NE(log.find("Create render techniques failed!\nline 2: unknown shader 'nowhere'"), std::string::npos)
        << log;
    EXPECT_STREQ(plat::LastMessageBoxText(), "Could not create render technique!");
    EXPECT_EQ(g_D3DRender.m_pDevice, nullptr);
}

TEST_F(RenderTest, MissingEnvironmentMapIsReportedAndSetUpGoesOn)
{
    std::filesystem::remove("Data/Misc/StaticEnvMap.dds");
    EXPECT_EQ(Start(), 0);
    EXPECT_STREQ(plat::LastMessageBoxText(), "Could not create cube texture!");
    EXPECT_EQ(g_D3DRender.m_pStaticEnvMap, nullptr);
    EXPECT_NE(g_D3DRender.m_pEffect, nullptr);
}

TEST_F(RenderTest, StartedRendererHoldsTheEffectMapDefaultTexturesAndStates)
{
    ASSERT_EQ(Start(), 0);
    EXPECT_EQ(plat::MessageBoxCount(), 0u);
    ASSERT_NE(g_D3DRender.m_pEffect, nullptr);
    ASSERT_NE(g_D3DRender.m_pStaticEnvMap, nullptr);
    IDirect3DBaseTexture9* bound = nullptr;
    ASSERT_EQ(g_D3DRender.m_pEffect->GetTexture("texCubeMap1", &bound), D3D_OK);
    EXPECT_EQ(bound, g_D3DRender.m_pStaticEnvMap);
    if (bound)
        bound->Release();
    EXPECT_EQ(g_D3DRender.m_pszTechnique, nullptr);
    for (TextureId id : {g_D3DRender.m_nLightMapTexture, g_D3DRender.m_nBlackTexture, g_D3DRender.m_nWhiteTexture})
        EXPECT_NE(g_D3DRender.GetTexture(id), nullptr);
    DWORD value = 0;
    Device()->GetRenderState(D3DRS_LIGHTING, &value);
    EXPECT_EQ(value, 1u);
    Device()->GetRenderState(D3DRS_CULLMODE, &value);
    EXPECT_EQ(value, DWORD(D3DCULL_CW));
    Device()->GetRenderState(D3DRS_SPECULARENABLE, &value);
    EXPECT_EQ(value, DWORD(FALSE)); // the white material has no specular colour
    Device()->GetTextureStageState(1, D3DTSS_COLOROP, &value);
    EXPECT_EQ(value, DWORD(D3DTOP_DISABLE));
    Device()->GetTextureStageState(0, D3DTSS_COLOROP, &value);
    EXPECT_EQ(value, DWORD(D3DTOP_MODULATE));
    D3DXVECTOR4 fog;
    g_D3DRender.m_pEffect->GetVector("FogParam", &fog);
    EXPECT_FLOAT_EQ(fog.x, 300.0f);
    EXPECT_FLOAT_EQ(fog.y, 600.0f);
    EXPECT_FLOAT_EQ(fog.w, 1.0f);
}

TEST_F(RenderTest, ReleaseGivesEveryTextureBackWithoutALostLine)
{
    ASSERT_EQ(Start(), 0);
    g_D3DRender.FreeD3DRender();
    const std::string log = Log();
    EXPECT_NE(log.find("CD3DRender::FreeD3DRender() done!"), std::string::npos);
    EXPECT_EQ(log.find("Texture lost!"), std::string::npos) << log;
    EXPECT_EQ(g_D3DRender.m_pDevice, nullptr);
    EXPECT_EQ(g_D3DRender.m_pEffect, nullptr);
    EXPECT_EQ(g_D3DRender.m_pStaticEnvMap, nullptr);
    for (int i = 0; i < MAX_TEXTURES; ++i)
        ASSERT_EQ(g_D3DRender.m_TextureManager.m_pTextures[i], nullptr);
}

TEST_F(RenderTest, ReleaseIsSafeOnARendererNeverStartedAndWhenRepeated)
{
    auto render = std::make_unique<CD3DRender>();
    EXPECT_EQ(render->FreeD3DRender(), 0);
    EXPECT_EQ(render->FreeD3DRender(), 0);
    render->OnLostDevice();
    EXPECT_EQ(render->OnResetDevice(), E_FAIL);
    EXPECT_EQ(render->PresentFrame(), 0);
    render->SetTexture(0, 1);
    render->SetTechnique("techDirectLights");
    ASSERT_EQ(Start(), 0);
    g_D3DRender.FreeD3DRender();
    EXPECT_EQ(g_D3DRender.FreeD3DRender(), 0);
}

// The set-up's own reset step compiles the effect a second time; when that
// fails the set-up fails too.
class SecondCompileFails : public CD3DRender {
public:
    HRESULT CreateRenderTechniques() override
    {
        return ++m_nCompiles == 2 ? D3DXERR_INVALIDDATA : CD3DRender::CreateRenderTechniques();
    }
    int m_nCompiles = 0;
};

TEST_F(RenderTest, FailedResetStepFailsTheSetUp)
{
    auto render = std::make_unique<SecondCompileFails>();
    EXPECT_EQ(render->InitD3DRender(m_window, TRUE), D3DXERR_INVALIDDATA);
    EXPECT_EQ(render->m_nCompiles, 2);
    EXPECT_STREQ(plat::LastMessageBoxText(), "Could not create render technique!");
    EXPECT_EQ(render->m_pDevice, nullptr);
    EXPECT_EQ(render->m_pD3D, nullptr);
}

TEST_F(RenderTest, SharedDefaultTextureKeepsItsOtherUserAtRelease)
{
    ASSERT_EQ(Start(), 0);
    const TextureId white = g_D3DRender.LoadTexture("Data/Misc/White.bmp");
    ASSERT_EQ(white, g_D3DRender.m_nWhiteTexture);
    g_D3DRender.ReleaseDefaultResources();
    g_D3DRender.OnLostDevice();
    EXPECT_NE(g_D3DRender.GetTexture(white), nullptr);
    EXPECT_EQ(g_D3DRender.m_TextureManager.m_nRefCount[white], 1u);
    g_D3DRender.ReleaseTexture(white);
}

} // namespace
