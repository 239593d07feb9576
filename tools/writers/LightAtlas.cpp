#include "writers/LightAtlas.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace tools {

namespace {

constexpr unsigned kSize = 128;
constexpr unsigned kHalf = kSize / 2;

// Additive sprites: black is no light, so colour and alpha carry the same glow.
std::uint32_t Glow(float k)
{
    const std::uint32_t v = static_cast<std::uint32_t>(std::clamp(k, 0.0f, 1.0f) * 255.0f);
    return v << 24 | v << 16 | v << 8 | v;
}

// Fills a rectangle of the image; shape gets coordinates -1..1 across it.
void Fill(ArgbImage* image, unsigned x0, unsigned y0, unsigned w, unsigned h,
          const std::function<float(float, float)>& shape)
{
    for (unsigned y = 0; y < h; ++y) {
        for (unsigned x = 0; x < w; ++x) {
            const float u = (float(x) + 0.5f) / float(w) * 2.0f - 1.0f;
            const float v = (float(y) + 0.5f) / float(h) * 2.0f - 1.0f;
            image->pixels[(y0 + y) * kSize + x0 + x] = Glow(shape(u, v));
        }
    }
}

float Round(float u, float v, float power)
{
    const float d = std::sqrt(u * u + v * v);
    return d >= 1.0f ? 0.0f : std::pow(1.0f - d, power);
}

} // namespace

ArgbImage LightAtlasImage()
{
    ArgbImage image{kSize, kSize, std::vector<std::uint32_t>(kSize * kSize, 0u)};
    // A bright round lamp with a hot core.
    Fill(&image, kHalf, kHalf, kHalf, kHalf, [](float u, float v) { return Round(u, v, 1.5f) * 1.4f; });
    // The pool and beam spot: broad and soft, with no hard rim.
    Fill(&image, 0, 0, kHalf, kHalf, [](float u, float v) { return Round(u, v, 0.8f) * 0.8f; });
    // The cone: apex at the bottom middle, widening and fading upwards.
    Fill(&image, 0, kHalf, kHalf, kHalf, [](float u, float v) {
        const float height = (1.0f - v) / 2.0f; // 0 at the apex, 1 at the base
        const float width = std::max(height, 0.02f);
        const float across = std::fabs(u) / width;
        return across >= 1.0f ? 0.0f : (1.0f - across) * (1.0f - 0.4f * height) * 0.8f;
    });
    // The glare: a wide flat streak.
    Fill(&image, kHalf, 0, kHalf, kHalf / 2, [](float u, float v) {
        const float across = 1.0f - std::fabs(u);
        const float high = 1.0f - std::fabs(v);
        return across * across * high * high * high;
    });
    // Head lamp (left) and rear lamp (right): small round lamps.
    Fill(&image, kHalf, kHalf / 2, kHalf / 2, kHalf / 2, [](float u, float v) { return Round(u, v, 1.2f) * 1.3f; });
    Fill(&image, kHalf + kHalf / 2, kHalf / 2, kHalf / 2, kHalf / 2,
         [](float u, float v) { return Round(u, v, 1.0f) * 1.2f; });
    return image;
}

} // namespace tools
