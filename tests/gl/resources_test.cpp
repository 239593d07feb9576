// Texture kinds, coordinate generation, copies, shading modes and reset on
// the drawing device.
#include "GlFixture.h"

#include "support/HeadlessDevice.h"
#include "writers/ImageWriters.h"

#include <cstring>

namespace gltest {
namespace {

class ResourcesTest : public SceneTest {};

TEST_F(ResourcesTest, BlockCompressedTextureSamplesItsColour)
{
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_DXT1, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    const std::uint8_t block[8] = {0x00, 0xF8, 0x00, 0xF8, 0, 0, 0, 0}; // pure red, both end colours
    std::memcpy(locked.pBits, block, sizeof block);
    texture->UnlockRect(0);
    device->SetTexture(0, texture);
    DrawQuad(1.0f);
    EXPECT_TRUE(Near(Frame().At(kWidth / 2, kHeight / 2), 0xFFFF0000, 2));
    device->SetTexture(0, nullptr);
    texture->Release();
}

// DXT files stay in their blocks on this device, every level; drawn, they
// match the same file widened to A8R8G8B8 on the processor.
TEST_F(ResourcesTest, BlockFilesStayCompressedAndMatchTheirDecodedTwin)
{
    tools::ArgbImage image{16, 16, {}};
    for (unsigned y = 0; y < 16; ++y)
        for (unsigned x = 0; x < 16; ++x)
            image.pixels.push_back(0x80000000u | ((x * 16) << 16) | ((y * 16) << 8) | ((x ^ y) * 16));
    device->SetRenderState(D3DRS_ZENABLE, FALSE);
    for (tools::DdsPixels kind : {tools::DdsPixels::DXT1, tools::DdsPixels::DXT3, tools::DdsPixels::DXT5}) {
        const std::string file = tools::EncodeDds({image}, kind, 5);
        auto load = [&](D3DFORMAT format) {
            IDirect3DTexture9* texture = nullptr;
            EXPECT_EQ(D3DXCreateTextureFromFileInMemoryEx(device, file.data(), UINT(file.size()), 0, 0, D3DX_DEFAULT,
                                                          0, format, D3DPOOL_MANAGED, D3DX_FILTER_NONE,
                                                          D3DX_FILTER_NONE, 0, nullptr, nullptr, &texture),
                      D3D_OK);
            return texture;
        };
        IDirect3DTexture9* kept = load(D3DFMT_UNKNOWN);
        IDirect3DTexture9* widened = load(D3DFMT_A8R8G8B8);
        ASSERT_TRUE(kept && widened);
        D3DSURFACE_DESC desc{};
        kept->GetLevelDesc(0, &desc);
        EXPECT_NE(desc.Format, D3DFMT_A8R8G8B8) << "kept as blocks";
        EXPECT_EQ(kept->GetLevelCount(), 5u);
        plat::Pixels frames[2];
        for (int i = 0; i < 2; ++i) {
            device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
            device->SetTexture(0, i == 0 ? kept : widened);
            DrawQuad(1.0f);
            frames[i] = Frame();
        }
        EXPECT_TRUE(ImagesMatch("dxt-" + std::to_string(int(kind)), frames[0], frames[1], 2, 0));
        device->SetTexture(0, nullptr);
        kept->Release();
        widened->Release();
    }
}

// The shadow maps are 5:6:5 targets: drawn into and sampled back. The
// greys the shadow casters are drawn in come back as drawn, not rounded to
// five or six bits a channel, so the smoothed map and the shadows' depth
// follow the casters' own greys.
TEST_F(ResourcesTest, SixteenBitTargetGivesBackWhatWasDrawnIntoIt)
{
    IDirect3DTexture9* target = nullptr;
    ASSERT_EQ(device->CreateTexture(16, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_R5G6B5, D3DPOOL_DEFAULT, &target,
                                    nullptr),
              D3D_OK);
    IDirect3DSurface9* level = nullptr;
    IDirect3DSurface9* back = nullptr;
    target->GetSurfaceLevel(0, &level);
    device->GetRenderTarget(0, &back);
    for (const std::uint32_t colour : {0xFF08FC10u, 0xFF9F9F9Fu, 0xFFBFBFBFu, 0xFFDFDFDFu}) {
        SCOPED_TRACE(colour);
        device->SetRenderTarget(0, level);
        device->Clear(0, nullptr, D3DCLEAR_TARGET, colour, 1.0f, 0);
        device->SetRenderTarget(0, back);
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        device->SetTexture(0, target);
        DrawQuad(1.0f);
        EXPECT_TRUE(Near(Frame().At(kWidth / 2, kHeight / 2), colour, 1));
    }
    device->SetTexture(0, nullptr);
    back->Release();
    level->Release();
    target->Release();
}

// A texture drawn at half its size reads its second level when the mip
// filter asks for levels, and the first when it does not.
TEST_F(ResourcesTest, MipLevelsAreChosenBySize)
{
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(16, 16, 2, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    const std::uint32_t colours[2] = {0xFFFF0000, 0xFF00FF00};
    for (UINT level = 0; level < 2; ++level) {
        D3DLOCKED_RECT locked{};
        ASSERT_EQ(texture->LockRect(level, &locked, nullptr, 0), D3D_OK);
        const UINT size = 16 >> level;
        for (UINT i = 0; i < size * size; ++i)
            std::memcpy(static_cast<std::uint8_t*>(locked.pBits) + (i / size) * locked.Pitch + (i % size) * 4,
                        &colours[level], 4);
        texture->UnlockRect(level);
    }
    device->SetTexture(0, texture);
    for (DWORD mip : {D3DTEXF_NONE, D3DTEXF_POINT}) {
        device->SetSamplerState(0, D3DSAMP_MIPFILTER, mip);
        DrawRect(40, 40, 48, 48, 0xFFFFFFFF);
        EXPECT_TRUE(Near(Frame().At(44, 44), colours[mip == D3DTEXF_POINT ? 1 : 0], 2)) << mip;
    }
    device->SetTexture(0, nullptr);
    texture->Release();
}

// Each face of a cube map shows where the reflection vector points; the
// camera looks down +z at a mirror facing it, so it sees the -z face.
TEST_F(ResourcesTest, ReflectionVectorSamplesTheFacingCubeFace)
{
    static const D3DCOLOR kFaces[6] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00, 0xFF00FFFF, 0xFFFF00FF};
    IDirect3DCubeTexture9* cube = nullptr;
    ASSERT_EQ(device->CreateCubeTexture(2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &cube, nullptr), D3D_OK);
    for (DWORD face = 0; face < 6; ++face) {
        D3DLOCKED_RECT locked{};
        ASSERT_EQ(cube->LockRect(D3DCUBEMAP_FACES(face), 0, &locked, nullptr, 0), D3D_OK);
        for (int i = 0; i < 4; ++i)
            std::memcpy(static_cast<std::uint8_t*>(locked.pBits) + (i / 2) * locked.Pitch + (i % 2) * 4,
                        &kFaces[face], 4);
        cube->UnlockRect(D3DCUBEMAP_FACES(face), 0);
    }
    device->SetTexture(0, cube);
    device->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR);
    DrawQuad(1.0f);
    EXPECT_TRUE(Near(Frame().At(kWidth / 2, kHeight / 2), kFaces[D3DCUBEMAP_FACE_NEGATIVE_Z], 2));
    device->SetTexture(0, nullptr);
    cube->Release();
}

// The cube pass draws into each face of a cube target; the faces are then
// sampled like those of a loaded cube map.
TEST_F(ResourcesTest, CubeTargetFacesAreDrawnAndSampled)
{
    IDirect3DCubeTexture9* cube = nullptr;
    ASSERT_EQ(device->CreateCubeTexture(16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &cube, nullptr),
              D3D_OK);
    IDirect3DSurface9* back = nullptr;
    device->GetRenderTarget(0, &back);
    for (DWORD face = 0; face < 6; ++face) {
        IDirect3DSurface9* surface = nullptr;
        cube->GetCubeMapSurface(D3DCUBEMAP_FACES(face), 0, &surface);
        device->SetRenderTarget(0, surface);
        device->Clear(0, nullptr, D3DCLEAR_TARGET, face == D3DCUBEMAP_FACE_NEGATIVE_Z ? 0xFF00FF00 : 0xFFFF0000, 1.0f, 0);
        surface->Release();
    }
    device->SetRenderTarget(0, back);
    back->Release();
    device->SetTexture(0, cube);
    device->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR);
    DrawQuad(1.0f);
    EXPECT_TRUE(Near(Frame().At(kWidth / 2, kHeight / 2), 0xFF00FF00, 2));
    device->SetTexture(0, nullptr);
    cube->Release();
}

// The water's fixed-function reflection: camera-space positions through
// projection, a half scale with y turned over and a half shift, divided by
// w, give each pixel its own place on a screen-sized target.
TEST_F(ResourcesTest, ProjectedCameraSpaceCoordinatesMapTheScreen)
{
    std::vector<std::uint32_t> halves(size_t(kWidth) * kHeight);
    for (UINT y = 0; y < kHeight; ++y)
        for (UINT x = 0; x < kWidth; ++x)
            halves[size_t(y) * kWidth + x] = (x < kWidth / 2 ? 0xFFFF0000u : 0xFF0000FFu) | (y < kHeight / 2 ? 0x8000u : 0);
    IDirect3DTexture9* screen = MakeTexture(kWidth, kHeight, halves);
    D3DXMATRIX scale, shift, texture;
    D3DXMatrixScaling(&scale, 0.5f, -0.5f, 1.0f);
    D3DXMatrixTranslation(&shift, 0.5f, 0.5f, 0.0f);
    texture = proj * scale * shift;
    device->SetTransform(D3DTS_TEXTURE0, &texture);
    device->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, D3DTSS_TCI_CAMERASPACEPOSITION);
    device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT4 | D3DTTFF_PROJECTED);
    device->SetTexture(0, screen);
    DrawQuad(1.5f);
    const plat::Pixels frame = Frame();
    for (UINT x : {44u, 60u, 68u, 84u})
        for (UINT y : {30u, 44u, 52u, 66u})
            EXPECT_TRUE(Near(frame.At(x, y), halves[size_t(y) * kWidth + x], 2)) << x << "," << y;
    device->SetTexture(0, nullptr);
    screen->Release();
}

TEST_F(ResourcesTest, FlatShadingAndWireframe)
{
    const ScreenVertex tri[3] = {{10, 10, 0.5f, 1, 0xFFFF0000, 0, 0}, {90, 10, 0.5f, 1, 0xFF00FF00, 0, 0},
                                 {10, 90, 0.5f, 1, 0xFF0000FF, 0, 0}};
    device->SetFVF(kScreenFvf);
    device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, tri, sizeof(ScreenVertex));
    plat::Pixels frame = Frame();
    EXPECT_TRUE(Near(frame.At(30, 30), 0xFFFF0000)); // the first vertex's colour everywhere
    EXPECT_TRUE(Near(frame.At(70, 15), 0xFFFF0000));

    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    device->SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);
    device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, tri, sizeof(ScreenVertex));
    frame = Frame();
    EXPECT_TRUE(Near(frame.At(30, 30), 0xFF000000)); // inside stays empty
    EXPECT_TRUE(Near(frame.At(10, 50), 0xFFFF0000)); // the left edge is drawn
}

// The glow's first step: the frame copied into a smaller target, filtered.
TEST_F(ResourcesTest, StretchRectCopiesTheFrameIntoATarget)
{
    device->SetRenderState(D3DRS_ZENABLE, FALSE);
    DrawRect(0, 0, kWidth / 2.0f, float(kHeight), 0xFFFFFFFF);
    IDirect3DTexture9* target = nullptr;
    IDirect3DSurface9* back = nullptr;
    IDirect3DSurface9* level = nullptr;
    MakeTarget(64, 48, &target, &level);
    device->GetRenderTarget(0, &back);
    ASSERT_EQ(device->StretchRect(back, nullptr, level, nullptr, D3DTEXF_LINEAR), D3D_OK);
    const plat::Pixels copy = Frame(level);
    ASSERT_EQ(copy.width, 64u);
    EXPECT_TRUE(Near(copy.At(10, 10), 0xFFFFFFFF));
    EXPECT_TRUE(Near(copy.At(50, 40), 0xFF000000));
    level->Release();
    back->Release();
    target->Release();
}

// A depth surface larger than the target it is used with still tests depth.
TEST_F(ResourcesTest, LargerDepthSurfaceWorksWithASmallerTarget)
{
    IDirect3DTexture9* target = nullptr;
    IDirect3DSurface9* level = nullptr;
    MakeTarget(32, 32, &target, &level);
    device->SetRenderTarget(0, level);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    const ScreenVertex nearTri[3] = {{0, 0, 0.2f, 1, 0xFF00FF00, 0, 0}, {32, 0, 0.2f, 1, 0xFF00FF00, 0, 0},
                                     {0, 32, 0.2f, 1, 0xFF00FF00, 0, 0}};
    ScreenVertex farTri[3];
    std::memcpy(farTri, nearTri, sizeof farTri);
    for (ScreenVertex& v : farTri) {
        v.z = 0.8f;
        v.color = 0xFFFF0000;
    }
    device->SetFVF(kScreenFvf);
    device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, nearTri, sizeof(ScreenVertex));
    device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, farTri, sizeof(ScreenVertex));
    EXPECT_TRUE(Near(Frame(level).At(5, 5), 0xFF00FF00));
    level->Release();
    target->Release();
}

TEST_F(ResourcesTest, ResetGivesABackBufferOfTheNewSize)
{
    D3DPRESENT_PARAMETERS params = test::WindowedParams(64, 32);
    ASSERT_EQ(device->Reset(&params), D3D_OK);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF0000FF, 1.0f, 0);
    DrawRect(0, 0, 16, 16, 0xFFFFFFFF);
    const plat::Pixels frame = Frame();
    ASSERT_EQ(frame.width, 64u);
    ASSERT_EQ(frame.height, 32u);
    EXPECT_TRUE(Near(frame.At(8, 8), 0xFFFFFFFF));
    EXPECT_TRUE(Near(frame.At(40, 20), 0xFF0000FF));
}

} // namespace
} // namespace gltest

namespace gltest {
namespace {

// Vertex layouts of the game: each component is read from its offset (a
// wrong offset shows the wrong colour).
TEST_F(GlDeviceTest, VertexLayoutsReadEachComponentInPlace)
{
    IDirect3DTexture9* halves = MakeTexture(2, 1, {0xFFFF0000, 0xFF0000FF});
    device->SetTexture(0, halves);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_ZENABLE, FALSE);
    struct Case {
        const char* name;
        DWORD fvf;
        DWORD arg;      // what stage 0 selects
        DWORD texSet;   // which coordinate set stage 0 reads
        std::vector<float> tail; // the floats after the position of every vertex
        std::uint32_t expected;
    };
    auto bits = [](std::uint32_t colour) {
        float f;
        std::memcpy(&f, &colour, 4);
        return f;
    };
    const Case cases[] = {
        {"diffuse after the normal", D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEX1, D3DTA_DIFFUSE, 0,
         {0, 1, 0, bits(0xFF20C060), 0.25f, 0.5f}, 0xFF20C060},
        {"second coordinate set", D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEX2, D3DTA_TEXTURE, 1,
         {0, 1, 0, bits(0xFFFFFFFF), 0.25f, 0.5f, 0.75f, 0.5f}, 0xFF0000FF},
        {"first of three-float sets", 0x140312, D3DTA_TEXTURE, 0,
         {0, 1, 0, 0.25f, 0.5f, 9, 9, 9, 9, 9, 9}, 0xFFFF0000},
        {"plain texture", D3DFVF_XYZ | D3DFVF_TEX1, D3DTA_TEXTURE, 0, {0.75f, 0.5f}, 0xFF0000FF},
    };
    for (const Case& c : cases) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        device->SetTextureStageState(0, D3DTSS_COLORARG1, c.arg);
        device->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, c.texSet);
        // Identity transforms: positions are clip space; a triangle over the centre.
        const float corners[3][3] = {{-1, -1, 0.5f}, {3, -1, 0.5f}, {-1, 3, 0.5f}};
        std::vector<float> vertices;
        for (const auto& corner : corners) {
            vertices.insert(vertices.end(), corner, corner + 3);
            vertices.insert(vertices.end(), c.tail.begin(), c.tail.end());
        }
        const UINT stride = UINT((3 + c.tail.size()) * sizeof(float));
        ASSERT_EQ(stride, D3DXGetFVFVertexSize(c.fvf)) << c.name;
        device->SetFVF(c.fvf);
        device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, vertices.data(), stride);
        EXPECT_TRUE(Near(Frame().At(kWidth / 2, kHeight / 2), c.expected, 2)) << c.name;
    }
    device->SetTexture(0, nullptr);
    halves->Release();
}

} // namespace
} // namespace gltest
