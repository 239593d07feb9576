#include "platform/d3dx9/Image.h"

namespace plat::img {

static std::uint32_t Expand(std::uint32_t value, int bits)
{
    // Replicates the top bits into the low ones: 5-bit 31 becomes 255.
    const std::uint32_t v = value << (8 - bits);
    return v | (v >> bits);
}

static std::uint32_t Argb(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b)
{
    return (a << 24) | (r << 16) | (g << 8) | b;
}

bool CanConvert(D3DFORMAT format)
{
    switch (format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
    case D3DFMT_R8G8B8:
    case D3DFMT_R5G6B5:
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
    case D3DFMT_A4R4G4B4:
    case D3DFMT_L8:
    case D3DFMT_A8:
        return true;
    default:
        return false;
    }
}

std::uint32_t ReadPixel(D3DFORMAT format, const std::uint8_t* p)
{
    // One-byte formats must not touch p[1]: it lies past the last pixel.
    if (format == D3DFMT_L8)
        return Argb(0xFF, p[0], p[0], p[0]);
    if (format == D3DFMT_A8)
        return Argb(p[0], 0, 0, 0);
    const std::uint32_t w16 = std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8);
    switch (format) {
    case D3DFMT_A8R8G8B8:
        return Argb(p[3], p[2], p[1], p[0]);
    case D3DFMT_X8R8G8B8:
    case D3DFMT_R8G8B8:
        return Argb(0xFF, p[2], p[1], p[0]);
    case D3DFMT_R5G6B5:
        return Argb(0xFF, Expand(w16 >> 11, 5), Expand((w16 >> 5) & 0x3F, 6), Expand(w16 & 0x1F, 5));
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5: {
        const std::uint32_t a = format == D3DFMT_X1R5G5B5 || (w16 & 0x8000) ? 0xFF : 0;
        return Argb(a, Expand((w16 >> 10) & 0x1F, 5), Expand((w16 >> 5) & 0x1F, 5), Expand(w16 & 0x1F, 5));
    }
    case D3DFMT_A4R4G4B4:
        return Argb(Expand(w16 >> 12, 4), Expand((w16 >> 8) & 0xF, 4), Expand((w16 >> 4) & 0xF, 4),
                    Expand(w16 & 0xF, 4));
    default:
        return 0;
    }
}

static void Put16(std::uint8_t* at, std::uint32_t v)
{
    at[0] = std::uint8_t(v);
    at[1] = std::uint8_t(v >> 8);
}

void WritePixel(D3DFORMAT format, std::uint8_t* at, std::uint32_t argb)
{
    const std::uint32_t a = argb >> 24, r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
    switch (format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
        at[0] = std::uint8_t(b);
        at[1] = std::uint8_t(g);
        at[2] = std::uint8_t(r);
        at[3] = format == D3DFMT_A8R8G8B8 ? std::uint8_t(a) : 0xFF;
        break;
    case D3DFMT_R8G8B8:
        at[0] = std::uint8_t(b);
        at[1] = std::uint8_t(g);
        at[2] = std::uint8_t(r);
        break;
    case D3DFMT_R5G6B5:
        Put16(at, ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
        break;
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
        Put16(at, ((format == D3DFMT_X1R5G5B5 || a >= 128) ? 0x8000 : 0) | ((r >> 3) << 10) | ((g >> 3) << 5) |
                      (b >> 3));
        break;
    case D3DFMT_A4R4G4B4:
        Put16(at, ((a >> 4) << 12) | ((r >> 4) << 8) | ((g >> 4) << 4) | (b >> 4));
        break;
    case D3DFMT_L8:
        at[0] = std::uint8_t((r * 77 + g * 150 + b * 29) >> 8);
        break;
    case D3DFMT_A8:
        at[0] = std::uint8_t(a);
        break;
    default:
        break;
    }
}

Image Downsample(const Image& image)
{
    Image out;
    out.width = image.width > 1 ? image.width / 2 : 1;
    out.height = image.height > 1 ? image.height / 2 : 1;
    out.argb.resize(size_t(out.width) * out.height);
    const UINT sx = image.width > 1 ? 2 : 1, sy = image.height > 1 ? 2 : 1;
    for (UINT y = 0; y < out.height; ++y)
        for (UINT x = 0; x < out.width; ++x) {
            std::uint32_t sum[4] = {};
            for (UINT dy = 0; dy < sy; ++dy)
                for (UINT dx = 0; dx < sx; ++dx) {
                    const std::uint32_t p = image.argb[size_t(y * sy + dy) * image.width + x * sx + dx];
                    for (int c = 0; c < 4; ++c)
                        sum[c] += (p >> (c * 8)) & 0xFF;
                }
            const std::uint32_t n = sx * sy;
            std::uint32_t result = 0;
            for (int c = 0; c < 4; ++c)
                result |= ((sum[c] + n / 2) / n) << (c * 8);
            out.argb[size_t(y) * out.width + x] = result;
        }
    return out;
}

Image Resize(const Image& image, UINT width, UINT height)
{
    Image out;
    out.width = width;
    out.height = height;
    out.argb.resize(size_t(width) * height);
    for (UINT y = 0; y < height; ++y)
        for (UINT x = 0; x < width; ++x)
            out.argb[size_t(y) * width + x] =
                image.argb[size_t(std::uint64_t(y) * image.height / height) * image.width +
                           size_t(std::uint64_t(x) * image.width / width)];
    return out;
}

} // namespace plat::img
