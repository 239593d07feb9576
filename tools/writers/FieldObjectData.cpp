#include "writers/FieldObjectData.h"

#include "writers/FileBytes.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace tools {
namespace {

constexpr int kRoadColumns[] = {296, 326, 356, 386, 416};
constexpr int kRoadRows[] = {395, 425, 455, 485, 515, 545, 575};

std::uint32_t Hash(int x, int y, int salt)
{
    std::uint32_t h = static_cast<std::uint32_t>(x) * 73856093u ^ static_cast<std::uint32_t>(y) * 19349663u ^
                      static_cast<std::uint32_t>(salt) * 83492791u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    return h ^ (h >> 15);
}

float NormalY(const LandscapeMaps& m, int column, int row)
{
    const int last = m.frame.cells - 1;
    const float c = m.frame.cellSize;
    const float dx = m.altitude[row * kGridSide + std::min(column + 1, last)] -
                     m.altitude[row * kGridSide + std::max(column - 1, 0)];
    const float dz = m.altitude[std::min(row + 1, last) * kGridSide + column] -
                     m.altitude[std::max(row - 1, 0) * kGridSide + column];
    const float nx = -dx / (2 * c), nz = -dz / (2 * c);
    return 1.0f / std::sqrt(nx * nx + 1.0f + nz * nz);
}

// The block a cell lies in, with the cell's offsets from the block's north
// and west road lines (30 cells between lines).
bool InBlock(int column, int row, int* block, int* dc, int* dr)
{
    for (int b = 0; b + 1 < static_cast<int>(std::size(kRoadColumns)); ++b)
        for (int a = 0; a + 1 < static_cast<int>(std::size(kRoadRows)); ++a)
            if (column > kRoadColumns[b] && column < kRoadColumns[b + 1] && row > kRoadRows[a] &&
                row < kRoadRows[a + 1]) {
                *block = b * 10 + a;
                *dc = column - kRoadColumns[b];
                *dr = row - kRoadRows[a];
                return true;
            }
    return false;
}

// Blocks whose yard holds a shop, the trick ramp's park or a race point:
// grass only.
bool GrassOnlyBlock(int block)
{
    return block == 22 || block == 34 || block == 35;
}

// The workshop north-west of the grid and the drive to its door.
bool NearWorkshop(int column, int row)
{
    return column >= 268 && column <= 298 && row >= 368 && row <= 396;
}

struct SectorCounts {
    int trees = 0, stones = 0, grass = 0;
};

} // namespace

void AddFieldObjectCells(LandscapeMaps& m)
{
    const int cells = m.frame.cells, perSector = m.frame.cellsPerSector;
    const int sectors = std::max(1, cells / std::max(perSector, 1));
    std::vector<SectorCounts> counts(static_cast<std::size_t>(sectors * sectors));
    const float lowest = m.frame.height * 0.08f - 2.0f;
    for (int row = 0; row < cells; ++row)
        for (int column = 0; column < cells; ++column) {
            if (m.Cell(column, row).type != 0 || m.Altitude(column, row) < lowest)
                continue;
            const float normalY = NormalY(m, column, row);
            int block = 0, dc = 0, dr = 0;
            const std::uint32_t h = Hash(column, row, 1);
            std::uint8_t value = 0;
            if (InBlock(column, row, &block, &dc, &dr)) {
                // The buildings stand along the north and south streets: the
                // yard between them and the verges inside the east and west
                // walkways stay green, with trees and a few boulders.
                const bool yard = dr >= 11 && dr <= 19 && dc >= 4 && dc <= 26;
                const bool verge = (dc == 4 || dc == 26) && dr >= 4 && dr <= 26;
                if (yard || verge) {
                    value = kPlaceGrass;
                    if (!GrassOnlyBlock(block)) {
                        if (verge ? dr % 3 == 0 : h % 7 == 0)
                            value = kPlaceTree;
                        else if (yard && h % 37 == 0)
                            value = kPlaceStone;
                    }
                    if (yard && h % 3 == 0 && value == kPlaceGrass)
                        value = 0; // patches, not a lawn
                }
            } else if (row >= 300 && row < 392 && column >= 250 && column < 460 && !NearWorkshop(column, row)) {
                // The open land north of the streets: meadows with copses.
                if (h % 17 == 0)
                    value = kPlaceTree;
                else if (h % 61 == 0)
                    value = kPlaceStone;
                else if (h % 4 == 0)
                    value = kPlaceGrass;
            }
            if (value == kPlaceTree && normalY < 0.3f)
                value = kPlaceGrass;
            if (value == 0)
                continue;
            SectorCounts& s = counts[static_cast<std::size_t>(std::min(row / perSector, sectors - 1) * sectors +
                                                              std::min(column / perSector, sectors - 1))];
            const bool grassy = value <= 169;
            if (grassy && s.grass >= 400)
                continue;
            if (value == kPlaceTree && s.trees >= 200)
                value = kPlaceGrass;
            if (value == kPlaceStone && s.stones >= 200)
                continue;
            s.grass += grassy;
            s.trees += value == kPlaceTree;
            s.stones += value == kPlaceStone;
            m.placeMap[static_cast<std::size_t>(row) * kGridSide + column] = value;
        }
}

std::string EncodePlaceColor(const LandscapeMaps& m)
{
    const int side = 300;
    std::string out(static_cast<std::size_t>(side) * side * 3, '\0');
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const int column = std::min(x * 2, m.frame.cells - 1), row = std::min(y * 2, m.frame.cells - 1);
            const float h = m.altitude[static_cast<std::size_t>(row) * kGridSide + column];
            const std::uint32_t n = Hash(x, y, 7) % 40;
            // Lush green in the city, drier and yellower on the coast.
            int r = 70 + static_cast<int>(n), g = 120 + static_cast<int>(n), b = 40;
            if (h < 12.0f) {
                r += 50;
                g += 20;
            }
            const std::size_t at = (static_cast<std::size_t>(y) * side + x) * 3;
            out[at] = static_cast<char>(std::min(r, 255));
            out[at + 1] = static_cast<char>(std::min(g, 255));
            out[at + 2] = static_cast<char>(b);
        }
    return out;
}

namespace {

std::uint32_t Argb(unsigned a, unsigned r, unsigned g, unsigned b)
{
    return a << 24 | std::min(r, 255u) << 16 | std::min(g, 255u) << 8 | std::min(b, 255u);
}

// Blades rising from the bottom edge of a quarter, bent to either side.
void DrawTuft(ArgbImage& img, unsigned ox, unsigned oy, unsigned size, int variant)
{
    const int blades = 9 + variant * 2;
    for (int i = 0; i < blades; ++i) {
        const float base = (0.15f + 0.7f * static_cast<float>(Hash(i, variant, 3) % 100) / 100.0f) * size;
        const float height = (0.5f + 0.45f * static_cast<float>(Hash(i, variant, 4) % 100) / 100.0f) * size;
        const float bend = (static_cast<float>(Hash(i, variant, 5) % 100) / 100.0f - 0.5f) * 0.6f * size;
        const unsigned shade = 150 + Hash(i, variant, 6) % 100;
        for (unsigned t = 0; t < static_cast<unsigned>(height); ++t) {
            const float k = static_cast<float>(t) / height;
            const float x = base + bend * k * k;
            const float width = 2.5f * (1.0f - k) + 0.5f;
            for (int dx = static_cast<int>(-width); dx <= static_cast<int>(width); ++dx) {
                const int px = static_cast<int>(x) + dx;
                if (px < 0 || px >= static_cast<int>(size))
                    continue;
                const unsigned py = size - 1 - t;
                img.pixels[(oy + py) * img.width + ox + static_cast<unsigned>(px)] =
                    Argb(255, shade, shade, shade * 3 / 4);
            }
        }
    }
}

// A round cluster of leaves, denser in the middle.
void DrawCluster(ArgbImage& img, unsigned ox, unsigned oy, unsigned size, int variant, std::uint32_t leaves)
{
    const float c = size / 2.0f;
    for (unsigned y = 0; y < size; ++y)
        for (unsigned x = 0; x < size; ++x) {
            const float dx = (x - c) / c, dy = (y - c) / c;
            const float d = std::sqrt(dx * dx + dy * dy);
            const std::uint32_t n = Hash(static_cast<int>(x / 3), static_cast<int>(y / 3), variant + 10) % 100;
            if (d > 0.95f || static_cast<float>(n) / 100.0f < d * d * 0.9f)
                continue;
            const float k = 0.6f + 0.4f * static_cast<float>(n) / 100.0f;
            img.pixels[(oy + y) * img.width + ox + x] =
                Argb(255, static_cast<unsigned>(((leaves >> 16) & 0xFF) * k),
                     static_cast<unsigned>(((leaves >> 8) & 0xFF) * k), static_cast<unsigned>((leaves & 0xFF) * k));
        }
}

} // namespace

ArgbImage GrassAtlas()
{
    ArgbImage img = SolidImage(128, 128, 0x00304010u);
    for (int q = 0; q < 4; ++q)
        DrawTuft(img, (q % 2) * 64, (q / 2) * 64, 64, q);
    return img;
}

ArgbImage BranchAtlas(std::uint32_t leaves)
{
    ArgbImage img = SolidImage(128, 128, 0x00203010u);
    for (int q = 0; q < 4; ++q)
        DrawCluster(img, (q % 2) * 64, (q / 2) * 64, 64, q, leaves);
    return img;
}

bool WriteFieldObjectData(const std::string& root)
{
    LandscapeMaps maps = SampleCityMaps();
    const std::string nature = root + "/Data/Static/Nature/";
    std::filesystem::create_directories(nature + "Grass");
    std::filesystem::create_directories(nature + "Trees");
    return WriteFileBytes(root + "/Data/Landscape/PlaceColor.dat", EncodePlaceColor(maps)) &&
           WriteImageFile(nature + "Grass/Grass.dds", EncodeDds({GrassAtlas()}, DdsPixels::A8R8G8B8, 1)) &&
           WriteImageFile(nature + "Trees/Branch01.dds", EncodeDds({BranchAtlas(0xFF3C7A2Au)}, DdsPixels::A8R8G8B8, 1)) &&
           WriteImageFile(nature + "Trees/Branch02.dds", EncodeDds({BranchAtlas(0xFF5A8C30u)}, DdsPixels::A8R8G8B8, 1));
}

} // namespace tools
