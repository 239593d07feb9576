#include "writers/EffectTexturesWriter.h"

#include "writers/ImageWriters.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <functional>

namespace tools {
namespace {

// Deterministic grain in 0..1 for a pixel and a seed.
float Grain(unsigned x, unsigned y, unsigned seed)
{
    std::uint32_t h = x * 374761393u + y * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return float((h ^ (h >> 16)) & 0xFFFF) / 65535.0f;
}

std::uint32_t Argb(float a, float r, float g, float b)
{
    auto byte = [](float v) { return std::uint32_t(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f); };
    return byte(a) << 24 | byte(r) << 16 | byte(g) << 8 | byte(b);
}

// An image of cols x rows cells of cell pixels; shade(cell index, u, v, x, y)
// with u, v from -1 to 1 across the cell.
ArgbImage Atlas(unsigned cols, unsigned rows, unsigned cell,
                const std::function<std::uint32_t(unsigned, float, float, unsigned, unsigned)>& shade)
{
    ArgbImage image{cols * cell, rows * cell, {}};
    for (unsigned y = 0; y < image.height; ++y) {
        for (unsigned x = 0; x < image.width; ++x) {
            const unsigned index = (y / cell) * cols + x / cell;
            const float u = ((x % cell) + 0.5f) / cell * 2.0f - 1.0f;
            const float v = ((y % cell) + 0.5f) / cell * 2.0f - 1.0f;
            image.pixels.push_back(shade(index, u, v, x, y));
        }
    }
    return image;
}

// Four drops of dark red, each a differently lobed blot with a soft rim.
ArgbImage BloodAtlas()
{
    return Atlas(2, 2, 32, [](unsigned i, float u, float v, unsigned x, unsigned y) {
        const float angle = std::atan2(v, u);
        const float rim = 0.62f + 0.14f * std::sin(angle * float(3 + i) + float(i)) + 0.05f * Grain(x, y, 1);
        const float d = std::sqrt(u * u + v * v) / rim;
        const float alpha = std::clamp((1.0f - d) * 4.0f, 0.0f, 1.0f);
        const float shade = 0.55f + 0.25f * (1.0f - d);
        return Argb(alpha, shade, 0.02f, 0.02f);
    });
}

// Sixteen frames of a fleck burning down: a white-hot star that shrinks and
// reddens, on black (it is added onto the frame).
ArgbImage SparkAtlas()
{
    return Atlas(4, 4, 32, [](unsigned i, float u, float v, unsigned, unsigned) {
        const float t = float(i) / 15.0f;
        const float d = std::sqrt(u * u + v * v);
        const float core = std::max(0.0f, 1.0f - d / (0.55f - 0.35f * t));
        const float streak = std::max(0.0f, 1.0f - std::fabs(u * v) * 40.0f) * std::max(0.0f, 1.0f - d);
        const float k = std::min(1.0f, core * 1.5f + streak * (1.0f - t) * 0.8f);
        return Argb(1.0f, k, k * (0.9f - 0.4f * t), k * (0.7f - 0.6f * t));
    });
}

// A soft round puff with a cloudy grain; the vertex colour tints it.
ArgbImage Puff(float r, float g, float b, unsigned seed)
{
    return Atlas(1, 1, 64, [=](unsigned, float u, float v, unsigned x, unsigned y) {
        const float d = std::sqrt(u * u + v * v);
        const float cloud = 0.75f + 0.25f * Grain(x / 4, y / 4, seed);
        const float alpha = std::clamp(1.0f - d, 0.0f, 1.0f) * cloud;
        return Argb(alpha * alpha * 1.4f, r * cloud, g * cloud, b * cloud);
    });
}

// A thin light ring on black, brightest just inside its rim.
ArgbImage WaterRing()
{
    return Atlas(1, 1, 64, [](unsigned, float u, float v, unsigned, unsigned) {
        const float d = std::sqrt(u * u + v * v);
        const float k = std::max(0.0f, 1.0f - std::fabs(d - 0.82f) * 9.0f);
        return Argb(1.0f, k, k, k);
    });
}

bool WriteBmpAndJpeg(const std::string& base, const ArgbImage& image)
{
    const std::string jpeg = EncodeJpeg(image, 92);
    return !jpeg.empty() && WriteImageFile(base + ".bmp", EncodeBmp(image, 24)) &&
           WriteImageFile(base + ".jpg", jpeg);
}

} // namespace

bool WriteEffectTextures(const std::string& root)
{
    const std::string effects = root + "/Data/Effects/";
    std::error_code ec;
    for (const char* folder : {"Bloods", "Sparks", "Dusts", "Flames", "WaterCircle"})
        std::filesystem::create_directories(effects + folder, ec);
    return WriteImageFile(effects + "Bloods/Blood.dds", EncodeDds({BloodAtlas()}, DdsPixels::A8R8G8B8, 6)) &&
           WriteBmpAndJpeg(effects + "Sparks/Sparks", SparkAtlas()) &&
           WriteImageFile(effects + "Dusts/Dusts.dds", EncodeDds({Puff(0.85f, 0.78f, 0.65f, 2)}, DdsPixels::A8R8G8B8, 7)) &&
           WriteImageFile(effects + "Flames/Flame.dds", EncodeDds({Puff(1.0f, 1.0f, 1.0f, 3)}, DdsPixels::A8R8G8B8, 7)) &&
           WriteBmpAndJpeg(effects + "WaterCircle/WaterCircle", WaterRing());
}

} // namespace tools
