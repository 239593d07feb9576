// The end of the frame and the lost-device cycle, frame by frame.
#include "render_fixture.h"

#include <filesystem>

namespace {

class RenderFrameTest : public test::StartedRenderTest {
protected:
    // One frame's end; returns PresentFrame's result and how many Present
    // and Reset calls reached the device.
    struct Frame {
        HRESULT result;
        size_t presents;
        size_t resets;
    };
    Frame EndFrame()
    {
        Calls().Clear();
        const HRESULT hr = g_D3DRender.PresentFrame();
        return {hr, Calls().Count(plat::D3DOp::Present), Calls().Count(plat::D3DOp::Reset)};
    }
};

TEST_F(RenderFrameTest, LostDeviceSkipsFramesUntilResetAndSkipsTheResetFrame)
{
    const Frame working = EndFrame();
    EXPECT_EQ(working.presents, 1u);

    plat::LoseDevice(Device());
    g_D3DRender.AddDrawnFaces(9);
    const Frame lost = EndFrame();
    EXPECT_EQ(lost.result, 0);
    EXPECT_EQ(g_D3DRender.m_bDeviceLost, 1);
    EXPECT_EQ(g_D3DRender.m_nFacesPerFrame[0], 9u) << "a lost frame leaves the counters";

    for (int i = 0; i < 3; ++i) {
        const Frame waiting = EndFrame();
        EXPECT_EQ(waiting.result, 0);
        EXPECT_EQ(waiting.presents, 0u);
        EXPECT_EQ(waiting.resets, 0u);
    }

    plat::AllowDeviceReset(Device());
    const Frame reset = EndFrame();
    EXPECT_EQ(reset.result, 0);
    EXPECT_EQ(reset.resets, 1u);
    EXPECT_EQ(reset.presents, 0u);
    EXPECT_EQ(g_D3DRender.m_bDeviceLost, 0);
    EXPECT_EQ(plat::GetDeviceCondition(Device()), plat::DeviceCondition::Working);

    const Frame after = EndFrame();
    EXPECT_EQ(after.presents, 1u);
    EXPECT_EQ(g_D3DRender.m_nFacesPerFrame[0], 0u);
    EXPECT_EQ(plat::MessageBoxCount(), 0u);
}

TEST_F(RenderFrameTest, ResetGivesANewEffectWithTheEnvironmentMapAndNoStaleTechnique)
{
    static const char kTechnique[] = "techDirectLights";
    g_D3DRender.SetTechnique(kTechnique);
    const TextureId white = g_D3DRender.m_nWhiteTexture;
    g_D3DRender.SetZWriteEnable(0);
    plat::LoseDevice(Device());
    EndFrame();
    plat::AllowDeviceReset(Device());
    EndFrame();

    ASSERT_NE(g_D3DRender.m_pEffect, nullptr);
    EXPECT_EQ(g_D3DRender.m_pszTechnique, nullptr);
    Calls().Clear();
    g_D3DRender.SetTechnique(kTechnique);
    EXPECT_EQ(Calls().Count(plat::D3DOp::EffectSetTechnique), 1u);
    IDirect3DBaseTexture9* cube = nullptr;
    g_D3DRender.m_pEffect->GetTexture("texCubeMap1", &cube);
    EXPECT_EQ(cube, g_D3DRender.m_pStaticEnvMap);
    if (cube)
        cube->Release();
    EXPECT_NE(g_D3DRender.GetTexture(g_D3DRender.m_nWhiteTexture), nullptr);
    EXPECT_EQ(g_D3DRender.m_nWhiteTexture, white);

    g_D3DRender.SetZWriteEnable(0);
    EXPECT_EQ(RenderStateSets(D3DRS_ZWRITEENABLE), 1u) << "the reset leaves every cache entry unset";
}

TEST_F(RenderFrameTest, ResetThatFindsTheDeviceLostAgainIsTriedNextFrame)
{
    plat::LoseDevice(Device());
    EndFrame();
    plat::AllowDeviceReset(Device());
    plat::ForceResetResult(Device(), D3DERR_DEVICELOST);
    const Frame first = EndFrame();
    EXPECT_EQ(first.result, 0);
    EXPECT_EQ(first.resets, 1u);
    EXPECT_EQ(g_D3DRender.m_bDeviceLost, 1);
    EXPECT_EQ(g_D3DRender.m_pEffect, nullptr);
    g_D3DRender.SetTechnique("techDirectLights"); // drawing goes on without an effect
    g_D3DRender.SetFogRange(1.0f, 2.0f);
    g_D3DRender.SetEffectTexture("texBaseMap1", nullptr);

    plat::ForceResetResult(Device(), D3D_OK);
    const Frame second = EndFrame();
    EXPECT_EQ(second.resets, 1u);
    EXPECT_EQ(g_D3DRender.m_bDeviceLost, 0);
    EXPECT_NE(g_D3DRender.m_pEffect, nullptr);
    EXPECT_EQ(g_bQuit, 0);
}

TEST_F(RenderFrameTest, ResetFailureAsksTheGameToQuit)
{
    plat::LoseDevice(Device());
    EndFrame();
    plat::AllowDeviceReset(Device());
    plat::ForceResetResult(Device(), D3DERR_INVALIDCALL);
    const Frame frame = EndFrame();
    EXPECT_EQ(frame.result, E_FAIL);
    EXPECT_EQ(g_bQuit, 1);
    EXPECT_STREQ(plat::LastMessageBoxText(),
                 "D3D device is lost,\nand application can't restore it!\nApplication will now exit...");
}

TEST_F(RenderFrameTest, FailedRecompileDuringResetQuitsWithoutFreeingTheRenderer)
{
    plat::LoseDevice(Device());
    EndFrame();
    std::filesystem::remove("Data/Misc/RenderTechniques_20.dat");
    plat::AllowDeviceReset(Device());
    const Frame frame = EndFrame();
    EXPECT_EQ(frame.result, E_FAIL);
    EXPECT_EQ(g_bQuit, 1);
    EXPECT_STREQ(plat::LastMessageBoxText(),
                 "D3D device is lost,\nand application can't restore it!\nApplication will now exit...");
    EXPECT_NE(g_D3DRender.m_pDevice, nullptr);
    EXPECT_EQ(g_D3DRender.m_pEffect, nullptr);
    EXPECT_EQ(Log().find("FreeD3DRender() start"), std::string::npos);

    // The rest of the frame and the next one run on a null effect.
    g_D3DRender.SetTechnique("techDirectLights");
    g_D3DRender.SetEffectTexture("texBaseMap1", nullptr);
    g_D3DRender.SetFogRange(1.0f, 2.0f);
    g_D3DRender.SetTexture(g_D3DRender.m_nWhiteTexture, 0);
    EXPECT_EQ(g_D3DRender.PresentFrame(), 0);
}

TEST_F(RenderFrameTest, PresentFailureIsShownAndTheFrameEnds)
{
    Device()->BeginScene(); // a Present inside a scene is refused
    g_D3DRender.AddDrawnFaces(3);
    const Frame frame = EndFrame();
    EXPECT_EQ(frame.result, 0);
    EXPECT_STREQ(plat::LastMessageBoxText(), "Present frame failed!");
    EXPECT_EQ(g_D3DRender.m_nFacesPerFrame[0], 0u);
    EXPECT_EQ(g_D3DRender.m_bDeviceLost, 0);
    Device()->EndScene();
}

} // namespace
