#include "GlFixture.h"

#include "support/HeadlessDevice.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace gltest {

void GlDeviceTest::SetUp()
{
    plat::UseGlDevice(true);
    d3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    D3DPRESENT_PARAMETERS params = test::WindowedParams(kWidth, kHeight);
    params.SwapEffect = D3DSWAPEFFECT_DISCARD;
    params.AutoDepthStencilFormat = D3DFMT_D24S8;
    params.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    ASSERT_EQ(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                &params, &device),
              D3D_OK);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
}

void GlDeviceTest::TearDown()
{
    if (device) {
        EXPECT_EQ(device->Release(), 0u);
    }
    if (d3d)
        d3d->Release();
    plat::UseGlDevice(false);
}

void GlDeviceTest::DrawRect(float x0, float y0, float x1, float y1, D3DCOLOR color, float u0, float v0, float u1,
                            float v1)
{
    // Clockwise on screen, as the game's quads are.
    const ScreenVertex quad[6] = {
        {x0, y0, 0.5f, 1.0f, color, u0, v0}, {x1, y0, 0.5f, 1.0f, color, u1, v0}, {x0, y1, 0.5f, 1.0f, color, u0, v1},
        {x1, y0, 0.5f, 1.0f, color, u1, v0}, {x1, y1, 0.5f, 1.0f, color, u1, v1}, {x0, y1, 0.5f, 1.0f, color, u0, v1},
    };
    device->SetFVF(kScreenFvf);
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, quad, sizeof(ScreenVertex)), D3D_OK);
}

void SceneTest::SetUp()
{
    GlDeviceTest::SetUp();
    D3DXMATRIX view;
    const D3DXVECTOR3 eye(0, 0, -5), at(0, 0, 0), up(0, 1, 0);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&proj, D3DX_PI / 3, float(kWidth) / kHeight, 1.0f, 100.0f);
    device->SetTransform(D3DTS_VIEW, &view);
    device->SetTransform(D3DTS_PROJECTION, &proj);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
}

void SceneTest::DrawQuad(float half, float z)
{
    const LitVertex quad[4] = {{-half, half, z, 0, 0, -1, 0, 0}, {half, half, z, 0, 0, -1, 1, 0},
                               {-half, -half, z, 0, 0, -1, 0, 1}, {half, -half, z, 0, 0, -1, 1, 1}};
    device->SetFVF(kLitFvf);
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(LitVertex)), D3D_OK);
}

plat::Pixels GlDeviceTest::Frame(IDirect3DSurface9* surface)
{
    plat::Pixels pixels;
    EXPECT_TRUE(plat::ReadRenderTarget(device, surface, &pixels));
    return pixels;
}

void GlDeviceTest::MakeTarget(UINT width, UINT height, IDirect3DTexture9** texture, IDirect3DSurface9** level)
{
    ASSERT_EQ(device->CreateTexture(width, height, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, texture,
                                    nullptr),
              D3D_OK);
    ASSERT_EQ((*texture)->GetSurfaceLevel(0, level), D3D_OK);
}

IDirect3DTexture9* GlDeviceTest::MakeTexture(UINT width, UINT height, const std::vector<std::uint32_t>& argb)
{
    IDirect3DTexture9* texture = nullptr;
    EXPECT_EQ(device->CreateTexture(width, height, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    for (UINT y = 0; y < height; ++y)
        std::memcpy(static_cast<std::uint8_t*>(locked.pBits) + size_t(y) * locked.Pitch, &argb[size_t(y) * width],
                    width * 4);
    texture->UnlockRect(0);
    return texture;
}

bool Near(std::uint32_t a, std::uint32_t b, int tolerance)
{
    for (int shift = 0; shift < 32; shift += 8)
        if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance)
            return false;
    return true;
}

static std::string FailureFolder()
{
    const std::string folder = std::string(MORVAINE_BUILD_DIR) + "/gl-failures";
    std::filesystem::create_directories(folder);
    return folder;
}

::testing::AssertionResult ImagesMatch(const std::string& name, const plat::Pixels& actual,
                                       const plat::Pixels& expected, int tolerance, size_t maxPixels)
{
    if (actual.width != expected.width || actual.height != expected.height)
        return ::testing::AssertionFailure() << name << ": size " << actual.width << "x" << actual.height
                                             << ", expected " << expected.width << "x" << expected.height;
    plat::Pixels diff = actual;
    size_t differing = 0;
    int worst = 0;
    for (size_t i = 0; i < actual.argb.size(); ++i) {
        int most = 0;
        for (int shift = 0; shift < 24; shift += 8)
            most = std::max(most, std::abs(int((actual.argb[i] >> shift) & 0xFF) -
                                           int((expected.argb[i] >> shift) & 0xFF)));
        worst = std::max(worst, most);
        const bool off = most > tolerance;
        differing += off ? 1 : 0;
        diff.argb[i] = off ? 0xFFFF0000u : 0xFF000000u | ((actual.argb[i] & 0xFEFEFE) >> 1);
    }
    if (differing <= maxPixels)
        return ::testing::AssertionSuccess();
    const std::string base = FailureFolder() + "/" + name;
    plat::WritePng((base + "-actual.png").c_str(), actual);
    plat::WritePng((base + "-diff.png").c_str(), diff);
    return ::testing::AssertionFailure() << name << ": " << differing << " pixels differ by more than " << tolerance
                                         << " (worst " << worst << ", allowed " << maxPixels << "); see " << base
                                         << "-actual.png and -diff.png";
}

::testing::AssertionResult MatchesReference(const std::string& name, const plat::Pixels& actual, int tolerance,
                                            size_t maxPixels)
{
    // The build names sources relative to its own folder, and the tests run
    // in temporary folders: the references are found from the source tree.
    const std::string ref =
        (std::filesystem::path(MORVAINE_SOURCE_DIR) / "tests" / "gl" / "ref" / (name + ".png")).string();
    const char* update = std::getenv("MORVAINE_UPDATE_REFERENCES");
    if (update && *update == '1') {
        plat::WritePng(ref.c_str(), actual);
        return ::testing::AssertionSuccess();
    }
    plat::Pixels expected;
    if (!plat::ReadPng(ref.c_str(), &expected))
        return ::testing::AssertionFailure() << "no reference image " << ref;
    return ImagesMatch(name, actual, expected, tolerance, maxPixels);
}

} // namespace gltest
