#include "writers/SampleCity.h"

#include "writers/FieldObjectData.h"

#include "writers/FileBytes.h"
#include "writers/ImageWriters.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace tools {

namespace {

constexpr std::size_t kCells = static_cast<std::size_t>(kGridSide) * kGridSide;

void PutU8(std::string& out, std::size_t at, std::uint8_t v)
{
    out[at] = static_cast<char>(v);
}

void PutU16(std::string& out, std::size_t at, std::uint16_t v)
{
    out[at] = static_cast<char>(v & 0xFF);
    out[at + 1] = static_cast<char>(v >> 8);
}

void PutF32(std::string& out, std::size_t at, float f)
{
    std::uint32_t v;
    std::memcpy(&v, &f, 4);
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// ---- the sample city's plan ------------------------------------------------

constexpr int kRoadColumns[] = {296, 326, 356, 386, 416};
constexpr int kRoadRows[] = {395, 425, 455, 485, 515, 545, 575};
constexpr int kFirstRoadRow = 395, kLastRoadRow = 575;
constexpr int kFirstRoadColumn = 296, kLastRoadColumn = 416;
constexpr std::uint8_t kRoadClass = 100;

// The lake north of the streets: a bowl whose rim meets the ground.
constexpr int kLakeColumn = 350, kLakeRow = 340;
constexpr float kLakeRadius = 16.0f; // cells

constexpr float kGround = 16.0f;
constexpr int kShoreCells = 20;

bool OnRoadLine(int column, int row)
{
    for (int c : kRoadColumns)
        if (column == c && row >= kFirstRoadRow && row <= kLastRoadRow)
            return true;
    for (int r : kRoadRows)
        if (row == r && column >= kFirstRoadColumn && column <= kLastRoadColumn)
            return true;
    return false;
}

float GroundAltitude(int column, int row, int cells)
{
    const int edge = std::min(std::min(column, row), std::min(cells - 1 - column, cells - 1 - row));
    float h = kGround;
    if (edge < kShoreCells)
        h = 2.0f + 14.0f * static_cast<float>(edge) / kShoreCells;
    const float dc = static_cast<float>(column - kLakeColumn), dr = static_cast<float>(row - kLakeRow);
    const float d = std::sqrt(dc * dc + dr * dr) / kLakeRadius;
    if (d < 1.0f)
        h = std::min(h, kGround - 14.0f * (1.0f - d * d)); // 2.0 at the middle, 6 under the water level
    return h;
}

void AddStreets(LandscapeMaps& m)
{
    // Carriageway beside every line, and the 3 x 3 square of every crossing.
    for (int c : kRoadColumns)
        for (int row = kFirstRoadRow; row <= kLastRoadRow; ++row)
            for (int side : {c - 1, c + 1})
                m.SetRoute(side, row, 2, kRoadClass);
    for (int r : kRoadRows)
        for (int column = kFirstRoadColumn; column <= kLastRoadColumn; ++column)
            for (int side : {r - 1, r + 1})
                m.SetRoute(column, side, 2, kRoadClass);
    for (int c : kRoadColumns)
        for (int r : kRoadRows)
            for (int dr = -1; dr <= 1; ++dr)
                for (int dc = -1; dc <= 1; ++dc)
                    m.SetRoute(c + dc, r + dr, 2, kRoadClass);
    // The centre lines; a crossing's middle stays type 2 so that no junction
    // links its arms diagonally through itself.
    for (int row = 0; row < kGridSide; ++row)
        for (int column = 0; column < kGridSide; ++column)
            if (OnRoadLine(column, row))
                m.SetRoute(column, row, 3, kRoadClass);
    for (int c : kRoadColumns)
        for (int r : kRoadRows)
            m.SetRoute(c, r, 2, kRoadClass);
}

// A walkway ring two cells inside the road lines of every block.
void AddWalkways(LandscapeMaps& m)
{
    for (int b = 0; b + 1 < static_cast<int>(std::size(kRoadColumns)); ++b)
        for (int a = 0; a + 1 < static_cast<int>(std::size(kRoadRows)); ++a) {
            const int c0 = kRoadColumns[b] + 2, c1 = kRoadColumns[b + 1] - 2;
            const int r0 = kRoadRows[a] + 2, r1 = kRoadRows[a + 1] - 2;
            for (int column = c0; column <= c1; ++column) {
                m.SetRoute(column, r0, 4, 0);
                m.SetRoute(column, r1, 4, 0);
            }
            for (int row = r0; row <= r1; ++row) {
                m.SetRoute(c0, row, 4, 0);
                m.SetRoute(c1, row, 4, 0);
            }
        }
}

// The new game's drive: a lone walkway cell where the car stands, a corridor
// to the goal at the street grid's north-west corner, and the drive east
// into the grid.
void AddIntroduction(LandscapeMaps& m)
{
    m.SetRoute(246, 414, 4, 0);
    for (int i = 0; i < 15; ++i)
        m.SetRoute(247 + i, 415 + i, 2, kRoadClass);
    for (int column = 262; column <= 277; ++column)
        m.SetRoute(column, 429, 2, kRoadClass);
    m.SetRoute(278, 428, 2, kRoadClass);
    for (int row = 427; row >= 395; --row)
        m.SetRoute(278, row, 2, kRoadClass);
    for (int column = 279; column <= 294; ++column)
        m.SetRoute(column, 395, 2, kRoadClass);
}

// A continued game sets the car down at a fixed spot, (461, -1054) facing
// (400, -1254): in the right-hand lane of the east street, slanted towards
// the walkway. A lay-by there widens the carriageway by the walkway's cells
// and moves the walkway one cell into the block, so the car stands wholly
// on the road, clear of the pedestrians walking past.
//
// Even so the car's rear corner reaches into the southbound traffic line,
// which runs 3 units west of the street's centre line. Along the lay-by the
// centre line therefore steps one cell east, onto a carriageway widened by
// one cell on the street's open east side, so that traffic passes the
// standing car with room to spare instead of striking it or queueing
// behind it. The steps are diagonal: each line cell keeps two links.
void AddContinueLayBy(LandscapeMaps& m)
{
    const int column = 414, firstRow = 560, lastRow = 566;
    for (int row = firstRow - 1; row <= lastRow + 1; ++row)
        m.SetRoute(column - 1, row, 4, 0);
    for (int row = firstRow; row <= lastRow; ++row)
        m.SetRoute(column, row, 2, kRoadClass);

    const int line = 416, firstShifted = 553, lastShifted = 572;
    for (int row = firstShifted; row <= lastShifted; ++row) {
        m.SetRoute(line, row, 2, kRoadClass);
        m.SetRoute(line + 1, row, 3, kRoadClass);
        m.SetRoute(line + 2, row, 2, kRoadClass);
    }
}

// ---- textures ---------------------------------------------------------------

std::uint32_t Mix(std::uint32_t a, std::uint32_t b, float t)
{
    std::uint32_t out = 0;
    for (int s = 0; s < 32; s += 8) {
        const float ca = static_cast<float>((a >> s) & 0xFF), cb = static_cast<float>((b >> s) & 0xFF);
        out |= static_cast<std::uint32_t>(ca + (cb - ca) * t) << s;
    }
    return out;
}

// Deterministic grain for the detail maps.
std::uint32_t Grain(unsigned x, unsigned y)
{
    std::uint32_t h = x * 374761393u + y * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return (h ^ (h >> 16)) & 0xFF;
}

ArgbImage GrainImage(unsigned side, std::uint32_t base, int spread, std::uint8_t alpha = 0xFF, bool alphaGrain = false)
{
    ArgbImage img = SolidImage(side, side, base);
    for (unsigned y = 0; y < side; ++y)
        for (unsigned x = 0; x < side; ++x) {
            const int g = static_cast<int>(Grain(x, y)) * spread / 255 - spread / 2;
            std::uint32_t p = 0;
            for (int s = 0; s < 24; s += 8)
                p |= static_cast<std::uint32_t>(std::clamp(static_cast<int>((base >> s) & 0xFF) + g, 0, 255)) << s;
            const std::uint32_t a = alphaGrain ? (Grain(y, x) > 160 ? alpha : 0) : alpha;
            img.pixels[y * side + x] = p | (a << 24);
        }
    return img;
}

// The whole map seen from above: grass, shore, water and the streets.
ArgbImage MapImage(const LandscapeMaps& m)
{
    const unsigned side = 300;
    ArgbImage img = SolidImage(side, side, 0xFF4C7A32u);
    const int cells = m.frame.cells;
    for (unsigned y = 0; y < side; ++y)
        for (unsigned x = 0; x < side; ++x) {
            const int column = static_cast<int>(x) * cells / static_cast<int>(side);
            const int row = static_cast<int>(y) * cells / static_cast<int>(side);
            const float h = m.altitude[row * kGridSide + column];
            std::uint32_t p = Mix(0xFF3F6B2Au, 0xFF5A8A3Cu, static_cast<float>(Grain(x, y)) / 510.0f);
            if (h < kGround - 0.01f)
                p = Mix(0xFFC8B88Au, 0xFF6A6A50u, std::clamp((kGround - h) / 10.0f, 0.0f, 1.0f));
            const std::uint8_t type = m.route[row * kGridSide + column].type;
            if (type == 2 || type == 3)
                p = 0xFF505050u;
            else if (type == 4)
                p = 0xFF9A9A90u;
            img.pixels[y * side + x] = p;
        }
    return img;
}

// Grey paving slabs, four by four over the texture's square, with darker
// joints between them and a little grain on each slab.
ArgbImage PavingImage()
{
    ArgbImage img = GrainImage(64, 0xFFB8B4ACu, 18);
    for (unsigned y = 0; y < 64; ++y)
        for (unsigned x = 0; x < 64; ++x)
            if (x % 16 == 0 || y % 16 == 0)
                img.pixels[y * 64 + x] = Mix(img.pixels[y * 64 + x], 0xFF5A5852u, 0.6f);
    return img;
}

// Street grime over the paving: mostly clear, with faint dark patches.
ArgbImage StreetDirtImage()
{
    ArgbImage img = GrainImage(64, 0xFF3A3026u, 30);
    for (unsigned y = 0; y < 64; ++y)
        for (unsigned x = 0; x < 64; ++x) {
            const std::uint32_t g = Grain(y, x);
            const std::uint32_t alpha = g > 200 ? (g - 200) * 2 : 0;
            img.pixels[y * 64 + x] = (img.pixels[y * 64 + x] & 0x00FFFFFFu) | alpha << 24;
        }
    return img;
}

bool WriteBmpAndJpg(const std::string& pathWithoutExt, const ArgbImage& img)
{
    return WriteImageFile(pathWithoutExt + ".bmp", EncodeBmp(img, 24)) &&
           WriteImageFile(pathWithoutExt + ".jpg", EncodeJpeg(img, 90));
}

bool WriteLandscapeTextures(const std::string& root, const LandscapeMaps& m)
{
    const std::string land = root + "/Data/Landscape/";
    const std::string surf = land + "Surfaces/";
    for (int i = 1; i <= 32; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "WaterA%02d", i);
        ArgbImage w = SolidImage(32, 32, 0xFF336680u);
        for (unsigned y = 0; y < 32; ++y)
            for (unsigned x = 0; x < 32; ++x) {
                const float wave = std::sin((static_cast<float>(x + y) + static_cast<float>(i)) * 0.39f);
                w.pixels[y * 32 + x] = Mix(0xFF2A5870u, 0xFF6FA8C0u, 0.5f + 0.5f * wave);
            }
        if (!WriteBmpAndJpg(surf + name, w))
            return false;
    }
    ArgbImage mask = SolidImage(64, 64, 0xFF000000u);
    for (unsigned y = 0; y < 64; ++y)
        for (unsigned x = 0; x < 64; ++x)
            if (Grain(x, y) > 200)
                mask.pixels[y * 64 + x] = 0xFFFFFFFFu;
    // Lane markings: a white dash down the middle on a clear ground.
    ArgbImage marks = SolidImage(64, 64, 0x00FFFFFFu);
    for (unsigned y = 0; y < 40; ++y)
        for (unsigned x = 30; x < 34; ++x)
            marks.pixels[y * 64 + x] = 0xFFF0F0F0u;
    return WriteBmpAndJpg(land + "LandscapeTex", MapImage(m)) &&
           WriteBmpAndJpg(land + "RoadsAlpha", mask) &&
           WriteBmpAndJpg(surf + "DetailMap", GrainImage(64, 0xFF808080u, 60)) &&
           WriteBmpAndJpg(surf + "Noise2D", GrainImage(64, 0xFF808080u, 255)) &&
           WriteBmpAndJpg(surf + "Roads01", GrainImage(64, 0xFF4A4A4Au, 30)) &&
           WriteBmpAndJpg(surf + "Roads02", GrainImage(64, 0xFF35332Fu, 40)) &&
           WriteBmpAndJpg(surf + "SideWalks", PavingImage()) &&
           WriteImageFile(surf + "Sectoring.dds", EncodeDds({marks}, DdsPixels::A8R8G8B8, 1)) &&
           WriteImageFile(surf + "StreetDirt.dds", EncodeDds({StreetDirtImage()}, DdsPixels::A8R8G8B8, 1));
}

} // namespace

LandscapeMaps::LandscapeMaps()
    : altitude(kCells, 0.0f), placeMap(kCells, 0), wayPoints(kCells, 0), route(kCells)
{
    for (int row = 0; row < kGridSide; ++row)
        for (int column = 0; column < kGridSide; ++column) {
            RouteRecord& r = Cell(column, row);
            r.column = static_cast<std::uint16_t>(column);
            r.row = static_cast<std::uint16_t>(row);
        }
}

float LandscapeMaps::CentreX(int column) const
{
    const float w = static_cast<float>(frame.cells) * frame.cellSize;
    return (static_cast<float>(column) + 0.5f) * frame.cellSize - w / 2;
}

float LandscapeMaps::CentreZ(int row) const
{
    const float w = static_cast<float>(frame.cells) * frame.cellSize;
    return w / 2 - (static_cast<float>(row) + 0.5f) * frame.cellSize;
}

void LandscapeMaps::SetRoute(int column, int row, std::uint8_t type, std::uint8_t widthClass)
{
    if (column < 0 || row < 0 || column >= kGridSide || row >= kGridSide)
        return;
    RouteRecord& r = Cell(column, row);
    r.type = type;
    r.widthClass = widthClass;
    r.x = CentreX(column);
    r.z = CentreZ(row);
    // The centre lies on the cell's diagonal: the mean of its two ends.
    const int last = std::max(frame.cells - 1, 0);
    const float b = Altitude(column, std::min(row + 1, last));
    const float c = Altitude(std::min(column + 1, last), row);
    r.y = (b + c) / 2;
    wayPoints[row * kGridSide + column] = type ? 1 : 0;
}

std::string EncodeLandscapeData(const LandscapeFrame& f)
{
    char text[512];
    std::snprintf(text, sizeof text,
                  "Cells per side\n%d\nSectors per side\n%d\nCells per sector\n%d\nCell size\n%g\nHeight\n%g\n",
                  f.cells, f.sectorsPerSide, f.cellsPerSector, static_cast<double>(f.cellSize),
                  static_cast<double>(f.height));
    return text;
}

std::string EncodeAltitudeMap(const std::vector<float>& altitude)
{
    std::string out(altitude.size() * 4, '\0');
    for (std::size_t i = 0; i < altitude.size(); ++i)
        PutF32(out, i * 4, altitude[i]);
    return out;
}

std::string EncodeByteMap(const std::vector<std::uint8_t>& map)
{
    return std::string(map.begin(), map.end());
}

std::string EncodeRouteFile(const std::vector<RouteRecord>& route, int rows)
{
    const std::size_t n = std::min(route.size(), static_cast<std::size_t>(std::max(rows, 0)) * kGridSide);
    std::string out(n * 48, '\0');
    for (std::size_t i = 0; i < n; ++i) {
        const RouteRecord& r = route[i];
        const std::size_t at = i * 48;
        PutU8(out, at, r.type);
        PutF32(out, at + 4, r.x);
        PutF32(out, at + 8, r.y);
        PutF32(out, at + 12, r.z);
        PutU8(out, at + 34, r.widthClass);
        PutU16(out, at + 36, r.column);
        PutU16(out, at + 38, r.row);
    }
    return out;
}

LandscapeMaps SampleCityMaps()
{
    LandscapeMaps m;
    for (int row = 0; row < m.frame.cells; ++row)
        for (int column = 0; column < m.frame.cells; ++column)
            m.Altitude(column, row) = GroundAltitude(column, row, m.frame.cells);
    AddStreets(m);
    AddWalkways(m);
    AddIntroduction(m);
    AddContinueLayBy(m);
    AddFieldObjectCells(m);
    return m;
}

bool WriteLandscapeFiles(const std::string& root, const LandscapeMaps& maps, int routeRows)
{
    const std::string dir = root + "/Data/Landscape/";
    return WriteFileBytes(dir + "LandscapeData.obj", EncodeLandscapeData(maps.frame)) &&
           WriteFileBytes(dir + "AltitudeMap.dat", EncodeAltitudeMap(maps.altitude)) &&
           WriteFileBytes(dir + "StaticObjectsPlaceMap.dat", EncodeByteMap(maps.placeMap)) &&
           WriteFileBytes(dir + "WayPointsMap.dat", EncodeByteMap(maps.wayPoints)) &&
           WriteFileBytes(dir + "GlobalRoute.dat", EncodeRouteFile(maps.route, routeRows));
}

bool WriteSampleCity(const std::string& root)
{
    const LandscapeMaps maps = SampleCityMaps();
    return WriteLandscapeFiles(root, maps) && WriteLandscapeTextures(root, maps);
}

} // namespace tools
