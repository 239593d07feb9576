#include "writers/TrafficDataWriter.h"

#include "writers/FileBytes.h"
#include "writers/ImageWriters.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace tools {
namespace {

constexpr float kFullReach = 46.0f;
constexpr float kFadeReach = 36.0f;
constexpr std::uint8_t kStreetFloor = 180;
// The lone walkway cell the new game starts on.
constexpr int kYardColumn = 246, kYardRow = 414;

struct CellBox {
    int c0 = kGridSide, r0 = kGridSide, c1 = -1, r1 = -1;
};

// The street grid: every road centre cell and the carriageway beside it.
CellBox StreetGrid(const LandscapeMaps& maps)
{
    CellBox box;
    for (int r = 0; r < kGridSide; ++r)
        for (int c = 0; c < kGridSide; ++c)
            if (maps.route[r * kGridSide + c].type == 3) {
                box.c0 = std::min(box.c0, c - 1);
                box.c1 = std::max(box.c1, c + 1);
                box.r0 = std::min(box.r0, r - 1);
                box.r1 = std::max(box.r1, r + 1);
            }
    return box;
}

// World distance from a point in cell units to the box (0 inside).
float DistanceToBox(const CellBox& box, float column, float row, float cellSize)
{
    const float dc = std::max({static_cast<float>(box.c0) - column, 0.0f, column - static_cast<float>(box.c1 + 1)});
    const float dr = std::max({static_cast<float>(box.r0) - row, 0.0f, row - static_cast<float>(box.r1 + 1)});
    return std::sqrt(dc * dc + dr * dr) * cellSize;
}

std::uint32_t Hash(unsigned x, unsigned y, unsigned seed)
{
    std::uint32_t h = x * 374761393u + y * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}

std::uint32_t Argb(int a, int r, int g, int b)
{
    auto c = [](int v) { return static_cast<std::uint32_t>(std::clamp(v, 0, 255)); };
    return c(a) << 24 | c(r) << 16 | c(g) << 8 | c(b);
}

// The cars' trim atlas: head-lamp lenses, indicator and tail lamps in the
// top row, chrome grille and number plate below.
ArgbImage ElementsImage()
{
    const unsigned side = 256, half = side / 2;
    ArgbImage img = SolidImage(side, side, 0xFF202020u);
    for (unsigned y = 0; y < side; ++y)
        for (unsigned x = 0; x < side; ++x) {
            const int grain = static_cast<int>(Hash(x, y, 3) & 15);
            std::uint32_t p;
            if (y < half) {
                const unsigned cell = x / (side / 4);
                const float u = (static_cast<float>(x % (side / 4)) + 0.5f) / (side / 4) * 2.0f - 1.0f;
                const float v = (static_cast<float>(y) + 0.5f) / half * 2.0f - 1.0f;
                const float ring = std::sqrt(u * u + v * v);
                const int lit = ring < 0.8f ? static_cast<int>(255 * (1.0f - ring * 0.5f)) : 60;
                switch (cell) {
                case 0: p = Argb(255, lit, lit, lit - 10); break;          // head lamp
                case 1: p = Argb(255, lit, lit * 3 / 5, 20); break;        // indicator
                case 2: p = Argb(255, lit, 30, 30); break;                 // tail lamp
                default: p = Argb(255, lit * 9 / 10, lit * 9 / 10, lit); break; // reversing lamp
                }
            } else if (x < half) {
                const bool slat = (y / 8) % 2 == 0;
                p = slat ? Argb(255, 190 + grain, 190 + grain, 200 + grain) : Argb(255, 30, 30, 34);
            } else {
                const bool border = x < half + 6 || x >= side - 6 || y < half + 40 || y >= side - 40;
                const bool digit = !border && ((x / 12 + y / 16) % 3 == 0) && (x % 12) > 3;
                p = border ? Argb(255, 40, 40, 40) : digit ? Argb(255, 20, 20, 20) : Argb(255, 235, 235, 225);
            }
            img.pixels[y * side + x] = p;
        }
    return img;
}

// Fine scratch lines on a transparent ground.
ArgbImage ScratchesImage()
{
    const unsigned side = 128;
    ArgbImage img = SolidImage(side, side, 0x00808080u);
    for (unsigned s = 0; s < 60; ++s) {
        const float x0 = static_cast<float>(Hash(s, 1, 7) % side), y0 = static_cast<float>(Hash(s, 2, 7) % side);
        const float angle = static_cast<float>(Hash(s, 3, 7) % 628) / 100.0f;
        const int length = 8 + static_cast<int>(Hash(s, 4, 7) % 40);
        for (int t = 0; t < length; ++t) {
            // Lines wrap around the tile; a negative coordinate must not be
            // converted to unsigned directly.
            const int sx = static_cast<int>(std::floor(x0 + std::cos(angle) * t));
            const int sy = static_cast<int>(std::floor(y0 + std::sin(angle) * t));
            const unsigned x = static_cast<unsigned>((sx % static_cast<int>(side) + static_cast<int>(side)) % static_cast<int>(side));
            const unsigned y = static_cast<unsigned>((sy % static_cast<int>(side) + static_cast<int>(side)) % static_cast<int>(side));
            img.pixels[y * side + x] = Argb(200, 225, 225, 225);
        }
    }
    return img;
}

// A crack star: rays from a few impact points and rings around them.
ArgbImage BrokenGlassImage()
{
    const unsigned side = 128;
    ArgbImage img = SolidImage(side, side, 0x30A0B0B8u);
    const float cx[3] = {40.0f, 90.0f, 64.0f}, cy[3] = {50.0f, 80.0f, 100.0f};
    for (int i = 0; i < 3; ++i) {
        for (int ray = 0; ray < 12; ++ray) {
            const float angle = ray * 0.5236f + static_cast<float>(Hash(ray, i, 11) % 30) / 100.0f;
            for (int t = 0; t < 70; ++t) {
                const int x = static_cast<int>(cx[i] + std::cos(angle) * t), y = static_cast<int>(cy[i] + std::sin(angle) * t);
                if (x >= 0 && y >= 0 && x < static_cast<int>(side) && y < static_cast<int>(side))
                    img.pixels[y * side + x] = Argb(230, 240, 245, 250);
            }
        }
        for (float r : {8.0f, 18.0f}) {
            for (int a = 0; a < 200; ++a) {
                const int x = static_cast<int>(cx[i] + std::cos(a * 0.0314f) * r);
                const int y = static_cast<int>(cy[i] + std::sin(a * 0.0314f) * r);
                if (x >= 0 && y >= 0 && x < static_cast<int>(side) && y < static_cast<int>(side))
                    img.pixels[y * side + x] = Argb(200, 230, 235, 240);
            }
        }
    }
    return img;
}

bool WriteBmpAndJpg(const std::string& pathWithoutExt, const ArgbImage& img)
{
    return WriteImageFile(pathWithoutExt + ".bmp", EncodeBmp(img, 32)) &&
           WriteImageFile(pathWithoutExt + ".jpg", EncodeJpeg(img, 90));
}

} // namespace

std::string EncodeTrafficDensity(const LandscapeMaps& maps)
{
    std::string out(static_cast<std::size_t>(kDensitySide) * kDensitySide, '\0');
    const CellBox grid = StreetGrid(maps);
    const float cellSize = maps.frame.cellSize;
    for (int row = 0; row < kDensitySide; ++row)
        for (int col = 0; col < kDensitySide; ++col) {
            const float d = DistanceToBox(grid, col * 3.0f + 1.5f, row * 3.0f + 1.5f, cellSize);
            float value = 0.0f;
            if (d <= kFullReach)
                value = 255.0f;
            else if (d < kFullReach + kFadeReach)
                value = 255.0f * (kFullReach + kFadeReach - d) / kFadeReach;
            // Any carriageway outside the grid keeps full grip.
            for (int r = row * 3; r < row * 3 + 3 && r < kGridSide; ++r)
                for (int c = col * 3; c < col * 3 + 3 && c < kGridSide; ++c) {
                    const std::uint8_t type = maps.route[r * kGridSide + c].type;
                    if (type == 2 || type == 3)
                        value = std::max(value, static_cast<float>(kStreetFloor));
                }
            if (col == kYardColumn / 3 && row == kYardRow / 3)
                value = 0.0f;
            out[static_cast<std::size_t>(row) * kDensitySide + col] = static_cast<char>(static_cast<int>(value + 0.5f));
        }
    return out;
}

bool WriteTrafficData(const std::string& root)
{
    const std::string vehicles = root + "/Data/Vehicles/";
    return WriteFileBytes(root + "/Data/Landscape/TrafficDensityMap.dat", EncodeTrafficDensity(SampleCityMaps())) &&
           WriteImageFile(vehicles + "Elements.dds", EncodeDds({ElementsImage()}, DdsPixels::A8R8G8B8, 0)) &&
           WriteBmpAndJpg(vehicles + "Scratches", ScratchesImage()) &&
           WriteBmpAndJpg(vehicles + "BrokenGlass", BrokenGlassImage());
}

} // namespace tools
