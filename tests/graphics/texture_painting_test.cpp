// Textures painted on the processor: byte order, truncation, clamping, the
// extent written, source formats, and the order of unlock and mip rebuild.
#include "render_fixture.h"
#include "writers/ImageWriters.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

class TexturePaintingTest : public test::StartedRenderTest {
protected:
    void TearDown() override
    {
        for (IDirect3DTexture9* t : m_made)
            if (t)
                t->Release();
        test::StartedRenderTest::TearDown();
    }

    IDirect3DTexture9* Make(UINT size, D3DFORMAT format)
    {
        IDirect3DTexture9* t = nullptr;
        Device()->CreateTexture(size, size, 1, 0, format, D3DPOOL_MANAGED, &t, nullptr);
        m_made.push_back(t);
        return t;
    }
    IDirect3DTexture9* Keep(IDirect3DTexture9* t)
    {
        m_made.push_back(t);
        return t;
    }

    // The four bytes of pixel (x, y) of a 32-bit texture's level 0.
    static std::vector<int> Pixel(IDirect3DTexture9* t, UINT x, UINT y)
    {
        D3DLOCKED_RECT r{};
        t->LockRect(0, &r, nullptr, D3DLOCK_READONLY);
        const auto* p = static_cast<const std::uint8_t*>(r.pBits) + y * r.Pitch + x * 4;
        std::vector<int> bytes(p, p + 4);
        t->UnlockRect(0);
        return bytes;
    }

    static void Fill32(IDirect3DTexture9* t, std::uint32_t argb)
    {
        D3DSURFACE_DESC d{};
        t->GetLevelDesc(0, &d);
        D3DLOCKED_RECT r{};
        t->LockRect(0, &r, nullptr, 0);
        for (UINT y = 0; y < d.Height; ++y)
            for (UINT x = 0; x < d.Width; ++x)
                std::memcpy(static_cast<std::uint8_t*>(r.pBits) + y * r.Pitch + x * 4, &argb, 4);
        t->UnlockRect(0);
    }

    CTextureManager& Painter() { return g_D3DRender.m_TextureManager; }
    std::vector<IDirect3DTexture9*> m_made;
};

TEST_F(TexturePaintingTest, SolidFillWritesBlueGreenRedAlphaTruncatedAndClamped)
{
    const struct {
        float colour[4];
        std::vector<int> bytes;
    } cases[] = {
        {{1.0f, 0.0f, 0.0f, 1.0f}, {0, 0, 255, 255}},
        {{0.0f, 0.5f, 0.999f, 0.25f}, {254, 127, 0, 63}},
        {{1.5f, -0.2f, 2.0f, -1.0f}, {255, 0, 255, 0}},
    };
    for (const auto& c : cases) {
        IDirect3DTexture9* t = nullptr;
        Painter().FillSolidTexture(&t, c.colour, 8);
        ASSERT_NE(Keep(t), nullptr);
        D3DSURFACE_DESC d{};
        t->GetLevelDesc(0, &d);
        EXPECT_EQ(d.Format, D3DFMT_A8R8G8B8);
        EXPECT_EQ(d.Pool, D3DPOOL_MANAGED);
        EXPECT_EQ(d.Width, 8u);
        EXPECT_EQ(Pixel(t, 0, 0), c.bytes);
        EXPECT_EQ(Pixel(t, 7, 7), c.bytes);
    }
}

TEST_F(TexturePaintingTest, SecondFillRepaintsTheSameTexture)
{
    const float red[4] = {1, 0, 0, 1}, green[4] = {0, 1, 0, 1};
    IDirect3DTexture9* t = nullptr;
    Painter().FillSolidTexture(&t, red, 8);
    IDirect3DTexture9* first = Keep(t);
    Painter().FillSolidTexture(&t, green, 8);
    EXPECT_EQ(t, first);
    EXPECT_EQ(Pixel(t, 3, 3), (std::vector<int>{0, 255, 0, 255}));
}

TEST_F(TexturePaintingTest, FillOfASmallerTextureStaysInsideIt)
{
    IDirect3DTexture9* t = Make(4, D3DFMT_A8R8G8B8);
    const float blue[4] = {0, 0, 1, 1};
    Painter().FillSolidTexture(&t, blue, 64);
    EXPECT_EQ(Pixel(t, 3, 3), (std::vector<int>{255, 0, 0, 255}));
}

TEST_F(TexturePaintingTest, FillLeavesATextureOfAnotherFormatAlone)
{
    IDirect3DTexture9* t = Make(8, D3DFMT_R5G6B5);
    const float white[4] = {1, 1, 1, 1};
    Painter().FillSolidTexture(&t, white, 8);
    D3DLOCKED_RECT r{};
    t->LockRect(0, &r, nullptr, D3DLOCK_READONLY);
    EXPECT_EQ(static_cast<const std::uint8_t*>(r.pBits)[0], 0);
    t->UnlockRect(0);
}

TEST_F(TexturePaintingTest, TintMultipliesEveryComponent)
{
    IDirect3DTexture9* source = Make(4, D3DFMT_A8R8G8B8);
    Fill32(source, 0xFF80FF40u); // A 255, R 128, G 255, B 64
    const struct {
        float colour[4];
        std::vector<int> bytes;
    } cases[] = {
        {{1, 1, 1, 1}, {64, 255, 128, 255}},
        {{0.5f, 0.5f, 0.5f, 1}, {32, 127, 64, 255}},
        {{0, 1, 0.5f, 0.5f}, {32, 255, 0, 127}},
    };
    for (const auto& c : cases) {
        IDirect3DTexture9* target = nullptr;
        Painter().CreateTintedTexture(source, &target, c.colour);
        ASSERT_NE(Keep(target), nullptr);
        EXPECT_EQ(Pixel(target, 2, 1), c.bytes);
        D3DSURFACE_DESC d{};
        target->GetLevelDesc(0, &d);
        EXPECT_EQ(d.Format, D3DFMT_A8R8G8B8);
        EXPECT_EQ(d.Usage & D3DUSAGE_AUTOGENMIPMAP, DWORD(D3DUSAGE_AUTOGENMIPMAP));
    }
}

// A texture kept in its file's DXT blocks is decoded before it is tinted.
TEST_F(TexturePaintingTest, BlockCompressedSourceIsDecodedThenTinted)
{
    const std::string file = tools::EncodeDds({tools::SolidImage(8, 8, 0xFF80FF40u)}, tools::DdsPixels::DXT1, 1);
    IDirect3DTexture9* source = nullptr;
    ASSERT_EQ(D3DXCreateTextureFromFileInMemoryEx(Device(), file.data(), UINT(file.size()), 0, 0, 1, 0,
                                                  D3DFMT_DXT1, D3DPOOL_MANAGED, D3DX_FILTER_NONE, D3DX_FILTER_NONE,
                                                  0, nullptr, nullptr, &source),
              D3D_OK);
    Keep(source);
    D3DSURFACE_DESC d{};
    source->GetLevelDesc(0, &d);
    ASSERT_EQ(d.Format, D3DFMT_DXT1);
    const float half[4] = {0.5f, 0.5f, 0.5f, 1};
    IDirect3DTexture9* target = nullptr;
    Painter().CreateTintedTexture(source, &target, half);
    ASSERT_NE(Keep(target), nullptr);
    // 5:6:5 holds 0x80, 0xFF, 0x40 as 0x84, 0xFF, 0x42.
    const std::vector<int> pixel = Pixel(target, 5, 6);
    const int expected[4] = {0x42 / 2, 0xFF / 2, 0x84 / 2, 255};
    for (int c = 0; c < 4; ++c)
        EXPECT_NEAR(pixel[c], expected[c], 1) << c;
}

TEST_F(TexturePaintingTest, SixteenBitSourceIsWidenedNotReadAsThirtyTwo)
{
    IDirect3DTexture9* source = Make(4, D3DFMT_R5G6B5);
    D3DLOCKED_RECT r{};
    source->LockRect(0, &r, nullptr, 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            reinterpret_cast<std::uint16_t*>(static_cast<std::uint8_t*>(r.pBits) + y * r.Pitch)[x] = 0xF800; // red
    source->UnlockRect(0);
    IDirect3DTexture9* target = nullptr;
    const float keep[4] = {1, 1, 1, 1};
    Painter().CreateTintedTexture(source, &target, keep);
    ASSERT_NE(Keep(target), nullptr);
    EXPECT_EQ(Pixel(target, 3, 3), (std::vector<int>{0, 0, 255, 255}));
}

TEST_F(TexturePaintingTest, TintIntoASmallerTargetStaysInsideIt)
{
    IDirect3DTexture9* source = Make(16, D3DFMT_X8R8G8B8);
    Fill32(source, 0x00FFFFFFu);
    IDirect3DTexture9* target = Make(4, D3DFMT_A8R8G8B8);
    const float half[4] = {0.5f, 0.5f, 0.5f, 0.5f};
    Painter().CreateTintedTexture(source, &target, half);
    EXPECT_EQ(Pixel(target, 3, 3), (std::vector<int>{127, 127, 127, 127})); // X8 counts as opaque
}

// A texture that records what is done to it, to see the order of the
// unlock and the mip rebuild.
class OrderTexture final : public IDirect3DTexture9 {
public:
    class Level final : public IDirect3DSurface9 {
    public:
        explicit Level(std::vector<std::string>* events) : m_events(events) {}
        ULONG AddRef() override { return 2; }
        ULONG Release() override { return 1; }
        D3DRESOURCETYPE GetType() override { return D3DRTYPE_SURFACE; }
        HRESULT GetDesc(D3DSURFACE_DESC* d) override
        {
            *d = D3DSURFACE_DESC{D3DFMT_A8R8G8B8, D3DRTYPE_SURFACE, 0, D3DPOOL_MANAGED, D3DMULTISAMPLE_NONE, 0, 2, 2};
            return D3D_OK;
        }
        HRESULT LockRect(D3DLOCKED_RECT* r, const RECT*, DWORD) override
        {
            m_events->push_back("lock");
            r->pBits = m_pixels;
            r->Pitch = 8;
            return D3D_OK;
        }
        HRESULT UnlockRect() override
        {
            m_events->push_back("unlock");
            return D3D_OK;
        }

    private:
        std::vector<std::string>* m_events;
        std::uint8_t m_pixels[16] = {};
    };

    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 1; }
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_TEXTURE; }
    DWORD GetLevelCount() override { return 1; }
    void GenerateMipSubLevels() override { events.push_back("mips"); }
    HRESULT GetLevelDesc(UINT, D3DSURFACE_DESC* d) override { return m_level.GetDesc(d); }
    HRESULT GetSurfaceLevel(UINT, IDirect3DSurface9** s) override
    {
        *s = &m_level;
        return D3D_OK;
    }
    HRESULT LockRect(UINT, D3DLOCKED_RECT* r, const RECT* rect, DWORD flags) override
    {
        return m_level.LockRect(r, rect, flags);
    }
    HRESULT UnlockRect(UINT) override { return m_level.UnlockRect(); }

    std::vector<std::string> events;

private:
    Level m_level{&events};
};

TEST_F(TexturePaintingTest, MipLevelsAreRebuiltAfterTheTargetIsUnlocked)
{
    OrderTexture source, target;
    IDirect3DTexture9* out = &target;
    const float keep[4] = {1, 1, 1, 1};
    Painter().CreateTintedTexture(&source, &out, keep);
    EXPECT_EQ(target.events, (std::vector<std::string>{"lock", "unlock", "mips"}));
    EXPECT_EQ(source.events, (std::vector<std::string>{"lock", "unlock"}));
}

} // namespace
