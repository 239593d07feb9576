// BMP files: 14-byte file header, an information header of at least 40
// bytes, then rows of BGR or BGRX pixels padded to 4 bytes, bottom row first
// unless the height is negative.
#include "platform/LittleEndian.h"
#include "platform/d3dx9/Image.h"

#include <cstdlib>
#include <cstring>

namespace plat::img {
namespace {

constexpr size_t kFileHeader = 14;
constexpr std::uint32_t kMinInfoHeader = 40;
constexpr std::uint32_t kInfoHeaderWithMasks = 56;
constexpr std::uint32_t kCompressionNone = 0;
constexpr std::uint32_t kCompressionBitFields = 3;

// 32-bit pixels carry alpha only when the header's masks say so.
bool HasAlphaMask(const std::uint8_t* info, std::uint32_t infoSize, std::uint32_t compression)
{
    if (compression != kCompressionBitFields)
        return false;
    if (infoSize < kInfoHeaderWithMasks)
        return false;
    return ReadLE32(info + 40) == 0xFF0000 && ReadLE32(info + 44) == 0xFF00 && ReadLE32(info + 48) == 0xFF &&
           ReadLE32(info + 52) == 0xFF000000u;
}

} // namespace

HRESULT DecodeBmp(const std::uint8_t* data, size_t size, ImageSet* out)
{
    if (size < kFileHeader + kMinInfoHeader || data[0] != 'B' || data[1] != 'M')
        return D3DXERR_INVALIDDATA;
    const std::uint8_t* info = data + kFileHeader;
    const std::uint32_t pixelOffset = ReadLE32(data + 10), infoSize = ReadLE32(info);
    const std::int32_t width = std::int32_t(ReadLE32(info + 4)), rawHeight = std::int32_t(ReadLE32(info + 8));
    const std::uint16_t planes = ReadLE16(info + 12), bits = ReadLE16(info + 14);
    const std::uint32_t compression = ReadLE32(info + 16);
    if (infoSize < kMinInfoHeader || infoSize > size - kFileHeader || planes != 1)
        return D3DXERR_INVALIDDATA;
    const bool topDown = rawHeight < 0;
    const std::int64_t height = topDown ? -std::int64_t(rawHeight) : rawHeight;
    if (width <= 0 || height <= 0 || UINT(width) > kMaxDimension || height > kMaxDimension)
        return D3DXERR_INVALIDDATA;
    // Palettised, 16-bit and run-length files: the size is checked above,
    // the rest is SDL's.
    if ((bits != 24 && bits != 32) || (compression != kCompressionNone && !(bits == 32 && compression == kCompressionBitFields)))
        return DecodeBmpWithSdl(data, size, out);
    const size_t stride = (size_t(width) * bits + 31) / 32 * 4;
    if (pixelOffset < kFileHeader + infoSize || pixelOffset > size || stride * size_t(height) > size - pixelOffset)
        return D3DXERR_INVALIDDATA;
    const bool alpha = bits == 32 && HasAlphaMask(info, infoSize, compression);
    Image image;
    image.width = UINT(width);
    image.height = UINT(height);
    image.argb.resize(size_t(width) * size_t(height));
    const D3DFORMAT pixelFormat = bits == 24 ? D3DFMT_R8G8B8 : alpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    for (std::int64_t y = 0; y < height; ++y) {
        const std::uint8_t* row = data + pixelOffset + stride * size_t(topDown ? y : height - 1 - y);
        for (std::int32_t x = 0; x < width; ++x)
            image.argb[size_t(y) * size_t(width) + size_t(x)] = ReadPixel(pixelFormat, row + size_t(x) * (bits / 8));
    }
    out->faces = 1;
    out->levels = 1;
    out->images = {std::move(image)};
    out->format = alpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    out->fileType = D3DXIFF_BMP;
    return D3D_OK;
}

} // namespace plat::img
