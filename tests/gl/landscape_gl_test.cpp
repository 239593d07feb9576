// A road sector and the water drawn through the GL device: the road shows
// its asphalt on the ground, the water covers the basin in its colour.
#include "GlFixture.h"

#include "graphics/D3DRender.h"
#include "shell/FileManager.h"
#include "shell/Game.h"
#include "shell/Settings.h"
#include "support/TempDir.h"
#include "world/Landscape.h"
#include "world/LandscapeSector.h"
#include "writers/FileBytes.h"
#include "writers/ImageWriters.h"
#include "writers/RenderDataWriter.h"
#include "writers/SampleCity.h"
#include "writers/SectorFiles.h"

#include <cstdlib>
#include <string>

namespace gltest {
namespace {

void WriteSolid(const std::string& path, std::uint32_t argb)
{
    const tools::ArgbImage image = tools::SolidImage(4, 4, argb);
    if (path.size() > 4 && path.substr(path.size() - 4) == ".dds")
        ASSERT_TRUE(tools::WriteFileBytes(path, tools::EncodeDds({image}, tools::DdsPixels::A8R8G8B8, 1)));
    else if (path.size() > 4 && path.substr(path.size() - 4) == ".jpg")
        ASSERT_TRUE(tools::WriteFileBytes(path, tools::EncodeJpeg(image, 95)));
    else
        ASSERT_TRUE(tools::WriteFileBytes(path, tools::EncodeBmp(image, 24)));
}

class LandscapeGl : public GlDeviceTest {
protected:
    void SetUp() override
    {
        GlDeviceTest::SetUp();
        g_bFileManager = 0;
        g_bBmpToJpg = 0;
        g_FileManager.Init();
        g_D3DRender.SetDefaults();
        g_D3DRender.m_pDevice = device;
        CD3DRender& r = g_D3DRender;
        r.m_nZWriteEnable = r.m_nZEnable = r.m_nLighting = r.m_nSrcBlend = r.m_nDestBlend = RENDER_STATE_UNSET;
        r.m_nAlphaBlendEnable = r.m_nFogEnable = r.m_nCullMode = RENDER_STATE_UNSET;
        r.SetCullMode(D3DCULL_CW);
        device->SetRenderState(D3DRS_AMBIENT, 0xFFFFFFFF);
        const std::string land = "Data/Landscape/", surf = land + "Surfaces/";
        WriteSolid(land + "LandscapeTex.jpg", 0xFF20A020u);
        WriteSolid(land + "RoadsAlpha.bmp", 0xFF000000u);
        WriteSolid(surf + "DetailMap.bmp", 0xFF808080u);
        WriteSolid(surf + "Noise2D.bmp", 0xFF808080u);
        WriteSolid(surf + "Roads01.bmp", 0xFF606060u);
        WriteSolid(surf + "Roads02.bmp", 0xFFC03030u);
        WriteSolid(surf + "SideWalks.bmp", 0xFFB0B0B0u);
        WriteSolid(surf + "Sectoring.dds", 0x00FFFFFFu);
        WriteSolid(surf + "StreetDirt.dds", 0x00000000u);
        for (int i = 1; i <= 32; ++i) {
            char name[64];
            std::snprintf(name, sizeof name, "WaterA%02d.bmp", i);
            WriteSolid(surf + name, 0xFF3060A0u);
        }
        // 2 x 2 sectors of 10 cells of 4.0 at ground 16, a basin at 2 in
        // the middle of sector (0, 0), a road strip across that sector.
        tools::LandscapeMaps m;
        m.frame.cells = 20;
        m.frame.sectorsPerSide = 2;
        m.frame.cellsPerSector = 10;
        for (int row = 0; row < 20; ++row)
            for (int column = 0; column < 20; ++column)
                m.Altitude(column, row) = row >= 3 && row < 7 && column >= 3 && column < 7 ? 2.0f : 16.0f;
        ASSERT_TRUE(tools::WriteLandscapeFiles(".", m, 1));
        tools::SectorMeshData road;
        tools::SectorVertex a{-40, 16.05f, 4}, b{0, 16.05f, 4}, c{-40, 16.05f, 8}, d{0, 16.05f, 8};
        road.AddQuad(a, b, c, d);
        ASSERT_TRUE(tools::WriteFileBytes("Data/Landscape/00_00/Roads.msh", tools::EncodeSectorMesh(road)));
        ASSERT_EQ(g_Landscape.Init(), 1);
        g_Game.m_pCamera = &g_Game.m_Cameras[0];
    }
    void TearDown() override
    {
        g_Landscape.Release();
        g_Landscape.m_fWorldSize = 0.0f;
        if (g_D3DRender.m_pEffect)
            g_D3DRender.m_pEffect->Release();
        g_D3DRender.m_pEffect = nullptr;
        g_D3DRender.ReleaseAllTextures();
        g_D3DRender.SetDefaults();
        g_D3DRender.m_pDevice = nullptr;
        g_bFileManager = 1;
        g_bBmpToJpg = 1;
        g_nWater = 2;
        GlDeviceTest::TearDown();
    }
    // Looks from the eye at the target, streams and marks all visible.
    void Look(const D3DXVECTOR3& eye, const D3DXVECTOR3& target)
    {
        g_Game.m_pCamera->Init(&eye, &target, D3DX_PI / 4, float(kWidth) / kHeight, 1.0f, 500.0f, 0);
        g_Game.m_pCamera->UpdateView();
        g_Landscape.BuildSectors();
        g_Landscape.m_fViewDistance = 200.0f;
        g_Landscape.m_fRefreshTimer = -1.0f;
        g_Landscape.Update();
        g_Landscape.UpdateSectorVisibility();
        g_D3DRender.SetFogRange(1000.0f, 2000.0f);
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    }
    std::uint32_t Centre() { return Frame().At(kWidth / 2, kHeight / 2); }
    test::ScopedTempDir m_dir;
};

TEST_F(LandscapeGl, RoadLiesOnTheGroundInItsAsphalt)
{
    Look(D3DXVECTOR3(-20.0f, 40.0f, 6.0f), D3DXVECTOR3(-20.0f, 0.0f, 6.01f));
    g_Landscape.Render();
    // The mask is black: the first asphalt, times the white vertex colour.
    EXPECT_TRUE(Near(Centre(), 0xFF606060, 12)) << std::hex << Centre();
    // Beside the road the textured ground.
    const std::uint32_t ground = Frame().At(kWidth / 2, 4);
    EXPECT_GT(Green(ground), Red(ground) + 40) << std::hex << ground;
}

TEST_F(LandscapeGl, WaterCoversTheBasin)
{
    const struct {
        int water;
        bool effect;
        tools::ShaderLevel level;
    } cases[] = {{1, false, tools::ShaderLevel::None},
                 {2, true, tools::ShaderLevel::Vs11},
                 {2, true, tools::ShaderLevel::Ps14},
                 {2, true, tools::ShaderLevel::Ps20}};
    for (const auto& c : cases) {
        g_nWater = c.water;
        if (g_D3DRender.m_pEffect)
            g_D3DRender.m_pEffect->Release();
        g_D3DRender.m_pEffect = nullptr;
        // A new effect starts with no technique chosen, as the game's own
        // effect creation leaves it; a stale name would skip the selection.
        g_D3DRender.m_pszTechnique = nullptr;
        if (c.effect) {
            const std::string text = tools::TechniqueFileText(c.level);
            ASSERT_EQ(D3DXCreateEffect(device, text.data(), UINT(text.size()), nullptr, nullptr, 0, nullptr,
                                       &g_D3DRender.m_pEffect, nullptr),
                      D3D_OK);
        }
        Look(D3DXVECTOR3(-20.0f, 40.0f, 20.0f), D3DXVECTOR3(-20.0f, 0.0f, 20.01f));
        // The reflection of a dark sky.
        IDirect3DTexture9* reflection = MakeTexture(2, 2, std::vector<std::uint32_t>(4, 0xFF101010u));
        g_D3DRender.m_pReflectionTexture = reflection;
        g_Landscape.Render();
        const std::uint32_t dry = Centre();
        g_Landscape.RenderWater();
        const std::uint32_t wet = Centre();
        EXPECT_NE(wet, dry) << "water " << c.water << std::hex << " " << wet;
        if (!c.effect) {
            EXPECT_GT(Blue(wet), Red(wet) + 4) << std::hex << wet << ": the dark reflection in the water's colour";
        }
        g_D3DRender.m_pReflectionTexture = nullptr;
        reflection->Release();
    }
}

} // namespace
} // namespace gltest
