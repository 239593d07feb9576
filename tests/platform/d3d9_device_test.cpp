#include "d3d9_fixture.h"

#include "platform/d3d9/Resources.h"

#include <cstring>
#include <vector>

namespace {

using test::HeadlessDeviceTest;
using plat::D3DOp;

TEST_F(HeadlessDeviceTest, LogKeepsStatesAndDrawsInOrder)
{
    IDirect3DVertexBuffer9* vb = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(3 * 20, 0, 0x102, D3DPOOL_MANAGED, &vb, nullptr), D3D_OK);
    Log().Clear();
    device->BeginScene();
    device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE2X);
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_BORDER);
    device->SetFVF(0x102);
    device->SetStreamSource(0, vb, 0, 20);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3D_OK);
    device->EndScene();

    const D3DOp expected[] = {D3DOp::BeginScene,   D3DOp::SetRenderState,  D3DOp::SetTextureStageState,
                              D3DOp::SetSamplerState, D3DOp::SetFVF,       D3DOp::SetStreamSource,
                              D3DOp::DrawPrimitive, D3DOp::EndScene};
    ASSERT_EQ(Log().Calls().size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i)
        EXPECT_EQ(Log().Calls()[i].op, expected[i]) << i;
    const plat::D3DCall& rs = Log().Calls()[1];
    EXPECT_EQ(rs.a, DWORD(D3DRS_ZWRITEENABLE));
    EXPECT_EQ(rs.b, DWORD(FALSE));
    const plat::D3DCall& tss = Log().Calls()[2];
    EXPECT_EQ(tss.a, 1u);
    EXPECT_EQ(tss.c, DWORD(D3DTOP_MODULATE2X));
    const plat::D3DCall& draw = Log().Calls()[6];
    EXPECT_EQ(draw.a, DWORD(D3DPT_TRIANGLELIST));
    EXPECT_EQ(draw.c, 1u);
    DWORD value = 0;
    ASSERT_TRUE(Log().LastRenderState(D3DRS_ZWRITEENABLE, &value));
    EXPECT_EQ(value, DWORD(FALSE));
    vb->Release();
}

TEST_F(HeadlessDeviceTest, StartsWithTheDocumentedDefaults)
{
    struct Case {
        D3DRENDERSTATETYPE state;
        DWORD value;
    } cases[] = {{D3DRS_ZENABLE, D3DZB_TRUE},       {D3DRS_CULLMODE, D3DCULL_CCW},  {D3DRS_FILLMODE, D3DFILL_SOLID},
                 {D3DRS_SHADEMODE, D3DSHADE_GOURAUD}, {D3DRS_LIGHTING, TRUE},       {D3DRS_SRCBLEND, D3DBLEND_ONE},
                 {D3DRS_DESTBLEND, D3DBLEND_ZERO},  {D3DRS_ALPHABLENDENABLE, FALSE}, {D3DRS_TEXTUREFACTOR, 0xFFFFFFFF}};
    for (const Case& c : cases) {
        DWORD value = 0;
        device->GetRenderState(c.state, &value);
        EXPECT_EQ(value, c.value) << c.state;
    }
    DWORD op = 0;
    device->GetTextureStageState(0, D3DTSS_COLOROP, &op);
    EXPECT_EQ(op, DWORD(D3DTOP_MODULATE));
    device->GetTextureStageState(3, D3DTSS_COLOROP, &op);
    EXPECT_EQ(op, DWORD(D3DTOP_DISABLE));
    D3DVIEWPORT9 vp{};
    device->GetViewport(&vp);
    EXPECT_EQ(vp.Width, 800u);
    EXPECT_EQ(vp.Height, 600u);
}

TEST_F(HeadlessDeviceTest, LostDeviceCycle)
{
    EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);
    plat::LoseDevice(device);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICELOST);
    D3DPRESENT_PARAMETERS pp = test::WindowedParams();
    EXPECT_EQ(device->Reset(&pp), D3DERR_DEVICELOST) << "a reset before the device can be reset";

    plat::AllowDeviceReset(device);
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    EXPECT_EQ(device->Reset(&pp), D3D_OK);
    EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    DWORD cull = 0;
    device->GetRenderState(D3DRS_CULLMODE, &cull);
    EXPECT_EQ(cull, DWORD(D3DCULL_CCW)) << "reset restores default states";
}

TEST_F(HeadlessDeviceTest, ResetNeedsDefaultPoolResourcesReleasedAndCanBeForcedToFail)
{
    IDirect3DTexture9* target = nullptr;
    ASSERT_EQ(device->CreateTexture(64, 64, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &target,
                                    nullptr),
              D3D_OK);
    IDirect3DTexture9* managed = nullptr;
    ASSERT_EQ(device->CreateTexture(64, 64, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &managed, nullptr), D3D_OK);
    device->SetTexture(0, target);
    EXPECT_EQ(plat::LiveDefaultPoolResources(device), 1);
    D3DPRESENT_PARAMETERS pp = test::WindowedParams(1024, 768);
    IDirect3DSurface9* level = nullptr;
    target->GetSurfaceLevel(0, &level);
    device->SetRenderTarget(0, level);
    level->Release();
    EXPECT_EQ(device->Reset(&pp), D3DERR_INVALIDCALL);
    D3DVIEWPORT9 vp{};
    device->GetViewport(&vp);
    EXPECT_EQ(vp.Width, 800u) << "the failed reset went back to the back buffer";
    target->Release(); // the bindings were dropped by the reset attempt
    EXPECT_EQ(plat::LiveDefaultPoolResources(device), 0);

    plat::ForceResetResult(device, E_FAIL);
    EXPECT_EQ(device->Reset(&pp), E_FAIL);
    plat::ForceResetResult(device, D3D_OK);
    EXPECT_EQ(device->Reset(&pp), D3D_OK);
    device->GetViewport(&vp);
    EXPECT_EQ(vp.Width, 1024u);
    managed->Release();
}

TEST_F(HeadlessDeviceTest, ViewportIsClampedToTheTargetAndResetWhenTheTargetChanges)
{
    D3DVIEWPORT9 vp{700, 500, 400, 400, 0.0f, 1.0f};
    device->SetViewport(&vp);
    device->GetViewport(&vp);
    EXPECT_EQ(vp.Width, 100u);
    EXPECT_EQ(vp.Height, 100u);

    IDirect3DTexture9* target = nullptr;
    ASSERT_EQ(device->CreateTexture(512, 512, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &target,
                                    nullptr),
              D3D_OK);
    IDirect3DSurface9* surface = nullptr;
    IDirect3DSurface9* saved = nullptr;
    target->GetSurfaceLevel(0, &surface);
    device->GetRenderTarget(0, &saved);
    EXPECT_EQ(device->SetRenderTarget(0, surface), D3D_OK);
    device->GetViewport(&vp);
    EXPECT_EQ(vp.X, 0u);
    EXPECT_EQ(vp.Width, 512u);
    EXPECT_EQ(vp.Height, 512u);
    device->SetRenderTarget(0, saved);
    device->GetViewport(&vp);
    EXPECT_EQ(vp.Width, 800u);
    saved->Release();
    surface->Release();
    EXPECT_EQ(target->Release(), 0u);
}

TEST_F(HeadlessDeviceTest, SurfacesShareTheirTexturesReferenceCount)
{
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(8, 8, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    EXPECT_EQ(texture->GetLevelCount(), 4u);
    IDirect3DSurface9* level = nullptr;
    ASSERT_EQ(texture->GetSurfaceLevel(3, &level), D3D_OK);
    IDirect3DSurface9* missing = nullptr;
    EXPECT_EQ(texture->GetSurfaceLevel(4, &missing), D3DERR_INVALIDCALL);
    EXPECT_EQ(texture->Release(), 1u) << "the surface keeps its texture alive";
    D3DSURFACE_DESC desc{};
    level->GetDesc(&desc);
    EXPECT_EQ(desc.Width, 1u);
    EXPECT_EQ(level->Release(), 0u);
}

TEST_F(HeadlessDeviceTest, BufferLocksRejectRangesPastTheEnd)
{
    IDirect3DVertexBuffer9* vb = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(100, 0, 0, D3DPOOL_MANAGED, &vb, nullptr), D3D_OK);
    void* data = nullptr;
    struct Case {
        UINT offset, size;
        HRESULT result;
    } cases[] = {{0, 0, D3D_OK}, {0, 100, D3D_OK}, {40, 60, D3D_OK},  {60, 0, D3D_OK},
                 {0, 101, D3DERR_INVALIDCALL}, {50, 51, D3DERR_INVALIDCALL}, {101, 0, D3DERR_INVALIDCALL},
                 {0xFFFFFFF0u, 0x20, D3DERR_INVALIDCALL}};
    for (const Case& c : cases) {
        EXPECT_EQ(vb->Lock(c.offset, c.size, &data, 0), c.result) << c.offset << "+" << c.size;
        if (c.result == D3D_OK)
            vb->Unlock();
    }
    ASSERT_EQ(vb->Lock(0, 0, &data, 0), D3D_OK);
    EXPECT_EQ(vb->Lock(0, 0, &data, 0), D3DERR_INVALIDCALL) << "locked twice";
    vb->Unlock();
    EXPECT_EQ(vb->Unlock(), D3DERR_INVALIDCALL);
    vb->Release();
}

TEST_F(HeadlessDeviceTest, DiscardKeepsTheContentsForPartialWrites)
{
    IDirect3DIndexBuffer9* ib = nullptr;
    ASSERT_EQ(device->CreateIndexBuffer(8, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib, nullptr), D3D_OK);
    WORD* indices = nullptr;
    ib->Lock(0, 0, reinterpret_cast<void**>(&indices), D3DLOCK_DISCARD);
    const WORD first[4] = {1, 2, 3, 4};
    std::memcpy(indices, first, sizeof first);
    ib->Unlock();
    ib->Lock(0, 0, reinterpret_cast<void**>(&indices), D3DLOCK_DISCARD);
    indices[0] = 9;
    ib->Unlock();
    ib->Lock(0, 0, reinterpret_cast<void**>(&indices), D3DLOCK_READONLY);
    EXPECT_EQ(indices[0], 9);
    EXPECT_EQ(indices[3], 4);
    ib->Unlock();
    ib->Release();
}

TEST_F(HeadlessDeviceTest, TextureLockRectPitchAndRectangles)
{
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(16, 8, 1, 0, D3DFMT_R5G6B5, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    D3DLOCKED_RECT whole{}, part{};
    ASSERT_EQ(texture->LockRect(0, &whole, nullptr, 0), D3D_OK);
    EXPECT_EQ(whole.Pitch, 32);
    texture->UnlockRect(0);
    const RECT inside{4, 2, 8, 4};
    ASSERT_EQ(texture->LockRect(0, &part, &inside, 0), D3D_OK);
    EXPECT_EQ(static_cast<BYTE*>(part.pBits) - static_cast<BYTE*>(whole.pBits), 2 * 32 + 4 * 2);
    texture->UnlockRect(0);
    for (const RECT& bad : {RECT{0, 0, 17, 8}, RECT{-1, 0, 4, 4}, RECT{4, 4, 4, 8}, RECT{0, 6, 16, 9}})
        EXPECT_EQ(texture->LockRect(0, &part, &bad, 0), D3DERR_INVALIDCALL);
    texture->Release();

    ASSERT_EQ(device->CreateTexture(8, 8, 1, 0, D3DFMT_DXT1, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    ASSERT_EQ(texture->LockRect(0, &whole, nullptr, 0), D3D_OK);
    EXPECT_EQ(whole.Pitch, 16) << "two blocks of 8 bytes a block row";
    texture->UnlockRect(0);
    const RECT unaligned{2, 0, 4, 4};
    EXPECT_EQ(texture->LockRect(0, &part, &unaligned, 0), D3DERR_INVALIDCALL);
    texture->Release();
}

TEST_F(HeadlessDeviceTest, RenderTargetsAndDepthSurfacesCannotBeLocked)
{
    IDirect3DTexture9* target = nullptr;
    ASSERT_EQ(device->CreateTexture(32, 32, 1, D3DUSAGE_RENDERTARGET, D3DFMT_R5G6B5, D3DPOOL_DEFAULT, &target,
                                    nullptr),
              D3D_OK);
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(target->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL);
    target->Release();
    EXPECT_EQ(device->CreateTexture(32, 32, 1, D3DUSAGE_RENDERTARGET, D3DFMT_R5G6B5, D3DPOOL_MANAGED, &target,
                                    nullptr),
              D3DERR_INVALIDCALL)
        << "render targets live in the default pool";
    IDirect3DSurface9* depth = nullptr;
    ASSERT_EQ(device->CreateDepthStencilSurface(512, 512, D3DFMT_D16, D3DMULTISAMPLE_NONE, 0, FALSE, &depth, nullptr),
              D3D_OK);
    EXPECT_EQ(depth->LockRect(&locked, nullptr, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetRenderTarget(0, depth), D3DERR_INVALIDCALL);
    depth->Release();
}

TEST_F(HeadlessDeviceTest, IndexedDrawsMustStayInsideTheBuffers)
{
    IDirect3DVertexBuffer9* vb = nullptr;
    IDirect3DIndexBuffer9* ib = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(4 * 24, 0, 0x142, D3DPOOL_MANAGED, &vb, nullptr), D3D_OK);
    ASSERT_EQ(device->CreateIndexBuffer(6 * 2, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib, nullptr), D3D_OK);
    WORD* indices = nullptr;
    ib->Lock(0, 0, reinterpret_cast<void**>(&indices), 0);
    const WORD quad[6] = {0, 1, 2, 2, 1, 3};
    std::memcpy(indices, quad, sizeof quad);
    ib->Unlock();
    device->SetFVF(0x142);
    device->SetStreamSource(0, vb, 0, 24);
    device->SetIndices(ib);
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2), D3D_OK);
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 1, 0, 4, 0, 2), D3DERR_INVALIDCALL)
        << "base vertex pushes index 3 past the last vertex";
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 3, 2), D3DERR_INVALIDCALL)
        << "reads past the last index";
    // The ranges are remembered per revision of the indices: a rewrite is
    // checked again, and the old contents count once restored.
    ib->Lock(0, 0, reinterpret_cast<void**>(&indices), 0);
    indices[5] = 4;
    ib->Unlock();
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2), D3DERR_INVALIDCALL)
        << "index 4 written after the first draws";
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, -1, 0, 4, 0, 2), D3DERR_INVALIDCALL)
        << "base vertex moves index 0 below the first vertex";
    ib->Lock(0, 0, reinterpret_cast<void**>(&indices), 0);
    indices[5] = 3;
    ib->Unlock();
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2), D3D_OK);
    device->SetStreamSource(0, vb, 0, 20);
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2), D3DERR_INVALIDCALL)
        << "stride smaller than the vertex format";
    device->SetStreamSource(0, nullptr, 0, 0);
    device->SetIndices(nullptr);
    vb->Release();
    ib->Release();
}

// Long runs of one shared buffer are checked by whole blocks of indices: an
// index past the vertices is found in the run's head, in a block wholly
// inside it or in its tail, not outside the run, and found again after a
// rewrite moves it between the draws.
TEST_F(HeadlessDeviceTest, LongIndexRunsFindAnIndexPastTheVerticesAnywhereInThem)
{
    constexpr UINT kVertices = 1000, kIndices = 4200;
    IDirect3DVertexBuffer9* vb = nullptr;
    IDirect3DIndexBuffer9* ib = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(kVertices * 24, 0, 0x142, D3DPOOL_MANAGED, &vb, nullptr), D3D_OK);
    ASSERT_EQ(device->CreateIndexBuffer(kIndices * 2, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib, nullptr), D3D_OK);
    device->SetFVF(0x142);
    device->SetStreamSource(0, vb, 0, 24);
    device->SetIndices(ib);
    const struct {
        UINT bad;          // where the index past the vertices sits
        UINT start, count; // the run drawn
        HRESULT expected;
    } cases[] = {
        {300, 0, 3000, D3DERR_INVALIDCALL},     // a whole block
        {3, 3, 3000, D3DERR_INVALIDCALL},       // the head, before the first whole block
        {2996, 0, 2997, D3DERR_INVALIDCALL},    // the tail, after the last whole block
        {2997, 0, 2997, D3D_OK},                // just past the run
        {299, 300, 3000, D3D_OK},               // just before the run
        {1030, 1024, 1536, D3DERR_INVALIDCALL}, // a run starting on a block's edge
        {4197, 600, 3597, D3D_OK},
        {4196, 600, 3597, D3DERR_INVALIDCALL},  // the buffer's last block is never whole
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bad);
        WORD* indices = nullptr;
        ASSERT_EQ(ib->Lock(0, 0, reinterpret_cast<void**>(&indices), 0), D3D_OK);
        for (UINT i = 0; i < kIndices; ++i)
            indices[i] = WORD(i % kVertices);
        indices[c.bad] = WORD(kVertices);
        ib->Unlock();
        // Other runs of the same buffer drawn first, as the grass fields do.
        for (UINT count = 600; count <= 2400; count += 600)
            device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, kVertices, 0, count / 3);
        EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, kVertices, c.start, c.count / 3),
                  c.expected);
    }
    device->SetStreamSource(0, nullptr, 0, 0);
    device->SetIndices(nullptr);
    vb->Release();
    ib->Release();
}

TEST_F(HeadlessDeviceTest, UserMemoryDrawsUnbindStreamAndIndices)
{
    IDirect3DVertexBuffer9* vb = nullptr;
    IDirect3DIndexBuffer9* ib = nullptr;
    device->CreateVertexBuffer(3 * 28, 0, 0x144, D3DPOOL_MANAGED, &vb, nullptr);
    device->CreateIndexBuffer(6, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib, nullptr);
    device->SetStreamSource(0, vb, 0, 28);
    device->SetIndices(ib);
    device->SetFVF(0x144);
    const float vertices[4][7] = {};
    const WORD quad[6] = {0, 1, 2, 2, 1, 3};
    EXPECT_EQ(device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 4, 2, quad, D3DFMT_INDEX16, vertices, 28),
              D3D_OK);
    EXPECT_EQ(device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 3, 2, quad, D3DFMT_INDEX16, vertices, 28),
              D3DERR_INVALIDCALL)
        << "index 3 outside the 3 vertices given";
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL) << "stream 0 was unbound";
    EXPECT_EQ(vb->Release(), 0u);
    EXPECT_EQ(ib->Release(), 0u);
}

TEST_F(HeadlessDeviceTest, ShaderConstantsLightsAndClipPlanesKeepTheirValues)
{
    const float offsets[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    EXPECT_EQ(device->SetVertexShaderConstantF(32, offsets, 4), D3D_OK);
    float back[16] = {};
    device->GetVertexShaderConstantF(32, back, 4);
    EXPECT_EQ(std::memcmp(back, offsets, sizeof back), 0);
    EXPECT_EQ(device->SetVertexShaderConstantF(254, offsets, 4), D3DERR_INVALIDCALL);
    const int counts[8] = {2, 0, 0, 0, 3, 0, 0, 0};
    EXPECT_EQ(device->SetVertexShaderConstantI(0, counts, 2), D3D_OK);
    EXPECT_EQ(device->SetPixelShaderConstantF(0, offsets, 1), D3D_OK);
    EXPECT_EQ(device->SetPixelShaderConstantI(15, counts, 1), D3D_OK);
    EXPECT_EQ(device->SetPixelShaderConstantI(15, counts, 2), D3DERR_INVALIDCALL) << "16 integer registers";
    int countsBack[4] = {};
    device->GetPixelShaderConstantI(15, countsBack, 1);
    EXPECT_EQ(countsBack[0], 2);

    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_POINT;
    light.Range = 25;
    EXPECT_EQ(device->SetLight(7, &light), D3D_OK);
    EXPECT_EQ(device->SetLight(8, &light), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->LightEnable(7, TRUE), D3D_OK);
    BOOL on = FALSE;
    device->GetLightEnable(7, &on);
    EXPECT_TRUE(on);

    const float plane[4] = {0, 1, 0, -5};
    float planeBack[4] = {};
    device->SetClipPlane(0, plane);
    device->GetClipPlane(0, planeBack);
    EXPECT_EQ(planeBack[3], -5.0f);
}

// A running game keeps no log: with it off a whole frame leaves nothing.
TEST_F(HeadlessDeviceTest, NothingIsKeptWithTheCallLogOff)
{
    plat::KeepDeviceCalls(false);
    const float triangle[3][4] = {{0, 0, 0, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}};
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    device->BeginScene();
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetFVF(D3DFVF_XYZRHW);
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, triangle, 16), D3D_OK);
    device->EndScene();
    device->Present(nullptr, nullptr, nullptr, nullptr);
    plat::KeepDeviceCalls(true);
    EXPECT_TRUE(Log().Calls().empty());
    DWORD blend = FALSE;
    device->GetRenderState(D3DRS_ALPHABLENDENABLE, &blend);
    EXPECT_EQ(blend, DWORD(TRUE)) << "states are kept all the same";
}

TEST_F(HeadlessDeviceTest, StretchRectCopiesIntoARenderTarget)
{
    IDirect3DTexture9* big = nullptr;
    IDirect3DTexture9* small = nullptr;
    device->CreateTexture(4, 4, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &big, nullptr);
    device->CreateTexture(2, 2, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &small, nullptr);
    IDirect3DSurface9* from = nullptr;
    IDirect3DSurface9* to = nullptr;
    big->GetSurfaceLevel(0, &from);
    small->GetSurfaceLevel(0, &to);
    EXPECT_EQ(device->StretchRect(from, nullptr, to, nullptr, D3DTEXF_LINEAR), D3D_OK);
    const RECT outside{0, 0, 5, 4};
    EXPECT_EQ(device->StretchRect(from, &outside, to, nullptr, D3DTEXF_LINEAR), D3DERR_INVALIDCALL);
    EXPECT_EQ(Log().Count(D3DOp::StretchRect), 2u);
    from->Release();
    to->Release();
    big->Release();
    small->Release();
}

TEST(HeadlessAdapter, ScriptedCapsModesAndBackBufferLimit)
{
    plat::ResetHeadlessAdapterScript();
    plat::HeadlessAdapter& script = plat::HeadlessAdapterScript();
    script.caps.VertexShaderVersion = D3DVS_VERSION(1, 1);
    script.caps.PixelShaderVersion = D3DPS_VERSION(1, 3);
    script.modes = {D3DDISPLAYMODE{800, 600, 60, D3DFMT_X8R8G8B8}, D3DDISPLAYMODE{1024, 768, 75, D3DFMT_X8R8G8B8}};
    script.depthFormats = {D3DFMT_D16};
    script.maxBackBufferCount = 2;
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    D3DCAPS9 caps{};
    d3d->GetDeviceCaps(0, D3DDEVTYPE_HAL, &caps);
    EXPECT_EQ(caps.VertexShaderVersion, D3DVS_VERSION(1, 1));
    EXPECT_LT(caps.PixelShaderVersion, D3DPS_VERSION(1, 4));
    EXPECT_EQ(d3d->GetAdapterModeCount(0, D3DFMT_X8R8G8B8), 2u);
    EXPECT_EQ(d3d->GetAdapterModeCount(0, D3DFMT_R5G6B5), 0u);
    D3DDISPLAYMODE mode{};
    EXPECT_EQ(d3d->EnumAdapterModes(0, D3DFMT_X8R8G8B8, 1, &mode), D3D_OK);
    EXPECT_EQ(mode.Width, 1024u);
    EXPECT_NE(d3d->CheckDepthStencilMatch(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, D3DFMT_D32), D3D_OK);
    EXPECT_EQ(d3d->CheckDepthStencilMatch(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, D3DFMT_D16), D3D_OK);

    D3DPRESENT_PARAMETERS pp = test::WindowedParams();
    pp.BackBufferCount = 3;
    IDirect3DDevice9* device = nullptr;
    EXPECT_NE(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, 0, &pp, &device), D3D_OK);
    EXPECT_EQ(pp.BackBufferCount, 2u) << "the count is lowered for a second try";
    ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, 0, &pp, &device), D3D_OK);
    EXPECT_EQ(device->Release(), 0u);
    d3d->Release();

    script.available = false;
    EXPECT_EQ(Direct3DCreate9(D3D_SDK_VERSION), nullptr);
    plat::ResetHeadlessAdapterScript();
}

// A drawing back end re-uploads a buffer when its revision moves: writes
// move it, draws that only read it do not.
TEST_F(HeadlessDeviceTest, BufferRevisionMovesOnWritesOnly)
{
    IDirect3DVertexBuffer9* vb = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(3 * 12, 0, D3DFVF_XYZ, D3DPOOL_MANAGED, &vb, nullptr), D3D_OK);
    const plat::d3d::BufferStore& store = static_cast<plat::d3d::VertexBuffer*>(vb)->Store();
    const std::uint32_t start = store.Revision();
    void* data = nullptr;
    vb->Lock(0, 0, &data, 0);
    vb->Unlock();
    const std::uint32_t written = store.Revision();
    EXPECT_NE(written, start);
    device->SetFVF(D3DFVF_XYZ);
    device->SetStreamSource(0, vb, 0, 12);
    device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1);
    EXPECT_EQ(store.Revision(), written);
    device->SetStreamSource(0, nullptr, 0, 0);
    vb->Release();
}

} // namespace
