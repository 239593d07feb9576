// PNG files of read-back images (screenshots, test references and diffs).
#include "platform/D3D9Gl.h"

#include <png.h>

#include <cstdio>
#include <memory>
#include <string>

namespace plat {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

} // namespace

namespace {

// The rows go through libpng into an open file; false on any failure.
bool EncodePng(std::FILE* file, const Pixels& image)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    std::vector<png_byte> row(size_t(image.width) * 4);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, image.width, image.height, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (UINT y = 0; y < image.height; ++y) {
        for (UINT x = 0; x < image.width; ++x) {
            const std::uint32_t p = image.At(x, y);
            row[x * 4 + 0] = png_byte(p >> 16);
            row[x * 4 + 1] = png_byte(p >> 8);
            row[x * 4 + 2] = png_byte(p);
            row[x * 4 + 3] = png_byte(p >> 24);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

// Written beside the target and renamed over it once closed: a full disk
// leaves the earlier picture, never half a file.
bool WritePng(const char* path, const Pixels& image)
{
    if (!path || image.width == 0 || image.height == 0 || image.argb.size() < size_t(image.width) * image.height)
        return false;
    const std::string temporary = std::string(path) + ".tmp";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file)
        return false;
    bool ok = EncodePng(file, image);
    ok = std::fclose(file) == 0 && ok;
    if (ok && std::rename(temporary.c_str(), path) == 0)
        return true;
    std::remove(temporary.c_str());
    return false;
}

bool ReadPng(const char* path, Pixels* out)
{
    File file(path ? std::fopen(path, "rb") : nullptr);
    if (!file || !out)
        return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    std::vector<png_byte> row;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_init_io(png, file.get());
    png_read_info(png, info);
    // Any PNG becomes 8-bit RGBA.
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_read_update_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    if (width == 0 || height == 0 || width > 8192 || height > 8192 || png_get_rowbytes(png, info) != width * 4) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    out->width = width;
    out->height = height;
    out->argb.assign(size_t(width) * height, 0);
    row.resize(size_t(width) * 4);
    for (png_uint_32 y = 0; y < height; ++y) {
        png_read_row(png, row.data(), nullptr);
        for (png_uint_32 x = 0; x < width; ++x) {
            const png_byte* p = &row[x * 4];
            out->argb[size_t(y) * width + x] =
                (std::uint32_t(p[3]) << 24) | (std::uint32_t(p[0]) << 16) | (std::uint32_t(p[1]) << 8) | p[2];
        }
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

} // namespace plat
