// DDS files: a 128-byte header (signature and surface description) followed
// by each face's mip levels, largest first, rows tightly packed.
#include "platform/d3d9/Formats.h"
#include "platform/LittleEndian.h"
#include "platform/d3dx9/Image.h"

#include <cstring>

namespace plat::img {
namespace {

constexpr size_t kHeaderBytes = 128;
constexpr std::uint32_t kHeaderSize = 124;
constexpr std::uint32_t kPixelFormatSize = 32;
constexpr std::uint32_t kFlagMipCount = 0x20000;
constexpr std::uint32_t kPfAlphaPixels = 0x1;
constexpr std::uint32_t kPfAlpha = 0x2;
constexpr std::uint32_t kPfFourCc = 0x4;
constexpr std::uint32_t kPfRgb = 0x40;
constexpr std::uint32_t kPfLuminance = 0x20000;
constexpr std::uint32_t kCaps2Cube = 0x200;
constexpr std::uint32_t kCaps2AllFaces = 0xFC00;
constexpr std::uint32_t kCaps2Volume = 0x200000;

std::uint32_t U32(const std::uint8_t* data, size_t offset)
{
    return ReadLE32(data + offset);
}

struct Masks {
    std::uint32_t flags, fourCc, bits, r, g, b, a;
};

D3DFORMAT FormatOf(const Masks& m)
{
    if (m.flags & kPfFourCc) {
        for (D3DFORMAT f : {D3DFMT_DXT1, D3DFMT_DXT3, D3DFMT_DXT5})
            if (m.fourCc == f)
                return f;
        return D3DFMT_UNKNOWN;
    }
    const std::uint32_t a = (m.flags & kPfAlphaPixels) ? m.a : 0;
    struct Known {
        std::uint32_t bits, r, g, b, a;
        D3DFORMAT format;
    };
    static constexpr Known kKnown[] = {
        {32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000u, D3DFMT_A8R8G8B8}, {32, 0xFF0000, 0xFF00, 0xFF, 0, D3DFMT_X8R8G8B8},
        {24, 0xFF0000, 0xFF00, 0xFF, 0, D3DFMT_R8G8B8},           {16, 0xF800, 0x7E0, 0x1F, 0, D3DFMT_R5G6B5},
        {16, 0x7C00, 0x3E0, 0x1F, 0x8000, D3DFMT_A1R5G5B5},       {16, 0x7C00, 0x3E0, 0x1F, 0, D3DFMT_X1R5G5B5},
        {16, 0xF00, 0xF0, 0xF, 0xF000, D3DFMT_A4R4G4B4},
    };
    if (m.flags & kPfRgb) {
        for (const Known& k : kKnown)
            if (k.bits == m.bits && k.r == m.r && k.g == m.g && k.b == m.b && k.a == a)
                return k.format;
        return D3DFMT_UNKNOWN;
    }
    if ((m.flags & kPfLuminance) && m.bits == 8)
        return D3DFMT_L8;
    if ((m.flags & kPfAlpha) && m.bits == 8)
        return D3DFMT_A8;
    return D3DFMT_UNKNOWN;
}

Image DecodeLevel(D3DFORMAT format, const std::uint8_t* data, UINT width, UINT height)
{
    Image image;
    image.width = width;
    image.height = height;
    image.argb.resize(size_t(width) * height);
    if (!d3d::IsBlockFormat(format)) {
        const UINT unit = d3d::FormatUnitBytes(format);
        for (size_t i = 0; i < image.argb.size(); ++i)
            image.argb[i] = ReadPixel(format, data + i * unit);
        return image;
    }
    const UINT blockBytes = d3d::FormatUnitBytes(format);
    const UINT across = (width + 3) / 4;
    std::uint32_t pixels[16];
    for (UINT by = 0; by < (height + 3) / 4; ++by)
        for (UINT bx = 0; bx < across; ++bx) {
            DecodeDxtBlock(format, data + (size_t(by) * across + bx) * blockBytes, pixels);
            for (UINT i = 0; i < 16; ++i) {
                const UINT x = bx * 4 + i % 4, y = by * 4 + i / 4;
                if (x < width && y < height)
                    image.argb[size_t(y) * width + x] = pixels[i];
            }
        }
    return image;
}

} // namespace

HRESULT DecodeDds(const std::uint8_t* data, size_t size, ImageSet* out)
{
    if (size < kHeaderBytes || std::memcmp(data, "DDS ", 4) != 0 || U32(data, 4) != kHeaderSize ||
        U32(data, 76) != kPixelFormatSize)
        return D3DXERR_INVALIDDATA;
    const UINT height = U32(data, 12), width = U32(data, 16);
    const std::uint32_t caps2 = U32(data, 112);
    UINT levels = (U32(data, 8) & kFlagMipCount) ? U32(data, 28) : 1;
    levels = levels == 0 ? 1 : levels;
    const Masks masks{U32(data, 80), U32(data, 84), U32(data, 88), U32(data, 92),
                      U32(data, 96), U32(data, 100), U32(data, 104)};
    const D3DFORMAT format = FormatOf(masks);
    if (width == 0 || height == 0 || width > kMaxDimension || height > kMaxDimension ||
        levels > d3d::FullMipCount(width, height) || format == D3DFMT_UNKNOWN || (caps2 & kCaps2Volume))
        return D3DXERR_INVALIDDATA;
    const bool cube = caps2 & kCaps2Cube;
    if (cube && ((caps2 & kCaps2AllFaces) != kCaps2AllFaces || width != height))
        return D3DXERR_INVALIDDATA;
    out->faces = cube ? 6 : 1;
    out->levels = levels;
    out->format = format;
    out->fileType = D3DXIFF_DDS;
    out->images.clear();
    out->blocks.clear();
    const bool blocks = d3d::IsBlockFormat(format);
    size_t offset = kHeaderBytes;
    for (UINT face = 0; face < out->faces; ++face) {
        UINT w = width, h = height;
        for (UINT level = 0; level < levels; ++level) {
            const size_t bytes = d3d::LevelBytes(format, w, h);
            if (bytes > size - offset)
                return D3DXERR_INVALIDDATA;
            out->images.push_back(DecodeLevel(format, data + offset, w, h));
            if (blocks)
                out->blocks.emplace_back(data + offset, data + offset + bytes);
            offset += bytes;
            w = w > 1 ? w / 2 : 1;
            h = h > 1 ? h / 2 : 1;
        }
    }
    return D3D_OK;
}

} // namespace plat::img
