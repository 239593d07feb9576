// Decoded images: every loader turns its file into 32-bit ARGB pixels
// (0xAARRGGBB), which are then converted into the texture's format.
#pragma once

#include "platform/D3DX9.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace plat::img {

// Largest width or height a loader accepts.
inline constexpr UINT kMaxDimension = 8192;

struct Image {
    UINT width = 0;
    UINT height = 0;
    std::vector<std::uint32_t> argb; // row by row, top row first
};

// All images of a file: faces x levels, face-major.
struct ImageSet {
    UINT faces = 1;
    UINT levels = 1;
    std::vector<Image> images;
    D3DFORMAT format = D3DFMT_UNKNOWN; // the file's own format
    D3DXIMAGE_FILEFORMAT fileType = D3DXIFF_BMP;
    // The file's own bytes of each image when it holds DXT blocks, so a
    // device that samples blocks can take them as they are.
    std::vector<std::vector<std::uint8_t>> blocks;

    const Image& At(UINT face, UINT level) const { return images[size_t(face) * levels + level]; }
};

// Each returns D3D_OK or D3DXERR_INVALIDDATA for a file that is not of its
// kind, is damaged, or claims more data than it holds.
HRESULT DecodeDds(const std::uint8_t* data, size_t size, ImageSet* out);
HRESULT DecodeBmp(const std::uint8_t* data, size_t size, ImageSet* out);
HRESULT DecodeBmpWithSdl(const std::uint8_t* data, size_t size, ImageSet* out);
HRESULT DecodeJpeg(const std::uint8_t* data, size_t size, ImageSet* out);
// Chooses the decoder by the file's signature.
HRESULT DecodeImage(const void* data, size_t size, ImageSet* out);

// One 4x4 block of DXT1, DXT3 or DXT5 data into 16 pixels, row by row.
void DecodeDxtBlock(D3DFORMAT format, const std::uint8_t* block, std::uint32_t pixels[16]);

// One pixel of an uncompressed format to and from ARGB.
std::uint32_t ReadPixel(D3DFORMAT format, const std::uint8_t* at);
void WritePixel(D3DFORMAT format, std::uint8_t* at, std::uint32_t argb);
bool CanConvert(D3DFORMAT format);

// Half size by averaging 2x2 pixels (1 pixel wide or high edges average 2).
Image Downsample(const Image& image);
// Nearest-pixel resize.
Image Resize(const Image& image, UINT width, UINT height);

} // namespace plat::img
