#include "d3d9_fixture.h"

#include "platform/D3DX9.h"
#include "support/TempDir.h"
#include "writers/ImageWriters.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using tools::ArgbImage;
using tools::DdsPixels;

// Colours 5:6:5 holds exactly, so every format gives them back unchanged.
constexpr std::uint32_t kRed = 0x88FF0000, kGreen = 0x8800FF00, kBlue = 0x880000FF, kGrey = 0x88848284;

// 8x8 in four 4x4 quadrants: each compressed block holds one colour.
ArgbImage Quadrants(bool opaque)
{
    ArgbImage image{8, 8, {}};
    const std::uint32_t colours[4] = {kRed, kGreen, kBlue, kGrey};
    for (unsigned y = 0; y < 8; ++y)
        for (unsigned x = 0; x < 8; ++x) {
            const std::uint32_t c = colours[(y / 4) * 2 + x / 4];
            image.pixels.push_back(opaque ? c | 0xFF000000 : c);
        }
    return image;
}

class TextureLoadTest : public test::HeadlessDeviceTest {
protected:
    HRESULT Load(const std::string& bytes, D3DFORMAT format = D3DFMT_A8R8G8B8, UINT levels = 1)
    {
        Drop();
        return D3DXCreateTextureFromFileInMemoryEx(device, bytes.data(), UINT(bytes.size()), D3DX_DEFAULT,
                                                   D3DX_DEFAULT, levels, 0, format, D3DPOOL_MANAGED, D3DX_DEFAULT,
                                                   D3DX_DEFAULT, 0, &info, nullptr, &texture);
    }
    std::uint32_t Pixel(UINT level, UINT x, UINT y)
    {
        D3DLOCKED_RECT locked{};
        EXPECT_EQ(texture->LockRect(level, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
        std::uint32_t value = 0;
        std::memcpy(&value, static_cast<const BYTE*>(locked.pBits) + size_t(y) * locked.Pitch + x * 4, 4);
        texture->UnlockRect(level);
        return value;
    }
    D3DFORMAT Format()
    {
        D3DSURFACE_DESC desc{};
        texture->GetLevelDesc(0, &desc);
        return desc.Format;
    }
    void Drop()
    {
        if (texture)
            texture->Release();
        texture = nullptr;
    }
    void TearDown() override
    {
        Drop();
        test::HeadlessDeviceTest::TearDown();
    }
    IDirect3DTexture9* texture = nullptr;
    D3DXIMAGE_INFO info{};
};

TEST_F(TextureLoadTest, DdsPixelsReadBackAsWrittenInEveryFormat)
{
    struct Case {
        DdsPixels pixels;
        bool keepsAlpha;
        D3DFORMAT natural;
    } cases[] = {
        {DdsPixels::A8R8G8B8, true, D3DFMT_A8R8G8B8}, {DdsPixels::X8R8G8B8, false, D3DFMT_X8R8G8B8},
        {DdsPixels::R5G6B5, false, D3DFMT_R5G6B5},    {DdsPixels::DXT1, false, D3DFMT_A8R8G8B8},
        {DdsPixels::DXT3, true, D3DFMT_A8R8G8B8},     {DdsPixels::DXT5, true, D3DFMT_A8R8G8B8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.pixels));
        const std::string file = tools::EncodeDds({Quadrants(c.pixels == DdsPixels::DXT1)}, c.pixels, 1);
        ASSERT_EQ(Load(file), D3D_OK);
        const std::uint32_t alpha = c.keepsAlpha ? 0 : 0xFF000000;
        EXPECT_EQ(Pixel(0, 0, 0), kRed | alpha);
        EXPECT_EQ(Pixel(0, 7, 0), kGreen | alpha);
        EXPECT_EQ(Pixel(0, 0, 7), kBlue | alpha);
        EXPECT_EQ(Pixel(0, 5, 6), kGrey | alpha);
        EXPECT_EQ(info.Width, 8u);
        ASSERT_EQ(Load(file, D3DFMT_UNKNOWN), D3D_OK);
        EXPECT_EQ(Format(), c.natural);
    }
}

TEST_F(TextureLoadTest, TwoColourDxtBlocksAndTransparentDxt1Pixels)
{
    ArgbImage image = tools::SolidImage(4, 4, 0xFF0000FF);
    image.pixels[5] = 0xFFFF0000;
    image.pixels[10] = 0x00000000; // DXT1 keeps one transparent colour
    ASSERT_EQ(Load(tools::EncodeDds({image}, DdsPixels::DXT1, 1)), D3D_OK);
    EXPECT_EQ(Pixel(0, 0, 0), 0xFF0000FFu);
    EXPECT_EQ(Pixel(0, 1, 1), 0xFFFF0000u);
    EXPECT_EQ(Pixel(0, 2, 2), 0x00000000u);
}

TEST_F(TextureLoadTest, MissingMipLevelsAreBuiltAndFileLevelsUsed)
{
    ArgbImage image = tools::SolidImage(4, 4, 0xFFFFFFFF);
    for (int i = 0; i < 8; ++i)
        image.pixels[i] = 0xFF000000; // top half black
    ASSERT_EQ(Load(tools::EncodeDds({image}, DdsPixels::A8R8G8B8, 1), D3DFMT_A8R8G8B8, 0), D3D_OK);
    EXPECT_EQ(texture->GetLevelCount(), 3u);
    EXPECT_EQ(Pixel(1, 0, 0), 0xFF000000u);
    EXPECT_EQ(Pixel(1, 0, 1), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(2, 0, 0), 0xFF808080u) << "2x2 average rounded";

    ASSERT_EQ(Load(tools::EncodeDds({image}, DdsPixels::A8R8G8B8, 3), D3DFMT_A8R8G8B8, D3DX_DEFAULT), D3D_OK);
    EXPECT_EQ(info.MipLevels, 3u);
    EXPECT_EQ(Pixel(2, 0, 0), 0xFF808080u);
}

TEST_F(TextureLoadTest, CubeDdsLoadsEveryFace)
{
    const std::uint32_t colours[6] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00, 0xFF00FFFF, 0xFFFF00FF};
    std::vector<ArgbImage> faces;
    for (std::uint32_t c : colours)
        faces.push_back(tools::SolidImage(4, 4, c));
    const std::string file = tools::EncodeDds(faces, DdsPixels::DXT5, 3);
    IDirect3DCubeTexture9* cube = nullptr;
    ASSERT_EQ(D3DXCreateCubeTextureFromFileInMemoryEx(device, file.data(), UINT(file.size()), D3DX_DEFAULT,
                                                      D3DX_DEFAULT, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED,
                                                      D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr, &cube),
              D3D_OK);
    EXPECT_EQ(cube->GetLevelCount(), 3u);
    for (int face = 0; face < 6; ++face) {
        D3DLOCKED_RECT locked{};
        ASSERT_EQ(cube->LockRect(D3DCUBEMAP_FACES(face), 2, &locked, nullptr, 0), D3D_OK);
        std::uint32_t value = 0;
        std::memcpy(&value, locked.pBits, 4);
        EXPECT_EQ(value, colours[face]) << face;
        cube->UnlockRect(D3DCUBEMAP_FACES(face), 2);
    }
    cube->Release();
    EXPECT_EQ(Load(file), D3DXERR_INVALIDDATA) << "a cube is not a flat texture";
    const std::string flat = tools::EncodeDds({faces[0]}, DdsPixels::DXT5, 1);
    EXPECT_NE(D3DXCreateCubeTextureFromFileInMemoryEx(device, flat.data(), UINT(flat.size()), D3DX_DEFAULT,
                                                      D3DX_DEFAULT, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED,
                                                      D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr, &cube),
              D3D_OK);
    EXPECT_EQ(cube, nullptr);
}

// Palettised, run-length and 16-bit files read as the same pixels as their
// 24-bit twin (colours that five bits per channel hold, rows that need
// padding, runs and single pixels).
TEST_F(TextureLoadTest, EveryBmpKindMatchesItsTwentyFourBitTwin)
{
    ArgbImage image{5, 3, {}};
    const std::uint32_t colours[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
    for (unsigned y = 0; y < 3; ++y)
        for (unsigned x = 0; x < 5; ++x)
            image.pixels.push_back(colours[(x < 3 ? 0 : x) * (y + 1) % 4]);
    ASSERT_EQ(Load(tools::EncodeBmp(image, 24)), D3D_OK);
    std::vector<std::uint32_t> twin;
    for (unsigned y = 0; y < 3; ++y)
        for (unsigned x = 0; x < 5; ++x)
            twin.push_back(Pixel(0, x, y));
    for (int bits : {8, -8, 16}) {
        ASSERT_EQ(Load(tools::EncodeBmp(image, bits)), D3D_OK) << bits;
        EXPECT_EQ(info.Width, 5u);
        for (unsigned y = 0; y < 3; ++y)
            for (unsigned x = 0; x < 5; ++x)
                EXPECT_EQ(Pixel(0, x, y), twin[y * 5 + x]) << bits << " at " << x << "," << y;
    }
    std::string damaged = tools::EncodeBmp(image, -8);
    damaged.resize(damaged.size() - 6);
    damaged[22] = char(0x40); // and a height far past the runs given
    EXPECT_NE(Load(damaged), D3D_OK);
}

TEST_F(TextureLoadTest, BmpPixelsReadBackWithRowPaddingAndForcedFormat)
{
    ArgbImage image{3, 2, {0xFF102030, 0xFF405060, 0xFF708090, 0x80A0B0C0, 0xFFD0E0F0, 0xFF010203}};
    ASSERT_EQ(Load(tools::EncodeBmp(image, 24)), D3D_OK);
    EXPECT_EQ(Pixel(0, 2, 0), 0xFF708090u);
    EXPECT_EQ(Pixel(0, 0, 1), 0xFFA0B0C0u) << "24-bit files have no alpha";
    ASSERT_EQ(Load(tools::EncodeBmp(image, 32)), D3D_OK);
    EXPECT_EQ(Pixel(0, 0, 1), 0x80A0B0C0u);
    EXPECT_EQ(Pixel(0, 2, 1), 0xFF010203u);

    ASSERT_EQ(Load(tools::EncodeBmp(tools::SolidImage(2, 2, 0xFFFF0000), 24), D3DFMT_R5G6B5), D3D_OK);
    EXPECT_EQ(Format(), D3DFMT_R5G6B5);
    D3DLOCKED_RECT locked{};
    texture->LockRect(0, &locked, nullptr, 0);
    EXPECT_EQ(locked.Pitch, 4);
    EXPECT_EQ(*static_cast<const WORD*>(locked.pBits), 0xF800);
    texture->UnlockRect(0);
}

TEST_F(TextureLoadTest, JpegDecodesCloseToThePixelsWritten)
{
    ASSERT_EQ(Load(tools::EncodeJpeg(tools::SolidImage(16, 16, 0xFF3366CC), 95), D3DFMT_UNKNOWN), D3D_OK);
    EXPECT_EQ(Format(), D3DFMT_X8R8G8B8);
    const std::uint32_t p = Pixel(0, 9, 9);
    EXPECT_EQ(p >> 24, 0xFFu);
    EXPECT_NEAR(int((p >> 16) & 0xFF), 0x33, 3);
    EXPECT_NEAR(int((p >> 8) & 0xFF), 0x66, 3);
    EXPECT_NEAR(int(p & 0xFF), 0xCC, 3);
}

std::string Patched(std::string bytes, size_t offset, std::uint32_t value)
{
    bytes.replace(offset, sizeof value, reinterpret_cast<const char*>(&value), sizeof value);
    return bytes;
}

TEST_F(TextureLoadTest, DamagedFilesFailWithoutReadingOutside)
{
    const std::string dds = tools::EncodeDds({Quadrants(false)}, DdsPixels::A8R8G8B8, 4);
    const std::string bmp = tools::EncodeBmp(tools::SolidImage(5, 5, 0xFF123456), 24);
    const std::string jpeg = tools::EncodeJpeg(tools::SolidImage(8, 8, 0xFF123456), 90);
    const std::string palettised = tools::EncodeBmp(tools::SolidImage(5, 5, 0xFF123456), 8);
    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"dds cut short", dds.substr(0, dds.size() - 1)},
        {"dds header only", dds.substr(0, 100)},
        {"dds zero width", Patched(dds, 16, 0)},
        {"dds huge height", Patched(dds, 12, 100000)},
        {"dds too many mips", Patched(dds, 28, 5)},
        {"dds wrong header size", Patched(dds, 4, 100)},
        {"dds unknown fourcc", Patched(Patched(dds, 80, 4), 84, 0x12345678)},
        {"dds cube missing faces", Patched(dds, 112, 0x200 | 0x400)},
        {"bmp cut short", bmp.substr(0, bmp.size() - 2)},
        {"bmp offset past end", Patched(bmp, 10, 0x7FFFFFF0)},
        {"bmp huge width", Patched(bmp, 18, 0x40000000)},
        {"bmp 8 bit cut short", palettised.substr(0, palettised.size() - 3)},
        {"bmp 8 bit huge width", Patched(palettised, 18, 0x40000000)},
        {"bmp 24 bit run-length coded", Patched(bmp, 30, 1)},
        {"bmp info size past end", Patched(bmp, 14, 0x10000000)},
        {"jpeg header damaged", jpeg.substr(0, 2) + std::string(40, '\x11')},
        {"unknown signature", std::string(64, 'x')},
        {"three bytes", "DDS"},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(FAILED(Load(c.bytes))) << c.what;
        EXPECT_EQ(texture, nullptr) << c.what;
    }
    Load(jpeg.substr(0, jpeg.size() / 2)); // a cut JPEG may decode partly; it must not crash
}

TEST_F(TextureLoadTest, LoadsFromFilesByPath)
{
    test::ScopedTempDir dir;
    ASSERT_TRUE(tools::WriteImageFile("White.bmp", tools::EncodeBmp(tools::SolidImage(4, 4, 0xFFFFFFFF), 24)));
    ASSERT_EQ(D3DXCreateTextureFromFileExA(device, "White.bmp", D3DX_DEFAULT, D3DX_DEFAULT, 0, 0, D3DFMT_R5G6B5,
                                           D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr,
                                           &texture),
              D3D_OK);
    EXPECT_EQ(texture->GetLevelCount(), 3u);
    Drop();
    EXPECT_TRUE(FAILED(D3DXCreateTextureFromFileExA(device, "Missing.bmp", D3DX_DEFAULT, D3DX_DEFAULT, 0, 0,
                                                    D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0,
                                                    nullptr, nullptr, &texture)));
    EXPECT_EQ(texture, nullptr);
}

TEST_F(TextureLoadTest, CreatedTexturesHoldTheirLevels)
{
    ASSERT_EQ(D3DXCreateTexture(device, 8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
    EXPECT_EQ(texture->GetLevelCount(), 1u);
    Drop();
    ASSERT_EQ(device->CreateTexture(64, 32, 0, D3DUSAGE_AUTOGENMIPMAP, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture,
                                    nullptr),
              D3D_OK);
    EXPECT_EQ(texture->GetLevelCount(), 1u) << "the device builds the lower levels itself";
    texture->GenerateMipSubLevels();
    Drop();
    ASSERT_EQ(D3DXCreateTexture(device, 64, 32, 0, 0, D3DFMT_R5G6B5, D3DPOOL_MANAGED, &texture), D3D_OK);
    EXPECT_EQ(texture->GetLevelCount(), 7u);
    Drop();
    EXPECT_TRUE(FAILED(D3DXCreateTexture(device, 8192, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture)))
        << "beyond the card's texture size";
}

} // namespace

namespace {

// A one-byte-per-pixel DDS whose file ends right after its last pixel: the
// decoder must not read a second byte there (found by fuzzing).
TEST_F(TextureLoadTest, OneBytePixelsEndingTheFileAreReadInBounds)
{
    for (std::uint32_t pfFlags : {0x2u, 0x20000u}) { // alpha only, luminance
        std::vector<std::uint8_t> file(128 + 8 * 8, 0x7F);
        auto put = [&file](size_t at, std::uint32_t v) { std::memcpy(&file[at], &v, 4); };
        std::memcpy(file.data(), "DDS ", 4);
        put(4, 124);
        put(8, 0x1007);
        put(12, 8);
        put(16, 8);
        put(76, 32);
        put(80, pfFlags);
        put(84, 0);
        put(88, 8);
        for (size_t at = 92; at < 128; at += 4)
            put(at, 0);
        IDirect3DTexture9* made = nullptr;
        ASSERT_EQ(D3DXCreateTextureFromFileInMemoryEx(device, file.data(), static_cast<UINT>(file.size()), D3DX_DEFAULT,
                                                      D3DX_DEFAULT, 1, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED,
                                                      D3DX_FILTER_NONE, D3DX_FILTER_NONE, 0, nullptr, nullptr,
                                                      &made),
                  D3D_OK);
        made->Release();
    }
}

} // namespace
