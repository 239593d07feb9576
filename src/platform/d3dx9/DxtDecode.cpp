// Decoding of the 4x4 block-compressed formats.
#include "platform/d3dx9/Image.h"

namespace plat::img {

static std::uint32_t Word16(const std::uint8_t* p) { return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8); }

static void Rgb565(std::uint32_t c, std::uint32_t rgb[3])
{
    const std::uint32_t r = c >> 11, g = (c >> 5) & 0x3F, b = c & 0x1F;
    rgb[0] = (r << 3) | (r >> 2);
    rgb[1] = (g << 2) | (g >> 4);
    rgb[2] = (b << 3) | (b >> 2);
}

// The colour half of a block. Three-colour mode (first colour not above the
// second) only when allowed, as DXT1 does; its fourth colour is transparent.
static void ColourBlock(const std::uint8_t* block, bool threeColourMode, std::uint32_t pixels[16])
{
    const std::uint32_t c0 = Word16(block), c1 = Word16(block + 2);
    std::uint32_t a[3], b[3], palette[4];
    Rgb565(c0, a);
    Rgb565(c1, b);
    auto pack = [](std::uint32_t alpha, const std::uint32_t rgb[3]) {
        return (alpha << 24) | (rgb[0] << 16) | (rgb[1] << 8) | rgb[2];
    };
    std::uint32_t mid1[3], mid2[3];
    const bool four = c0 > c1 || !threeColourMode;
    for (int i = 0; i < 3; ++i) {
        mid1[i] = four ? (2 * a[i] + b[i]) / 3 : (a[i] + b[i]) / 2;
        mid2[i] = (a[i] + 2 * b[i]) / 3;
    }
    palette[0] = pack(0xFF, a);
    palette[1] = pack(0xFF, b);
    palette[2] = pack(0xFF, mid1);
    palette[3] = four ? pack(0xFF, mid2) : 0;
    const std::uint32_t bits = Word16(block + 4) | (Word16(block + 6) << 16);
    for (int i = 0; i < 16; ++i)
        pixels[i] = palette[(bits >> (2 * i)) & 3];
}

static void ExplicitAlpha(const std::uint8_t* block, std::uint32_t pixels[16])
{
    for (int i = 0; i < 16; ++i) {
        const std::uint32_t nibble = (block[i / 2] >> ((i & 1) * 4)) & 0xF;
        pixels[i] = (pixels[i] & 0x00FFFFFF) | ((nibble * 17) << 24);
    }
}

static void InterpolatedAlpha(const std::uint8_t* block, std::uint32_t pixels[16])
{
    const std::uint32_t a0 = block[0], a1 = block[1];
    std::uint32_t palette[8] = {a0, a1};
    if (a0 > a1) {
        for (std::uint32_t i = 1; i < 7; ++i)
            palette[i + 1] = ((7 - i) * a0 + i * a1) / 7;
    } else {
        for (std::uint32_t i = 1; i < 5; ++i)
            palette[i + 1] = ((5 - i) * a0 + i * a1) / 5;
        palette[6] = 0;
        palette[7] = 255;
    }
    std::uint64_t bits = 0;
    for (int i = 0; i < 6; ++i)
        bits |= std::uint64_t(block[2 + i]) << (8 * i);
    for (int i = 0; i < 16; ++i)
        pixels[i] = (pixels[i] & 0x00FFFFFF) | (palette[(bits >> (3 * i)) & 7] << 24);
}

void DecodeDxtBlock(D3DFORMAT format, const std::uint8_t* block, std::uint32_t pixels[16])
{
    if (format == D3DFMT_DXT1) {
        ColourBlock(block, true, pixels);
        return;
    }
    ColourBlock(block + 8, false, pixels);
    if (format == D3DFMT_DXT3)
        ExplicitAlpha(block, pixels);
    else
        InterpolatedAlpha(block, pixels);
}

} // namespace plat::img
