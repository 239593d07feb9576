// The drawing device sends GL only what changed since the draw before; each
// kind of change between two draws must still reach the frame.
#include "GlFixture.h"

#include <cstring>
#include <functional>

namespace gltest {
namespace {

class DrawStateTest : public GlDeviceTest {
protected:
    void SetUp() override
    {
        GlDeviceTest::SetUp();
        red = MakeTexture(1, 1, {0xFFFF0000});
        green = MakeTexture(1, 1, {0xFF00FF00});
        device->SetRenderState(D3DRS_ZENABLE, FALSE);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        device->SetTexture(0, red);
    }
    void TearDown() override
    {
        device->SetTexture(0, nullptr);
        red->Release();
        green->Release();
        GlDeviceTest::TearDown();
    }

    IDirect3DTexture9* red = nullptr;
    IDirect3DTexture9* green = nullptr;
};

// Each step changes one thing after a first draw and expects the centre
// pixel of a second, identical draw to show it.
TEST_F(DrawStateTest, EachChangeBetweenDrawsReachesTheFrame)
{
    struct Step {
        const char* name;
        std::function<void()> change;
        std::uint32_t expected;
        std::function<void()> undo;
    };
    const Step steps[] = {
        {"another texture", [&] { device->SetTexture(0, green); }, 0xFF00FF00, [&] { device->SetTexture(0, red); }},
        {"new texture contents",
         [&] {
             D3DLOCKED_RECT locked{};
             red->LockRect(0, &locked, nullptr, 0);
             const std::uint32_t blue = 0xFF0000FF;
             std::memcpy(locked.pBits, &blue, 4);
             red->UnlockRect(0);
         },
         0xFF0000FF,
         [&] {
             D3DLOCKED_RECT locked{};
             red->LockRect(0, &locked, nullptr, 0);
             const std::uint32_t back = 0xFFFF0000;
             std::memcpy(locked.pBits, &back, 4);
             red->UnlockRect(0);
         }},
        {"additive blending",
         [&] {
             device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
             device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
             device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
         },
         0xFFFF4040, [&] { device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE); }},
        {"colour writes off", [&] { device->SetRenderState(D3DRS_COLORWRITEENABLE, 0); }, 0xFF404040,
         [&] { device->SetRenderState(D3DRS_COLORWRITEENABLE, 0xF); }},
        {"texture factor instead of the texture",
         [&] {
             device->SetRenderState(D3DRS_TEXTUREFACTOR, 0xFF102030);
             device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
             device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TFACTOR);
         },
         0xFF102030,
         [&] {
             device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
             device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
         }},
        {"culling of the quad's clockwise faces", [&] { device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW); },
         0xFF404040, [&] { device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE); }},
    };
    for (const Step& step : steps) {
        for (int draw = 0; draw < 2; ++draw) {
            device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF404040, 1.0f, 0);
            DrawRect(0, 0, float(kWidth), float(kHeight), 0xFFFFFFFF);
            const std::uint32_t centre = Frame().At(kWidth / 2, kHeight / 2);
            if (draw == 0) {
                EXPECT_TRUE(Near(centre, 0xFFFF0000)) << step.name << " before: " << std::hex << centre;
                step.change();
            } else {
                EXPECT_TRUE(Near(centre, step.expected)) << step.name << ": " << std::hex << centre;
            }
        }
        step.undo();
    }
}

// Drawing into a texture and back: the framebuffer follows the target, and
// the vertex colours of a rewritten buffer are drawn anew.
TEST_F(DrawStateTest, TargetsAndBufferContentsChangeBetweenDraws)
{
    IDirect3DTexture9* target = nullptr;
    IDirect3DSurface9* level = nullptr;
    MakeTarget(32, 32, &target, &level);
    IDirect3DSurface9* back = nullptr;
    device->GetRenderTarget(0, &back);

    struct ColouredVertex {
        float x, y, z, rhw;
        D3DCOLOR color;
    };
    IDirect3DVertexBuffer9* vb = nullptr;
    IDirect3DIndexBuffer9* ib = nullptr;
    const DWORD fvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE;
    ASSERT_EQ(device->CreateVertexBuffer(4 * sizeof(ColouredVertex), 0, fvf, D3DPOOL_MANAGED, &vb, nullptr), D3D_OK);
    ASSERT_EQ(device->CreateIndexBuffer(12, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib, nullptr), D3D_OK);
    auto fill = [&](D3DCOLOR color, float size) {
        ColouredVertex* v = nullptr;
        vb->Lock(0, 0, reinterpret_cast<void**>(&v), 0);
        v[0] = {0, 0, 0.5f, 1, color};
        v[1] = {size, 0, 0.5f, 1, color};
        v[2] = {0, size, 0.5f, 1, color};
        v[3] = {size, size, 0.5f, 1, color};
        vb->Unlock();
    };
    WORD* indices = nullptr;
    ib->Lock(0, 0, reinterpret_cast<void**>(&indices), 0);
    const WORD quad[6] = {0, 1, 2, 2, 1, 3};
    std::memcpy(indices, quad, sizeof quad);
    ib->Unlock();
    auto drawBuffer = [&] {
        device->SetTexture(0, nullptr);
        device->SetFVF(fvf);
        device->SetStreamSource(0, vb, 0, sizeof(ColouredVertex));
        device->SetIndices(ib);
        ASSERT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2), D3D_OK);
    };

    device->SetRenderTarget(0, level);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    fill(0xFF20C0E0, 32);
    drawBuffer();
    device->SetRenderTarget(0, back);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    fill(0xFFE0C020, float(kWidth));
    drawBuffer();
    EXPECT_TRUE(Near(Frame().At(kWidth / 2, kHeight / 2), 0xFFE0C020));
    EXPECT_TRUE(Near(Frame(level).At(16, 16), 0xFF20C0E0)) << "the first colour stayed in the texture";

    device->SetTexture(0, target);
    DrawRect(0, 0, float(kWidth), float(kHeight), 0xFFFFFFFF);
    EXPECT_TRUE(Near(Frame().At(kWidth / 2, kHeight / 2), 0xFF20C0E0)) << "the target sampled as a texture";

    device->SetTexture(0, nullptr);
    device->SetStreamSource(0, nullptr, 0, 0);
    device->SetIndices(nullptr);
    back->Release();
    level->Release();
    target->Release();
    vb->Release();
    ib->Release();
}

} // namespace
} // namespace gltest
