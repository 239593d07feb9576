// Procedural textures of the sample city's objects.
#include "writers/ObjectTextures.h"

#include <algorithm>
#include <cmath>

namespace tools {

namespace {

// A fixed hash of a pixel: the same picture on every run.
float Noise(unsigned x, unsigned y, unsigned seed)
{
    std::uint32_t h = x * 374761393u + y * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return static_cast<float>(h & 0xFFFF) / 65535.0f;
}

std::uint32_t Channel(std::uint32_t c, int shift) { return (c >> shift) & 0xFF; }

// Scales the colour's channels by k (clamped), opaque.
std::uint32_t Shade(std::uint32_t c, float k)
{
    std::uint32_t out = 0xFF000000u;
    for (int shift : {16, 8, 0}) {
        const float v = std::clamp(static_cast<float>(Channel(c, shift)) * k, 0.0f, 255.0f);
        out |= static_cast<std::uint32_t>(v) << shift;
    }
    return out;
}

std::uint32_t Mix(std::uint32_t a, std::uint32_t b, float t)
{
    std::uint32_t out = 0xFF000000u;
    for (int shift : {16, 8, 0}) {
        const float v = static_cast<float>(Channel(a, shift)) * (1 - t) + static_cast<float>(Channel(b, shift)) * t;
        out |= static_cast<std::uint32_t>(std::clamp(v, 0.0f, 255.0f)) << shift;
    }
    return out;
}

template <class Paint>
ArgbImage Draw(unsigned width, unsigned height, Paint paint)
{
    ArgbImage image = SolidImage(width, height, 0xFF000000u);
    for (unsigned y = 0; y < height; ++y)
        for (unsigned x = 0; x < width; ++x)
            image.pixels[y * width + x] = paint(x, y);
    return image;
}

// Where a pixel lies in the window grid: the cell and the position in it (0..1).
struct GridSpot {
    int column, floor;
    float u, v;
};

GridSpot SpotOf(unsigned x, unsigned y, unsigned width, unsigned height, int columns, int floors)
{
    const float cu = static_cast<float>(x) * columns / width;
    const float cv = static_cast<float>(y) * floors / height;
    return {static_cast<int>(cu), static_cast<int>(cv), cu - std::floor(cu), cv - std::floor(cv)};
}

bool InWindow(const GridSpot& s, int floors)
{
    if (s.floor == floors - 1) // shop fronts: wide and low
        return s.u > 0.06f && s.u < 0.94f && s.v > 0.2f && s.v < 0.85f;
    return s.u > 0.25f && s.u < 0.75f && s.v > 0.22f && s.v < 0.78f;
}

} // namespace

ArgbImage FacadeImage(unsigned width, unsigned height, int columns, int floors, std::uint32_t wall,
                      std::uint32_t glass)
{
    return Draw(width, height, [&](unsigned x, unsigned y) {
        const GridSpot s = SpotOf(x, y, width, height, columns, floors);
        const float grain = 0.92f + 0.08f * Noise(x, y, 1);
        if (!InWindow(s, floors)) {
            // A cornice line between floors.
            const bool ledge = s.v < 0.05f && s.floor > 0;
            return Shade(wall, grain * (ledge ? 0.8f : 1.0f));
        }
        // Glass darker at the top, a frame cross in the upper windows.
        const bool frame = s.floor != floors - 1 && (std::fabs(s.u - 0.5f) < 0.02f || std::fabs(s.v - 0.45f) < 0.02f);
        if (frame)
            return Shade(0xFFE0E0D8u, grain);
        const float sky = 0.6f + 0.5f * s.v + 0.15f * Noise(s.column, s.floor, 2);
        return Shade(glass, sky);
    });
}

ArgbImage WindowLightsImage(unsigned width, unsigned height, int columns, int floors, std::uint32_t light)
{
    return Draw(width, height, [&](unsigned x, unsigned y) {
        const GridSpot s = SpotOf(x, y, width, height, columns, floors);
        const bool lit = Noise(s.column, s.floor, 3) < 0.45f || s.floor == floors - 1;
        if (!InWindow(s, floors) || !lit)
            return 0xFF000000u;
        return Shade(light, 0.7f + 0.3f * Noise(s.column, s.floor, 4));
    });
}

ArgbImage SignImage(unsigned width, unsigned height, std::uint32_t panel, std::uint32_t letters)
{
    return Draw(width, height, [&](unsigned x, unsigned y) {
        if (x < 2 || y < 2 || x + 2 >= width || y + 2 >= height)
            return letters;
        const bool letterRow = y >= height / 4 && y < height - height / 4;
        const bool letterColumn = x >= 4 && x + 4 < width && (x / 3) % 3 != 2;
        return letterRow && letterColumn ? letters : panel;
    });
}

ArgbImage TreeImage(std::uint32_t leaves)
{
    return Draw(128, 128, [&](unsigned x, unsigned y) {
        if (x < 32) {
            const float stripe = 0.75f + 0.25f * Noise(x / 3, y / 12, 5);
            return Shade(0xFF5A3F2Au, stripe);
        }
        const float clump = Noise(x / 6, y / 6, 6);
        return Shade(leaves, 0.6f + 0.3f * clump + 0.2f * Noise(x, y, 7));
    });
}

ArgbImage StoneImage(std::uint32_t tone)
{
    return Draw(64, 64, [&](unsigned x, unsigned y) {
        return Shade(tone, 0.7f + 0.2f * Noise(x / 4, y / 4, 8) + 0.15f * Noise(x, y, 9));
    });
}

ArgbImage BridgeImage()
{
    return Draw(128, 128, [&](unsigned x, unsigned y) {
        if (x < 64)
            return Shade(0xFFA8A49Cu, 0.85f + 0.15f * Noise(x, y, 10) - (y % 32 == 0 ? 0.2f : 0.0f));
        // Asphalt with a dashed centre line along the deck.
        const bool line = x >= 94 && x < 98 && (y / 16) % 2 == 0;
        return line ? 0xFFE8E8E0u : Shade(0xFF3C3C40u, 0.8f + 0.3f * Noise(x, y, 11));
    });
}

ArgbImage LampImage()
{
    return Draw(64, 64, [&](unsigned x, unsigned y) {
        if (x < 32)
            return Shade(0xFF2E3336u, 0.85f + 0.25f * Noise(x, y, 12));
        return Mix(0xFFFFF4D0u, 0xFFFFE090u, static_cast<float>(y) / 64.0f);
    });
}

ArgbImage BenchImage()
{
    return Draw(64, 64, [&](unsigned x, unsigned y) {
        if (x < 32) {
            const bool gap = y % 8 == 7;
            return gap ? 0xFF3A2818u : Shade(0xFF9A6A3Cu, 0.8f + 0.2f * Noise(x / 2, y, 13));
        }
        return Shade(0xFF24282Au, 0.9f + 0.2f * Noise(x, y, 14));
    });
}

ArgbImage PaintImage(std::uint32_t paint)
{
    return Draw(64, 64, [&](unsigned x, unsigned y) {
        const float t = static_cast<float>(y) / 63.0f;
        if (y > 56)
            return Shade(paint, 0.45f);
        if (y < 3)
            return Shade(paint, 1.25f);
        return Shade(paint, 1.1f - 0.35f * t + 0.03f * Noise(x, y, 15));
    });
}

ArgbImage ChromeImage()
{
    return Draw(32, 32, [&](unsigned x, unsigned y) { return Shade(0xFFD8DCE0u, 0.9f + 0.1f * Noise(x, y, 16)); });
}

ArgbImage GlassImage(std::uint32_t tint)
{
    return Draw(32, 32, [&](unsigned x, unsigned y) {
        const float streak = (x + y) % 16 < 2 ? 0.3f : 0.0f;
        return Shade(tint, 0.5f + streak);
    });
}

ArgbImage WheelImage()
{
    return Draw(64, 64, [&](unsigned x, unsigned y) {
        if (x < 32)
            return (y % 6) < 2 ? 0xFF141414u : 0xFF262626u;
        const float dx = static_cast<float>(x) - 47.5f, dy = static_cast<float>(y) - 31.5f;
        const float r = std::sqrt(dx * dx + dy * dy) / 32.0f;
        if (r > 0.8f)
            return 0xFF1C1C1Cu;
        const bool spoke = static_cast<int>((std::atan2(dy, dx) + 3.1416f) / 6.2832f * 10.0f) % 2 == 0;
        return r < 0.15f || spoke ? 0xFFC8CCD0u : 0xFF505458u;
    });
}

ArgbImage HumanImage(std::uint32_t skin, std::uint32_t shirt, std::uint32_t trousers)
{
    return Draw(64, 64, [&](unsigned x, unsigned y) {
        const std::uint32_t quarter[4] = {skin, shirt, trousers, 0xFF202020u};
        return Shade(quarter[x / 16], 0.9f + 0.1f * Noise(x, y, 17));
    });
}

ArgbImage ArrowImage()
{
    return Draw(32, 32, [&](unsigned x, unsigned y) { return Mix(0xFFFFE040u, 0xFFFF8000u, static_cast<float>(y) / 31.0f); });
}

std::string EncodeObjectTexture(const ArgbImage& image)
{
    unsigned levels = 1;
    for (unsigned side = std::max(image.width, image.height); side > 1; side /= 2)
        ++levels;
    return EncodeDds({image}, DdsPixels::X8R8G8B8, levels);
}

} // namespace tools
