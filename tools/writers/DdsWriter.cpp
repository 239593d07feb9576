#include "writers/ImageWriters.h"

#include "platform/d3dx9/Image.h"
#include "writers/FileBytes.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace tools {
namespace {

void Put32(std::string& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(char((v >> (8 * i)) & 0xFF));
}

void Put16(std::string& out, std::uint32_t v)
{
    out.push_back(char(v & 0xFF));
    out.push_back(char((v >> 8) & 0xFF));
}

std::uint32_t To565(std::uint32_t argb)
{
    return (((argb >> 19) & 0x1F) << 11) | (((argb >> 10) & 0x3F) << 5) | ((argb >> 3) & 0x1F);
}

int Distance(std::uint32_t a, std::uint32_t b)
{
    int sum = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int d = int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF);
        sum += d * d;
    }
    return sum;
}

int Luma(std::uint32_t argb)
{
    return int((argb >> 16) & 0xFF) * 3 + int((argb >> 8) & 0xFF) * 6 + int(argb & 0xFF);
}

// The four colours a decoder builds from two endpoints: a block whose
// pixels 0..3 use indices 0..3, decoded the way the game will.
void Palette(std::uint32_t c0, std::uint32_t c1, bool dxt1, std::uint32_t colours[4])
{
    std::uint8_t block[16] = {};
    std::uint8_t* colour = dxt1 ? block : block + 8;
    colour[0] = std::uint8_t(c0), colour[1] = std::uint8_t(c0 >> 8);
    colour[2] = std::uint8_t(c1), colour[3] = std::uint8_t(c1 >> 8);
    colour[4] = 0xE4;
    std::uint32_t pixels[16];
    plat::img::DecodeDxtBlock(dxt1 ? D3DFMT_DXT1 : D3DFMT_DXT3, block, pixels);
    std::copy(pixels, pixels + 4, colours);
}

// The colour half: endpoints are the brightest and darkest opaque pixels,
// each pixel takes the nearest colour of the decoder's palette. DXT1 blocks
// with transparent pixels use the three-colour mode and index 3.
void ColourBlock(std::string& out, const std::uint32_t px[16], bool dxt1)
{
    bool transparent = false;
    std::uint32_t hi = 0, lo = 0;
    int hiLuma = -1, loLuma = 1 << 30;
    for (int i = 0; i < 16; ++i) {
        if (dxt1 && (px[i] >> 24) < 128) {
            transparent = true;
            continue;
        }
        const int l = Luma(px[i]);
        if (l > hiLuma)
            hiLuma = l, hi = px[i];
        if (l < loLuma)
            loLuma = l, lo = px[i];
    }
    std::uint32_t c0 = To565(hi), c1 = To565(lo);
    if (transparent ? c0 > c1 : c0 < c1)
        std::swap(c0, c1);
    std::uint32_t colours[4];
    Palette(c0, c1, dxt1, colours);
    const bool threeColour = dxt1 && c0 <= c1;
    std::uint32_t indices = 0;
    for (int i = 0; i < 16; ++i) {
        int best = 0;
        if (threeColour && (px[i] >> 24) < 128)
            best = 3;
        else
            for (int k = 1; k < (threeColour ? 3 : 4); ++k)
                if (Distance(px[i], colours[k]) < Distance(px[i], colours[best]))
                    best = k;
        indices |= std::uint32_t(best) << (2 * i);
    }
    Put16(out, c0);
    Put16(out, c1);
    Put32(out, indices);
}

void ExplicitAlpha(std::string& out, const std::uint32_t px[16])
{
    for (int i = 0; i < 16; i += 2)
        out.push_back(char((px[i] >> 28) | ((px[i + 1] >> 28) << 4)));
}

void InterpolatedAlpha(std::string& out, const std::uint32_t px[16])
{
    std::uint32_t a0 = 0, a1 = 255;
    for (int i = 0; i < 16; ++i) {
        a0 = std::max(a0, px[i] >> 24);
        a1 = std::min(a1, px[i] >> 24);
    }
    std::uint32_t palette[8] = {a0, a1};
    for (std::uint32_t i = 1; i < 7; ++i)
        palette[i + 1] = ((7 - i) * a0 + i * a1) / 7;
    std::uint64_t bits = 0;
    for (int i = 0; i < 16 && a0 != a1; ++i) {
        int best = 0;
        for (int k = 1; k < 8; ++k)
            if (std::abs(int(px[i] >> 24) - int(palette[k])) < std::abs(int(px[i] >> 24) - int(palette[best])))
                best = k;
        bits |= std::uint64_t(best) << (3 * i);
    }
    out.push_back(char(a0));
    out.push_back(char(a1));
    for (int i = 0; i < 6; ++i)
        out.push_back(char((bits >> (8 * i)) & 0xFF));
}

void EncodeBlocks(std::string& out, const plat::img::Image& image, DdsPixels format)
{
    for (unsigned by = 0; by < (image.height + 3) / 4; ++by)
        for (unsigned bx = 0; bx < (image.width + 3) / 4; ++bx) {
            std::uint32_t px[16];
            for (unsigned i = 0; i < 16; ++i) {
                const unsigned x = std::min(bx * 4 + i % 4, image.width - 1);
                const unsigned y = std::min(by * 4 + i / 4, image.height - 1);
                px[i] = image.argb[size_t(y) * image.width + x];
            }
            if (format == DdsPixels::DXT3)
                ExplicitAlpha(out, px);
            else if (format == DdsPixels::DXT5)
                InterpolatedAlpha(out, px);
            ColourBlock(out, px, format == DdsPixels::DXT1);
        }
}

void EncodeLevel(std::string& out, const plat::img::Image& image, DdsPixels format)
{
    if (format == DdsPixels::DXT1 || format == DdsPixels::DXT3 || format == DdsPixels::DXT5) {
        EncodeBlocks(out, image, format);
        return;
    }
    const D3DFORMAT pixelFormat = format == DdsPixels::A8R8G8B8   ? D3DFMT_A8R8G8B8
                                  : format == DdsPixels::X8R8G8B8 ? D3DFMT_X8R8G8B8
                                                                  : D3DFMT_R5G6B5;
    const size_t unit = format == DdsPixels::R5G6B5 ? 2 : 4;
    std::string bytes(image.argb.size() * unit, '\0');
    for (size_t i = 0; i < image.argb.size(); ++i)
        plat::img::WritePixel(pixelFormat, reinterpret_cast<std::uint8_t*>(bytes.data()) + i * unit, image.argb[i]);
    out += bytes;
}

void Header(std::string& out, unsigned width, unsigned height, unsigned levels, DdsPixels format, bool cube)
{
    struct Layout {
        std::uint32_t flags, fourCc, bits, r, g, b, a;
    };
    static const Layout kLayouts[] = {
        {0x41, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000u}, {0x40, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0},
        {0x40, 0, 16, 0xF800, 0x7E0, 0x1F, 0},              {0x4, 0x31545844, 0, 0, 0, 0, 0},
        {0x4, 0x33545844, 0, 0, 0, 0, 0},                   {0x4, 0x35545844, 0, 0, 0, 0, 0},
    };
    const Layout& l = kLayouts[int(format)];
    out += "DDS ";
    Put32(out, 124);
    Put32(out, 0x1007 | 0x20000);  // caps, height, width, pixel format, mip count
    Put32(out, height);
    Put32(out, width);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, levels);
    for (int i = 0; i < 11; ++i)
        Put32(out, 0);
    for (std::uint32_t v : {32u, l.flags, l.fourCc, l.bits, l.r, l.g, l.b, l.a})
        Put32(out, v);
    Put32(out, 0x1000 | (levels > 1 ? 0x400008 : 0) | (cube ? 0x8 : 0));
    Put32(out, cube ? 0xFE00 : 0);
    for (int i = 0; i < 3; ++i)
        Put32(out, 0);
}

plat::img::Image ToImage(const ArgbImage& image)
{
    plat::img::Image out;
    out.width = image.width;
    out.height = image.height;
    out.argb = image.pixels;
    return out;
}

} // namespace

ArgbImage SolidImage(unsigned width, unsigned height, std::uint32_t argb)
{
    return ArgbImage{width, height, std::vector<std::uint32_t>(size_t(width) * height, argb)};
}

std::string EncodeDds(const std::vector<ArgbImage>& faces, DdsPixels format, unsigned mipLevels)
{
    std::string out;
    if (faces.empty() || faces[0].width == 0 || faces[0].height == 0)
        return out;
    Header(out, faces[0].width, faces[0].height, mipLevels == 0 ? 1 : mipLevels, format, faces.size() == 6);
    for (const ArgbImage& face : faces) {
        plat::img::Image level = ToImage(face);
        for (unsigned i = 0; i < std::max(mipLevels, 1u); ++i) {
            if (i > 0)
                level = plat::img::Downsample(level);
            EncodeLevel(out, level, format);
        }
    }
    return out;
}

bool WriteImageFile(const std::string& path, const std::string& bytes)
{
    return WriteFileBytes(path, bytes);
}

} // namespace tools
