#include "writers/ImageWriters.h"

namespace tools {

static void Put(std::string& out, std::uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(char((v >> (8 * i)) & 0xFF));
}

std::string EncodeBmp(const ArgbImage& image, int bitsPerPixel)
{
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
