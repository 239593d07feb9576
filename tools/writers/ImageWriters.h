// Writers of the image files the game loads as textures: DDS (2-D and cube,
// uncompressed and DXT1/3/5), BMP (24 and 32 bit) and JPEG.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tools {

// Pixels as 0xAARRGGBB, row by row from the top.
struct ArgbImage {
    unsigned width = 0;
    unsigned height = 0;
    std::vector<std::uint32_t> pixels;
};

ArgbImage SolidImage(unsigned width, unsigned height, std::uint32_t argb);

enum class DdsPixels { A8R8G8B8, X8R8G8B8, R5G6B5, DXT1, DXT3, DXT5 };

// One face makes a 2-D texture, six (+x, -x, +y, -y, +z, -z) a cube. Levels
// below the first are made by halving; DXT blocks are encoded from the two
// extreme colours of each block (exact for blocks of one or two colours that
// 5:6:5 can hold).
std::string EncodeDds(const std::vector<ArgbImage>& faces, DdsPixels format, unsigned mipLevels);
// 24-bit drops alpha; 32-bit keeps it and says so in the header's masks;
// 8 writes a palette of the image's colours (at most 256), -8 the same
// run-length coded, 16 five bits per channel.
std::string EncodeBmp(const ArgbImage& image, int bitsPerPixel);
// Quality 1..100; returns an empty string on failure.
std::string EncodeJpeg(const ArgbImage& image, int quality);

// Each writes the encoded bytes; false when the file cannot be written.
bool WriteImageFile(const std::string& path, const std::string& bytes);

} // namespace tools
