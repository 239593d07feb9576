// Clearing and pre-transformed 2-D drawing: what the menus, fonts and the
// overlay draw with.
#include "GlFixture.h"

namespace gltest {
namespace {

TEST_F(GlDeviceTest, ClearFillsTheViewportOnly)
{
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF102030, 1.0f, 0), D3D_OK);
    D3DVIEWPORT9 vp{16, 8, 32, 24, 0.0f, 1.0f};
    device->SetViewport(&vp);
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFF0000, 1.0f, 0), D3D_OK);
    const plat::Pixels frame = Frame();
    ASSERT_EQ(frame.width, kWidth);
    EXPECT_TRUE(Near(frame.At(16, 8), 0xFFFF0000));
    EXPECT_TRUE(Near(frame.At(47, 31), 0xFFFF0000));
    EXPECT_TRUE(Near(frame.At(48, 31), 0xFF102030));
    EXPECT_TRUE(Near(frame.At(16, 32), 0xFF102030));
    EXPECT_TRUE(Near(frame.At(0, 0), 0xFF102030));
}

// The rectangle covers exactly the pixels whose centres lie inside it,
// with the top row at the top, whatever the viewport.
TEST_F(GlDeviceTest, ScreenRectLandsOnItsPixelsAndIsNotCulled)
{
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    // 800x600 interface space scaled to 128x96: (100, 50)-(300, 250) -> (16, 8)-(48, 40).
    const float sx = kWidth / 800.0f, sy = kHeight / 600.0f;
    DrawRect(100 * sx, 50 * sy, 300 * sx, 250 * sy, 0xFF00FF00);
    const plat::Pixels frame = Frame();
    for (UINT y = 0; y < kHeight; ++y)
        for (UINT x = 0; x < kWidth; ++x) {
            const bool inside = x >= 16 && x < 48 && y >= 8 && y < 40;
            ASSERT_TRUE(Near(frame.At(x, y), inside ? 0xFF00FF00 : 0xFF000000)) << x << "," << y;
        }
}

// Screen vertices are pixels of the whole target whatever the viewport and
// whatever 1/w they carry; the viewport only cuts what falls outside it.
TEST_F(GlDeviceTest, ScreenVerticesKeepTargetPixelsInsideASmallerViewport)
{
    for (float rhw : {1.0f, 0.25f}) {
        SCOPED_TRACE(rhw);
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        D3DVIEWPORT9 vp{16, 8, 64, 48, 0.0f, 1.0f};
        device->SetViewport(&vp);
        const ScreenVertex quad[6] = {
            {8, 4, 0.5f, rhw, 0xFFFFFFFF, 0, 0},  {40, 4, 0.5f, rhw, 0xFFFFFFFF, 0, 0},
            {8, 36, 0.5f, rhw, 0xFFFFFFFF, 0, 0}, {40, 4, 0.5f, rhw, 0xFFFFFFFF, 0, 0},
            {40, 36, 0.5f, rhw, 0xFFFFFFFF, 0, 0}, {8, 36, 0.5f, rhw, 0xFFFFFFFF, 0, 0},
        };
        device->SetFVF(kScreenFvf);
        ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, quad, sizeof(ScreenVertex)), D3D_OK);
        const plat::Pixels frame = Frame();
        for (UINT y = 0; y < kHeight; ++y)
            for (UINT x = 0; x < kWidth; ++x) {
                const bool inside = x >= 16 && x < 40 && y >= 8 && y < 36;
                ASSERT_TRUE(Near(frame.At(x, y), inside ? 0xFFFFFFFF : 0xFF000000)) << x << "," << y;
            }
        D3DVIEWPORT9 whole{0, 0, kWidth, kHeight, 0.0f, 1.0f};
        device->SetViewport(&whole);
    }
}

TEST_F(GlDeviceTest, CullModeDropsCounterClockwiseScreenTriangles)
{
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    const ScreenVertex counterClockwise[3] = {
        {10, 10, 0, 1, 0xFFFFFFFF, 0, 0}, {10, 50, 0, 1, 0xFFFFFFFF, 0, 0}, {50, 10, 0, 1, 0xFFFFFFFF, 0, 0}};
    device->SetFVF(kScreenFvf);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, counterClockwise, sizeof(ScreenVertex));
    EXPECT_TRUE(Near(Frame().At(15, 15), 0xFF000000));
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, counterClockwise, sizeof(ScreenVertex));
    EXPECT_TRUE(Near(Frame().At(15, 15), 0xFFFFFFFF));
}

// Texels land one to one on pixels when the quad starts half a pixel up and
// left, as the font drawing does.
TEST_F(GlDeviceTest, TexturedQuadMapsTexelsToPixels)
{
    std::vector<std::uint32_t> checker(16);
    for (int i = 0; i < 16; ++i)
        checker[size_t(i)] = ((i % 4 + i / 4) % 2) ? 0xFFFFFFFFu : 0xFF0000FFu;
    IDirect3DTexture9* texture = MakeTexture(4, 4, checker);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    device->SetTexture(0, texture);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    DrawRect(20 - 0.5f, 10 - 0.5f, 24 - 0.5f, 14 - 0.5f, 0xFFFFFFFF);
    const plat::Pixels frame = Frame();
    for (int i = 0; i < 16; ++i)
        EXPECT_TRUE(Near(frame.At(20 + i % 4, 10 + i / 4), checker[size_t(i)], 3)) << i;
    device->SetTexture(0, nullptr);
    texture->Release();
}

TEST_F(GlDeviceTest, UntexturedAlphaBlendingMixesWithTheFrame)
{
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF0000FF, 1.0f, 0);
    // Default stages and no texture: the stage that would read it passes
    // the vertex colour and alpha on.
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    DrawRect(0, 0, 64, 48, 0x80FF0000);
    const std::uint32_t p = Frame().At(10, 10);
    EXPECT_NEAR(Red(p), 128, 2);
    EXPECT_NEAR(Blue(p), 127, 2);
    EXPECT_EQ(Green(p), 0);
}

TEST_F(GlDeviceTest, PresentSucceedsHeadlessAndKeepsTheFrame)
{
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF336699, 1.0f, 0);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    DrawRect(0, 0, 8, 8, 0xFFFFFF00);
    ASSERT_EQ(device->EndScene(), D3D_OK);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    const plat::Pixels frame = Frame();
    EXPECT_TRUE(Near(frame.At(4, 4), 0xFFFFFF00));
    EXPECT_TRUE(Near(frame.At(100, 80), 0xFF336699));
}

} // namespace
} // namespace gltest
