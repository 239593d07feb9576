// Interface sprites and the message box through the OpenGL back end: the
// texel-centred UVs put each texel of a sprite drawn at its texel size on
// one pixel, and the box's panel covers its rectangle of the 800 x 600 space.
#include "ScreenPixelsFixture.h"
#include "game/GameInterface.h"
#include "graphics/D3DRender.h"
#include "shell/GameTimer.h"

#include <memory>

namespace gltest {
namespace {

constexpr TextureId kSlot = 1000;

class InterfacePixelsTest : public ScreenPixelsTest {
protected:
    void TearDown() override
    {
        if (IDirect3DTexture9* t = g_D3DRender.m_TextureManager.m_pTextures[kSlot])
            t->Release();
        g_D3DRender.m_TextureManager.m_pTextures[kSlot] = nullptr;
        g_D3DRender.m_nCachedTexture = INVALID_TEXTURE_ID;
        ScreenPixelsTest::TearDown();
    }
};

TEST_F(InterfacePixelsTest, SpriteTexelsLandOnTheirPixels)
{
    // 16 x 16 texels in four 8 x 8 blocks: red, green / blue, white.
    std::vector<std::uint32_t> texels(16 * 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            texels[y * 16 + x] = y < 8 ? (x < 8 ? 0xFFFF0000u : 0xFF00FF00u) : (x < 8 ? 0xFF0000FFu : 0xFFFFFFFFu);
    g_D3DRender.m_TextureManager.m_pTextures[kSlot] = MakeTexture(16, 16, texels);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);

    CInterfaceSprite sprite;
    sprite.SetRect(kSlot, 16.0f, 0.0f, 0.0f, 16.0f, 16.0f);
    // Pixels (16, 8) to (32, 24) of the 128 x 96 frame.
    sprite.Draw(100.0f, 50.0f, 200.0f, 150.0f, 0xFFFFFFFFu);
    const plat::Pixels frame = Frame();
    for (UINT y = 0; y < kHeight; ++y)
        for (UINT x = 0; x < kWidth; ++x) {
            std::uint32_t expected = 0xFF000000u;
            if (x >= 16 && x < 32 && y >= 8 && y < 24)
                expected = texels[(y - 8) * 16 + (x - 16)];
            ASSERT_TRUE(Near(frame.At(x, y), expected)) << x << "," << y << " " << std::hex << frame.At(x, y);
        }
}

TEST_F(InterfacePixelsTest, MessageBoxPanelCoversItsRectangle)
{
    auto ui = std::make_unique<CGameInterface>();
    g_GameTimer.m_fRealDelta = 0.0f;
    ui->ShowMessage(6, 10.0f, nullptr, 0.0f);
    ui->m_fMessageFade = 1.0f;
    ui->DrawMessageBox();
    const plat::Pixels frame = Frame();
    // (205, 0)-(595, 290) scaled by 0.16: x 32.8..95.2, y 0..46.4; a pixel is
    // covered when its corner coordinate lies inside.
    for (UINT y = 0; y < kHeight; ++y)
        for (UINT x = 0; x < kWidth; ++x) {
            const bool inside = x >= 33 && x <= 95 && y <= 46;
            ASSERT_TRUE(Near(frame.At(x, y), inside ? 0xFFFEFEFEu : 0xFF000000u)) << x << "," << y << " " << std::hex << frame.At(x, y);
        }
}

} // namespace
} // namespace gltest
