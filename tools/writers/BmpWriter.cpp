#include "writers/ImageWriters.h"

#include <vector>

namespace tools {

static void Put(std::string& out, std::uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(char((v >> (8 * i)) & 0xFF));
}

namespace {

// The header of an uncompressed or run-length file with the given pixel
// bytes and palette entries.
std::string BmpHeader(const ArgbImage& image, int bits, std::uint32_t compression, std::uint32_t pixelBytes,
                      const std::vector<std::uint32_t>& palette)
{
    const std::uint32_t offset = 14 + 40 + std::uint32_t(palette.size()) * 4;
    std::string out = "BM";
    Put(out, offset + pixelBytes, 4);
    Put(out, 0, 4);
    Put(out, offset, 4);
    Put(out, 40, 4);
    Put(out, image.width, 4);
    Put(out, image.height, 4);
    Put(out, 1, 2);
    Put(out, std::uint32_t(bits), 2);
    Put(out, compression, 4);
    Put(out, pixelBytes, 4);
    for (int i = 0; i < 4; ++i)
        Put(out, i < 2 ? 2835 : i == 2 ? std::uint32_t(palette.size()) : 0, 4);
    for (std::uint32_t colour : palette)
        Put(out, colour & 0xFFFFFF, 4);
    return out;
}

// The image's colours (at most 256; later ones take entry 0) and each
// pixel's entry.
std::vector<std::uint32_t> Palette(const ArgbImage& image, std::vector<std::uint8_t>* indices)
{
    std::vector<std::uint32_t> palette;
    for (std::uint32_t p : image.pixels) {
        const std::uint32_t rgb = p & 0xFFFFFF;
        size_t i = 0;
        while (i < palette.size() && palette[i] != rgb)
            ++i;
        if (i == palette.size() && palette.size() < 256)
            palette.push_back(rgb);
        indices->push_back(std::uint8_t(i < palette.size() ? i : 0));
    }
    return palette;
}

std::string EncodeIndexed(const ArgbImage& image)
{
    std::vector<std::uint8_t> indices;
    const std::vector<std::uint32_t> palette = Palette(image, &indices);
    const std::uint32_t stride = (image.width + 3) / 4 * 4;
    std::string out = BmpHeader(image, 8, 0, stride * image.height, palette);
    for (unsigned row = image.height; row-- > 0;) {
        std::string line(indices.begin() + long(row) * image.width, indices.begin() + long(row + 1) * image.width);
        line.resize(stride, '\0');
        out += line;
    }
    return out;
}

// X1R5G5B5: each channel's top five bits.
std::string EncodeRgb555(const ArgbImage& image)
{
    const std::uint32_t stride = (image.width * 2 + 3) / 4 * 4;
    std::string out = BmpHeader(image, 16, 0, stride * image.height, {});
    for (unsigned row = image.height; row-- > 0;) {
        std::string line;
        for (unsigned x = 0; x < image.width; ++x) {
            const std::uint32_t p = image.pixels[size_t(row) * image.width + x];
            Put(line, ((p >> 9) & 0x7C00) | ((p >> 6) & 0x3E0) | ((p >> 3) & 0x1F), 2);
        }
        line.resize(stride, '\0');
        out += line;
    }
    return out;
}

// Runs of one entry (at most 255), an end-of-line after each row and an
// end-of-bitmap at the close.
std::string EncodeRle8(const ArgbImage& image)
{
    std::vector<std::uint8_t> indices;
    const std::vector<std::uint32_t> palette = Palette(image, &indices);
    std::string pixels;
    for (unsigned row = image.height; row-- > 0;) {
        unsigned x = 0;
        while (x < image.width) {
            const std::uint8_t entry = indices[size_t(row) * image.width + x];
            unsigned run = 1;
            while (x + run < image.width && run < 255 && indices[size_t(row) * image.width + x + run] == entry)
                ++run;
            pixels.push_back(char(run));
            pixels.push_back(char(entry));
            x += run;
        }
        pixels += std::string("\0\0", 2);
    }
    pixels += std::string("\0\1", 2);
    return BmpHeader(image, 8, 1, std::uint32_t(pixels.size()), palette) + pixels;
}

} // namespace

std::string EncodeBmp(const ArgbImage& image, int bitsPerPixel)
{
    if (bitsPerPixel == 8)
        return EncodeIndexed(image);
    if (bitsPerPixel == 16)
        return EncodeRgb555(image);
    if (bitsPerPixel == -8)
        return EncodeRle8(image);
    const bool wide = bitsPerPixel == 32;
    const std::uint32_t infoSize = wide ? 56 : 40; // 32-bit files carry the channel masks
    const std::uint32_t stride = (image.width * (wide ? 32 : 24) + 31) / 32 * 4;
    const std::uint32_t offset = 14 + infoSize;
    std::string out = "BM";
    Put(out, offset + stride * image.height, 4);
    Put(out, 0, 4);
    Put(out, offset, 4);
    Put(out, infoSize, 4);
    Put(out, image.width, 4);
    Put(out, image.height, 4);
    Put(out, 1, 2);
    Put(out, wide ? 32 : 24, 2);
    Put(out, wide ? 3 : 0, 4);
    Put(out, stride * image.height, 4);
    for (int i = 0; i < 4; ++i)
        Put(out, i < 2 ? 2835 : 0, 4);
    if (wide)
        for (std::uint32_t mask : {0xFF0000u, 0xFF00u, 0xFFu, 0xFF000000u})
            Put(out, mask, 4);
    for (unsigned row = image.height; row-- > 0;) {
        std::string line;
        for (unsigned x = 0; x < image.width; ++x)
            Put(line, image.pixels[size_t(row) * image.width + x], wide ? 4 : 3);
        line.resize(stride, '\0');
        out += line;
    }
    return out;
}

} // namespace tools
