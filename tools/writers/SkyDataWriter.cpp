#include "writers/SkyDataWriter.h"

#include "writers/FileBytes.h"
#include "writers/ImageWriters.h"
#include "writers/ObjectTextures.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>

namespace tools {
namespace {

const float kPi = 3.14159265f;

float Grain(unsigned x, unsigned y, unsigned seed)
{
    std::uint32_t h = x * 374761393u + y * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return float((h ^ (h >> 16)) & 0xFFFF) / 65535.0f;
}

// Smooth noise that wraps every `period` cells, for seamless clouds.
float ValueNoise(float x, float y, unsigned period, unsigned seed)
{
    const float fx = std::floor(x), fy = std::floor(y);
    const float tx = x - fx, ty = y - fy;
    const float sx = tx * tx * (3.0f - 2.0f * tx), sy = ty * ty * (3.0f - 2.0f * ty);
    auto at = [&](float cx, float cy) {
        return Grain(unsigned(int(cx) % int(period) + int(period)) % period,
                     unsigned(int(cy) % int(period) + int(period)) % period, seed);
    };
    const float a = at(fx, fy) + (at(fx + 1, fy) - at(fx, fy)) * sx;
    const float b = at(fx, fy + 1) + (at(fx + 1, fy + 1) - at(fx, fy + 1)) * sx;
    return a + (b - a) * sy;
}

std::uint32_t Argb(float a, float r, float g, float b)
{
    auto byte = [](float v) { return std::uint32_t(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f); };
    return byte(a) << 24 | byte(r) << 16 | byte(g) << 8 | byte(b);
}

template <class Shade>
ArgbImage Draw(unsigned width, unsigned height, Shade shade)
{
    ArgbImage image{width, height, {}};
    for (unsigned y = 0; y < height; ++y)
        for (unsigned x = 0; x < width; ++x)
            image.pixels.push_back(shade((x + 0.5f) / width, (y + 0.5f) / height, x, y));
    return image;
}

// A glowing disc: white core fading to black, for additive sprites.
ArgbImage Glow(unsigned size, float core, float r, float g, float b)
{
    return Draw(size, size, [=](float u, float v, unsigned, unsigned) {
        const float d = std::sqrt((u - 0.5f) * (u - 0.5f) + (v - 0.5f) * (v - 0.5f)) * 2.0f;
        const float k = d < core ? 1.0f : std::clamp(1.0f - (d - core) / (1.0f - core), 0.0f, 1.0f);
        const float e = k * k;
        return Argb(1.0f, r * e, g * e, b * e);
    });
}

// A pale disc with darker seas, transparent round it.
ArgbImage MoonImage()
{
    return Draw(64, 64, [](float u, float v, unsigned x, unsigned y) {
        const float d = std::sqrt((u - 0.5f) * (u - 0.5f) + (v - 0.5f) * (v - 0.5f)) * 2.0f;
        const float alpha = std::clamp((0.92f - d) * 20.0f, 0.0f, 1.0f);
        const float sea = ValueNoise(u * 6.0f, v * 6.0f, 6, 7) > 0.6f ? 0.78f : 1.0f;
        const float tone = sea * (0.92f + 0.08f * Grain(x, y, 3));
        return Argb(alpha, tone, tone, tone * 0.96f);
    });
}

// Blue, paler towards the horizon (v = 1), with faint streaks.
ArgbImage DomeImage()
{
    return Draw(64, 128, [](float u, float v, unsigned, unsigned) {
        const float haze = v * v;
        const float streak = 0.06f * ValueNoise(u * 8.0f, v * 3.0f, 8, 11);
        return Argb(1.0f, 0.45f + 0.4f * haze + streak, 0.62f + 0.3f * haze + streak, 0.95f + streak);
    });
}

// The band's haze: opaque at the horizon line, fading out upwards.
ArgbImage HorizonImage()
{
    return Draw(64, 32, [](float, float v, unsigned, unsigned) {
        const float alpha = std::clamp(v * 1.2f, 0.0f, 1.0f);
        return Argb(alpha * alpha, 0.85f, 0.88f, 0.95f);
    });
}

// Soft clouds on black: they are added onto the sky.
ArgbImage CloudImage()
{
    return Draw(256, 256, [](float u, float v, unsigned, unsigned) {
        float n = 0.0f, amplitude = 0.5f;
        for (unsigned octave = 0; octave < 4; ++octave) {
            const unsigned period = 4u << octave;
            n += amplitude * ValueNoise(u * float(period), v * float(period), period, 20 + octave);
            amplitude *= 0.5f;
        }
        const float c = std::clamp((n - 0.45f) * 2.5f, 0.0f, 1.0f);
        return Argb(1.0f, c * 0.9f, c * 0.9f, c * 0.92f);
    });
}

// With its alpha and the full chain of mip levels.
std::string AlphaTexture(const ArgbImage& image)
{
    unsigned levels = 1;
    for (unsigned side = std::max(image.width, image.height); side > 1; side /= 2)
        ++levels;
    return EncodeDds({image}, DdsPixels::A8R8G8B8, levels);
}

MeshFileVertex SphereVertex(float radius, float azimuth, float elevation, float u, float v)
{
    const MeshVec3 n = {std::cos(elevation) * std::cos(azimuth), std::sin(elevation),
                        std::cos(elevation) * std::sin(azimuth)};
    return {{n[0] * radius, n[1] * radius, n[2] * radius}, n, u, v};
}

// Quads between rings of a grid of (rings + 1) x (segments + 1) vertices;
// both windings when doubleSided.
void AddGridIndices(MeshPartData* part, int rings, int segments, bool doubleSided)
{
    for (int r = 0; r < rings; ++r) {
        for (int s = 0; s < segments; ++s) {
            const auto at = [&](int rr, int ss) { return std::uint16_t(rr * (segments + 1) + ss); };
            const std::uint16_t a = at(r, s), b = at(r, s + 1), c = at(r + 1, s), d = at(r + 1, s + 1);
            part->indices.insert(part->indices.end(), {a, b, c, c, b, d});
            if (doubleSided)
                part->indices.insert(part->indices.end(), {a, c, b, c, d, b});
        }
    }
}

} // namespace

std::string SkyDescription(const std::string& meshPath, const std::string& bandTexture)
{
    DescriptionWriter w;
    w.Head({"Sky", "GCLASS_STATIC", "GTYPE_STATIC", "", meshPath, "Data/Sky/Dome.dds"});
    if (!bandTexture.empty())
        w.SelfIllum(bandTexture);
    w.End();
    return w.Ignored().Ignored().Text();
}

MeshData SkyDomeMesh()
{
    MeshData mesh;
    // A whole sphere: the game turns the dome towards the sun, so with the
    // sun high its lower rim swings up into the sky on the far side. The
    // texture runs from the top (v = 0) to 20 degrees below the horizon
    // (v = 1); further down the haze row carries on, so no rim shows.
    const int rings = 18, segments = 24;
    std::vector<MeshFileVertex> dome;
    for (int r = 0; r <= rings; ++r) {
        const float elevation = kPi / 2.0f - float(r) / rings * kPi;
        const float v = std::min((kPi / 2.0f - elevation) / (kPi / 2.0f + kPi / 9.0f), 1.0f);
        for (int s = 0; s <= segments; ++s) {
            const float u = float(s) / segments;
            dome.push_back(SphereVertex(kSkyDomeRadius, u * 2.0f * kPi, elevation, u, v));
        }
    }
    mesh.parts[0].frames.push_back(dome);
    AddGridIndices(&mesh.parts[0], rings, segments, false);

    // The band: an upright ring round the horizon, seen from inside.
    std::vector<MeshFileVertex> band;
    const float radius = kSkyDomeRadius - 5.0f;
    const float heights[2] = {18.0f, -6.0f};
    for (int r = 0; r < 2; ++r) {
        for (int s = 0; s <= segments; ++s) {
            const float u = float(s) / segments, azimuth = u * 2.0f * kPi;
            const MeshVec3 n = {-std::cos(azimuth), 0.0f, -std::sin(azimuth)};
            // v stays off the edges: the texture wraps, and its opaque bottom
            // row would show as a line along the band's top.
            band.push_back({{-n[0] * radius, heights[r], -n[2] * radius}, n, u * 4.0f, r ? 0.97f : 0.03f});
        }
    }
    mesh.parts[2].frames.push_back(band);
    AddGridIndices(&mesh.parts[2], 1, segments, true);
    return mesh;
}

// A shallow dish over the city, highest above the camera.
MeshData SkyCloudsMesh()
{
    MeshData mesh;
    const int rings = 5, segments = 24;
    std::vector<MeshFileVertex> cloud;
    for (int r = 0; r <= rings; ++r) {
        const float t = float(r) / rings, radius = (kSkyDomeRadius - 2.0f) * t;
        const float height = 30.0f - 24.0f * t * t;
        for (int s = 0; s <= segments; ++s) {
            const float azimuth = float(s) / segments * 2.0f * kPi;
            const float x = radius * std::cos(azimuth), z = radius * std::sin(azimuth);
            cloud.push_back({{x, height, z}, {0.0f, -1.0f, 0.0f}, x / 60.0f + 0.5f, z / 60.0f + 0.5f});
        }
    }
    mesh.parts[0].frames.push_back(cloud);
    AddGridIndices(&mesh.parts[0], rings, segments, true);
    return mesh;
}

std::vector<SampleFile> SampleSkyFiles()
{
    return {
        {"Data/Sky/Main.obj", SkyDescription("Data/Sky/Dome.msh", "Data/Sky/Horizon.dds")},
        {"Data/Sky/Dome.msh", EncodeMesh(SkyDomeMesh())},
        {"Data/Sky/Clouds.msh", EncodeMesh(SkyCloudsMesh())},
        {"Data/Sky/Dome.dds", EncodeObjectTexture(DomeImage())},
        {"Data/Sky/Horizon.dds", AlphaTexture(HorizonImage())},
        {"Data/Sky/Moon.dds", AlphaTexture(MoonImage())},
        // The game reads the ".bmp" names from their ".jpg" files.
        {"Data/Sky/Sun.jpg", EncodeJpeg(Glow(64, 0.15f, 1.0f, 0.97f, 0.85f), 92)},
        {"Data/Sky/Star.jpg", EncodeJpeg(Glow(16, 0.1f, 1.0f, 1.0f, 1.0f), 92)},
        {"Data/Sky/Clouds.jpg", EncodeJpeg(CloudImage(), 90)},
    };
}

bool WriteSkyData(const std::string& root)
{
    for (const SampleFile& file : SampleSkyFiles()) {
        if (file.bytes.empty() || !WriteFileBytes((std::filesystem::path(root) / file.path).string(), file.bytes))
            return false;
    }
    return true;
}

} // namespace tools
