// The route grid: loading with the link rebuild, and the cell and point
// queries.
#include "world/Landscape.h"

#include "shell/FileManager.h"
#include "shell/Log.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr std::uint32_t kRouteFileSize = LANDSCAPE_GRID * LANDSCAPE_GRID * ROUTE_RECORD_SIZE;

float ReadF32(const unsigned char* p)
{
    const std::uint32_t v = p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
    float f;
    std::memcpy(&f, &v, 4);
    return f;
}

bool InRange(std::uint8_t type, int lo, int hi)
{
    return type >= static_cast<std::uint8_t>(lo) && type <= static_cast<std::uint8_t>(hi);
}

float DistanceSq(const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    const D3DXVECTOR3 d = a - b;
    return d.x * d.x + d.y * d.y + d.z * d.z;
}

// Calls visit(column, row) for the cells at exactly r rows or columns from
// the centre, rows first, both ascending: the new ring of a square of radius
// r. Scanning rings instead of whole squares keeps the same first-nearest
// answer (inner cells were seen before) without rescanning them.
template <typename Visit>
void ForRing(int column, int row, int r, Visit visit)
{
    for (int y = row - r; y <= row + r; ++y) {
        if (y < 0 || y >= LANDSCAPE_GRID)
            continue;
        const bool edgeRow = y == row - r || y == row + r;
        for (int x = column - r; x <= column + r; x += (edgeRow || r == 0) ? 1 : 2 * r) {
            if (x < 0 || x >= LANDSCAPE_GRID)
                continue;
            visit(x, y);
        }
    }
}

// Never more than the file holds, a row at a time: a short file leaves the
// rest empty. Returns the bytes read.
std::size_t ReadRouteRows(CLandscape* land, FileHandle f, std::uint32_t size)
{
    const std::size_t wanted = std::min(size, kRouteFileSize);
    std::vector<unsigned char> row(std::size_t{LANDSCAPE_GRID} * ROUTE_RECORD_SIZE);
    std::size_t got = 0;
    while (got < wanted) {
        const std::size_t asked = std::min(row.size(), wanted - got);
        const std::size_t n = g_FileManager.Read(row.data(), 1, asked, f);
        const std::size_t first = got / ROUTE_RECORD_SIZE;
        got += n;
        for (std::size_t i = first; i < got / ROUTE_RECORD_SIZE; ++i) {
            const unsigned char* p = row.data() + (i - first) * ROUTE_RECORD_SIZE;
            RouteCell& cell = land->m_Route[i / LANDSCAPE_GRID][i % LANDSCAPE_GRID];
            cell.m_nType = p[0];
            cell.m_vPosition = D3DXVECTOR3(ReadF32(p + 4), ReadF32(p + 8), ReadF32(p + 12));
            cell.m_nWidthClass = p[34];
            // The grid position is the truth; the stored column and row are not trusted.
            cell.m_nColumn = static_cast<std::uint16_t>(i % LANDSCAPE_GRID);
            cell.m_nRow = static_cast<std::uint16_t>(i / LANDSCAPE_GRID);
        }
        land->m_nRouteRows = static_cast<std::int32_t>((got / ROUTE_RECORD_SIZE + LANDSCAPE_GRID - 1) / LANDSCAPE_GRID);
        if (n < asked)
            break;
    }
    return got;
}

} // namespace

// Only the rows a load filled can hold anything: a small route file does
// not pay for clearing and scanning the whole grid.
void CLandscape::ClearRoute()
{
    const int rows = std::clamp(m_nRouteRows, 0, static_cast<int>(LANDSCAPE_GRID));
    std::memset(static_cast<void*>(m_Route), 0, sizeof m_Route[0] * static_cast<std::size_t>(rows));
    m_nRouteRows = 0;
}

void CLandscape::LoadRoute()
{
    std::memset(m_WayPointsMap, 0, sizeof m_WayPointsMap);
    ClearRoute();
    m_nRoadCells = m_nWalkwayCells = 0;

    char path[300];
    std::snprintf(path, sizeof path, "%s/WayPointsMap.dat", m_szDirectory);
    std::uint32_t size = 0;
    FileHandle f = g_FileManager.Open(path, ARCHIVE_WORLD, &size);
    if (f == INVALID_FILE_HANDLE) {
        LogFileProblem(path, "missing: the city has no routes");
        return;
    }
    g_FileManager.Read(m_WayPointsMap, 1, std::min<std::uint32_t>(size, sizeof m_WayPointsMap), f);
    g_FileManager.Close(f);

    std::snprintf(path, sizeof path, "%s/GlobalRoute.dat", m_szDirectory);
    f = g_FileManager.Open(path, ARCHIVE_WORLD, &size);
    if (f == INVALID_FILE_HANDLE)
        LogFileProblem(path, "missing: the city has no road or walkway cells");
    if (f != INVALID_FILE_HANDLE) {
        const std::size_t got = ReadRouteRows(this, f, size);
        g_FileManager.Close(f);
        if (got < kRouteFileSize)
            LogFileProblem(path, "shorter than the grid: the rest has no route cells");
    }
    RebuildLinks(ROUTE_ROAD, &m_nRoadCells);
    RebuildLinks(ROUTE_WALKWAY, &m_nWalkwayCells);
    ThinWalkways();
}

void CLandscape::RebuildLinks(std::uint8_t type, std::uint32_t* counted)
{
    for (int row = 0; row < m_nRouteRows; ++row)
        for (int column = 0; column < LANDSCAPE_GRID; ++column) {
            RouteCell& cell = m_Route[row][column];
            if (cell.m_nType != type)
                continue;
            cell.m_nLinkCount = 0;
            std::memset(cell.m_nLinks, 0, sizeof cell.m_nLinks);
            for (int y = row - 1; y <= row + 1; ++y)
                for (int x = column - 1; x <= column + 1; ++x) {
                    if ((x == column && y == row) || x < 0 || y < 0 || x >= LANDSCAPE_GRID || y >= LANDSCAPE_GRID)
                        continue;
                    if (m_Route[y][x].m_nType == type && cell.m_nLinkCount < 4)
                        cell.m_nLinks[cell.m_nLinkCount++] = static_cast<std::uint32_t>(y * LANDSCAPE_GRID + x);
                }
            ++*counted;
        }
}

namespace {

void RemoveLink(RouteCell& cell, std::uint32_t target)
{
    for (int i = 0; i < cell.m_nLinkCount; ++i) {
        if (cell.m_nLinks[i] != target)
            continue;
        for (int j = i; j + 1 < cell.m_nLinkCount; ++j)
            cell.m_nLinks[j] = cell.m_nLinks[j + 1];
        --cell.m_nLinkCount;
        cell.m_nLinks[cell.m_nLinkCount] = 0;
        return;
    }
}

} // namespace

// A walkway corner links both its straight neighbours and the diagonal
// between them; dropping the link between two three-way cells leaves a
// plain path.
void CLandscape::ThinWalkways()
{
    RouteCell* cells = &m_Route[0][0];
    const std::uint32_t filled = static_cast<std::uint32_t>(m_nRouteRows) * LANDSCAPE_GRID;
    for (std::uint32_t index = 0; index < filled; ++index) {
        RouteCell& cell = cells[index];
        if (cell.m_nType != ROUTE_WALKWAY || cell.m_nLinkCount != 3)
            continue;
        for (int i = 0; i < cell.m_nLinkCount; ++i) {
            const std::uint32_t target = cell.m_nLinks[i];
            if (cells[target].m_nLinkCount == 3) {
                RemoveLink(cells[target], index);
                RemoveLink(cell, target);
                break;
            }
        }
    }
}

std::uint8_t CLandscape::GetRouteCellType(const D3DXVECTOR3* position) const
{
    int column, row;
    if (!CellOf(position->x, position->z, &column, &row))
        return 0;
    return m_Route[row][column].m_nType;
}

float CLandscape::GetRouteWidthAt(const D3DXVECTOR3* position) const
{
    if (m_fWorldSize == 0.0f)
        return 0.0f;
    int column, row;
    ClampedCellOf(position->x, position->z, &column, &row);
    const RouteCell& cell = m_Route[row][column];
    if (cell.m_nType == ROUTE_WALKWAY)
        return 15.0f;
    if (cell.m_nType == 2 || cell.m_nType == ROUTE_ROAD)
        return 6.0f + 9.0f * cell.m_nWidthClass / 100.0f;
    return 0.0f;
}

float CLandscape::GetRoadCentreFactor(const D3DXVECTOR3* position) const
{
    if (m_fWorldSize == 0.0f)
        return 0.0f;
    int column, row;
    ClampedCellOf(position->x, position->z, &column, &row);
    const RouteCell* nearest = nullptr;
    float best = 100000.0f * 100000.0f;
    for (int r = 0; r <= 3; ++r)
        ForRing(column, row, r, [&](int x, int y) {
            const RouteCell& c = m_Route[y][x];
            const float d = DistanceSq(c.m_vPosition, *position);
            if (c.m_nType == ROUTE_ROAD && d < best) {
                best = d;
                nearest = &c;
            }
        });
    if (!nearest)
        return 0.0f;
    const float d = std::sqrt(best);
    const float w = 0.75f * (6.0f + 9.0f * nearest->m_nWidthClass / 100.0f);
    if (d > w)
        return 0.0f;
    return nearest->m_nWidthClass / 100.0f * (0.95f - std::min(d / w, 0.95f)) + 0.05f;
}

RouteCell* CLandscape::FindNearestRouteCell(int type, const D3DXVECTOR3* position, int rings)
{
    int column, row;
    if (!CellOf(position->x, position->z, &column, &row))
        return nullptr;
    RouteCell* kept = nullptr;
    float best = 1000000.0f * 1000000.0f;
    for (int r = 1; r < rings; ++r)
        ForRing(column, row, r, [&](int x, int y) {
            RouteCell& c = m_Route[y][x];
            if (c.m_nType != type)
                return;
            const float d = DistanceSq(c.m_vPosition, *position);
            if (d < best) {
                best = d;
                kept = &c;
            }
        });
    return kept;
}

int CLandscape::FindNearestRoutePoint(const D3DXVECTOR3* centre, const D3DXVECTOR3* reference, D3DXVECTOR3* out,
                                      int lowestType, int highestType, int rings)
{
    // Callers may pass one vector for all three.
    const D3DXVECTOR3 c = *centre, ref = *reference;
    *out = c;
    if (m_fWorldSize == 0.0f)
        return 0;
    int column, row;
    ClampedCellOf(c.x, c.z, &column, &row);
    if (InRange(m_Route[row][column].m_nType, lowestType, highestType)) {
        *out = m_Route[row][column].m_vPosition;
        return 1;
    }
    for (int r = 1; r < rings; ++r) {
        const RouteCell* kept = nullptr;
        float best = 1000000.0f * 1000000.0f;
        ForRing(column, row, r, [&](int x, int y) {
            const RouteCell& cell = m_Route[y][x];
            if (!InRange(cell.m_nType, lowestType, highestType))
                return;
            const float d = DistanceSq(cell.m_vPosition, ref);
            if (d < best) {
                best = d;
                kept = &cell;
            }
        });
        if (kept) {
            *out = kept->m_vPosition;
            return 1;
        }
    }
    return 0;
}

int CLandscape::PickRandomRoutePointAtDistance(const D3DXVECTOR3* centre, D3DXVECTOR3* out, float radius,
                                               int lowestType, int highestType)
{
    const D3DXVECTOR3 c = *centre;
    *out = c;
    if (m_fWorldSize == 0.0f || !std::isfinite(radius) || radius < 0.0f || !std::isfinite(c.x) ||
        !std::isfinite(c.z))
        return 0;
    const float step = m_fCellSize * 0.3333f;
    // Beyond two map widths every point lies off the map.
    const double span = std::min<double>(radius, 2.0 * m_fWorldSize);
    const long steps = static_cast<long>(2.0 * span / step);
    RouteCellPair listed[100];
    int count = 0;
    int lastColumn[2] = {-1, -1}, lastRow[2] = {-1, -1};
    for (long k = 0; k <= steps && count < 100; ++k) {
        const float t = static_cast<float>(-span + static_cast<double>(k) * step);
        const float h = std::sqrt(std::max(radius * radius - t * t, 0.0f));
        for (int half = 0; half < 2 && count < 100; ++half) {
            const float x = c.x + t, z = half == 0 ? c.z + h : c.z - h;
            int column, row;
            if (!CellOf(x, z, &column, &row))
                continue;
            if (column == lastColumn[half] || row == lastRow[half])
                continue;
            if (!InRange(m_Route[row][column].m_nType, lowestType, highestType))
                continue;
            lastColumn[half] = column;
            lastRow[half] = row;
            listed[count++] = {column, row};
        }
    }
    if (count == 0)
        return 0;
    const RouteCellPair& pick = listed[std::rand() % count];
    *out = m_Route[pick.row][pick.column].m_vPosition;
    return 1;
}
