#include "SampleWorldFixture.h"

#include "graphics/D3DRender.h"
#include "shell/FileManager.h"
#include "shell/RenderPasses.h"
#include "shell/Settings.h"
#include "writers/FileBytes.h"
#include "writers/RenderDataWriter.h"

namespace gltest {

void SampleWorldTest::SetUp()
{
    GlDeviceTest::SetUp();
    ASSERT_TRUE(tools::WriteRenderTextures(m_dir.Path().string()));
    g_bFileManager = 0;
    g_FileManager.Init();
    g_nViewDistance = 600;
    g_WaterPassActive = g_CubePassActive = g_ShadowPassActive = 0;
    CD3DRender& r = g_D3DRender;
    r.SetDefaults();
    r.m_pDevice = device;
    const std::string text = tools::TechniqueFileText(tools::ShaderLevel::Vs11);
    ASSERT_EQ(D3DXCreateEffect(device, text.data(), UINT(text.size()), nullptr, nullptr, 0, nullptr, &r.m_pEffect,
                               nullptr),
              D3D_OK);
    r.m_bShader11 = 1;
    r.m_nZWriteEnable = r.m_nZEnable = r.m_nLighting = r.m_nSrcBlend = r.m_nDestBlend = RENDER_STATE_UNSET;
    r.m_nAlphaBlendEnable = r.m_nFogEnable = r.m_nCullMode = RENDER_STATE_UNSET;
    r.SetCullMode(D3DCULL_CW);
    r.SetFogEnable(0);
    m_world = std::make_unique<test::EffectWorld>();
}

void SampleWorldTest::TearDown()
{
    CD3DRender& r = g_D3DRender;
    if (r.m_pEffect)
        r.m_pEffect->Release();
    r.m_pEffect = nullptr;
    r.m_TextureManager.ReleaseAllTextures();
    m_world.reset();
    r.SetDefaults();
    g_bFileManager = 1;
    GlDeviceTest::TearDown();
}

void SampleWorldTest::WriteFiles(const std::vector<tools::SampleFile>& files)
{
    for (const tools::SampleFile& f : files)
        ASSERT_TRUE(tools::WriteFileBytes(m_dir.File(f.path), f.bytes)) << f.path;
}

} // namespace gltest
