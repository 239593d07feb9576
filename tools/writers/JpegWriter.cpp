#include "writers/ImageWriters.h"

#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace tools {

std::string EncodeJpeg(const ArgbImage& image, int quality)
{
    if (image.width == 0 || image.height == 0)
        return {};
    jpeg_compress_struct jpeg{};
    jpeg_error_mgr errors{};
    jpeg.err = jpeg_std_error(&errors);
    jpeg_create_compress(&jpeg);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&jpeg, &buffer, &size);
    jpeg.image_width = image.width;
    jpeg.image_height = image.height;
    jpeg.input_components = 3;
    jpeg.in_color_space = JCS_RGB;
    jpeg_set_defaults(&jpeg);
    jpeg_set_quality(&jpeg, quality, TRUE);
    jpeg_start_compress(&jpeg, TRUE);
    std::vector<JSAMPLE> row(size_t(image.width) * 3);
    while (jpeg.next_scanline < jpeg.image_height) {
        const std::uint32_t* src = image.pixels.data() + size_t(jpeg.next_scanline) * image.width;
        for (unsigned x = 0; x < image.width; ++x) {
            row[x * 3] = JSAMPLE(src[x] >> 16);
            row[x * 3 + 1] = JSAMPLE(src[x] >> 8);
            row[x * 3 + 2] = JSAMPLE(src[x]);
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&jpeg, rows, 1);
    }
    jpeg_finish_compress(&jpeg);
    jpeg_destroy_compress(&jpeg);
    std::string out(reinterpret_cast<const char*>(buffer), size);
    std::free(buffer);
    return out;
}

} // namespace tools
