// JPEG files through libjpeg, with its fatal errors turned into a failure
// result instead of an exit.
#include "platform/d3dx9/Image.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace plat::img {
namespace {

struct ErrorTrap {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void OnFatal(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorTrap*>(info->err)->jump, 1);
}

void OnMessage(j_common_ptr) {}

// Everything that needs cleaning up lives outside the function that jumps.
HRESULT Decode(jpeg_decompress_struct& jpeg, ErrorTrap& trap, const std::uint8_t* data, size_t size, Image& image,
               std::vector<JSAMPLE>& row)
{
    if (setjmp(trap.jump))
        return D3DXERR_INVALIDDATA;
    jpeg_create_decompress(&jpeg);
    jpeg_mem_src(&jpeg, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(&jpeg, TRUE) != JPEG_HEADER_OK)
        return D3DXERR_INVALIDDATA;
    if (jpeg.image_width == 0 || jpeg.image_height == 0 || jpeg.image_width > kMaxDimension ||
        jpeg.image_height > kMaxDimension)
        return D3DXERR_INVALIDDATA;
    jpeg.out_color_space = JCS_RGB;
    jpeg_start_decompress(&jpeg);
    if (jpeg.output_components != 3)
        return D3DXERR_INVALIDDATA;
    image.width = jpeg.output_width;
    image.height = jpeg.output_height;
    image.argb.resize(size_t(image.width) * image.height);
    row.resize(size_t(image.width) * 3);
    while (jpeg.output_scanline < jpeg.output_height) {
        const UINT y = jpeg.output_scanline;
        JSAMPROW rows[1] = {row.data()};
        jpeg_read_scanlines(&jpeg, rows, 1);
        for (UINT x = 0; x < image.width; ++x)
            image.argb[size_t(y) * image.width + x] = 0xFF000000u | (std::uint32_t(row[x * 3]) << 16) |
                                                      (std::uint32_t(row[x * 3 + 1]) << 8) | row[x * 3 + 2];
    }
    jpeg_finish_decompress(&jpeg);
    return D3D_OK;
}

} // namespace

HRESULT DecodeJpeg(const std::uint8_t* data, size_t size, ImageSet* out)
{
    if (size < 4 || data[0] != 0xFF || data[1] != 0xD8)
        return D3DXERR_INVALIDDATA;
    jpeg_decompress_struct jpeg{};
    ErrorTrap trap{};
    jpeg.err = jpeg_std_error(&trap.manager);
    trap.manager.error_exit = OnFatal;
    trap.manager.output_message = OnMessage;
    Image image;
    std::vector<JSAMPLE> row;
    const HRESULT hr = Decode(jpeg, trap, data, size, image, row);
    jpeg_destroy_decompress(&jpeg);
    if (FAILED(hr))
        return hr;
    out->faces = 1;
    out->levels = 1;
    out->images = {std::move(image)};
    out->format = D3DFMT_X8R8G8B8;
    out->fileType = D3DXIFF_JPG;
    return D3D_OK;
}

HRESULT DecodeImage(const void* data, size_t size, ImageSet* out)
{
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    if (!bytes || size < 4)
        return D3DXERR_INVALIDDATA;
    if (bytes[0] == 'D' && bytes[1] == 'D' && bytes[2] == 'S' && bytes[3] == ' ')
        return DecodeDds(bytes, size, out);
    if (bytes[0] == 'B' && bytes[1] == 'M')
        return DecodeBmp(bytes, size, out);
    if (bytes[0] == 0xFF && bytes[1] == 0xD8)
        return DecodeJpeg(bytes, size, out);
    return D3DXERR_INVALIDDATA;
}

} // namespace plat::img
