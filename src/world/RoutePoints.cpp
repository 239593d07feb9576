// Operations on point lists shared by the route builders. Counts are
// unsigned: loop bounds are computed in signed arithmetic so that a short
// list never wraps them.
#include "world/Landscape.h"

#include "shell/VectorHelpers.h"

#include <cmath>

namespace {

bool InRange(std::uint8_t type, int lo, int hi)
{
    return type >= static_cast<std::uint8_t>(lo) && type <= static_cast<std::uint8_t>(hi);
}

long Signed(std::uint32_t count)
{
    return static_cast<long>(count);
}

void RemoveAt(D3DXVECTOR3* points, std::uint32_t* count, std::uint32_t index)
{
    for (std::uint32_t i = index; i + 1 < *count; ++i)
        points[i] = points[i + 1];
    --*count;
}

} // namespace

void CLandscape::AppendRouteCellPoint(D3DXVECTOR3* points, std::uint32_t* count, int column, int row) const
{
    if (*count >= ROUTE_MAX_POINTS || column < 0 || row < 0 || column >= LANDSCAPE_GRID || row >= LANDSCAPE_GRID)
        return;
    points[(*count)++] = m_Route[row][column].m_vPosition;
}

void CLandscape::OffsetPathToLane(D3DXVECTOR3* points, std::uint32_t count, const RouteCellPair* cells,
                                  int lowestType, int highestType, float offset) const
{
    if (count == 0)
        return;
    D3DXVECTOR3 lastMove(0.0f, 0.0f, 0.0f);
    for (long i = 0; i < Signed(count) - 1; ++i) {
        const RouteCell& cell = m_Route[cells[i].row][cells[i].column];
        if (!InRange(cell.m_nType, lowestType, highestType))
            continue;
        const D3DXVECTOR3 d = points[i + 1] - points[i];
        D3DXVECTOR3 side(d.z, 0.0f, -d.x);
        Vec3Normalize(&side, &side);
        const float amount = offset == -1.0f ? 0.2f * (6.0f + 9.0f * cell.m_nWidthClass / 100.0f) : offset;
        lastMove = side * amount;
        points[i] += lastMove;
    }
    const RouteCellPair& last = cells[count - 1];
    if (InRange(m_Route[last.row][last.column].m_nType, lowestType, highestType))
        points[count - 1] += lastMove;
}

void CLandscape::HalvePath(D3DXVECTOR3* points, std::uint32_t* count) const
{
    if (*count < 3)
        return;
    std::uint32_t kept = 0;
    for (std::uint32_t i = 0; i < *count; i += 2)
        points[kept++] = points[i];
    if ((*count - 1) % 2 != 0)
        points[kept++] = points[*count - 1];
    *count = kept;
}

void CLandscape::SmoothPath(D3DXVECTOR3* points, std::uint32_t count, int passes) const
{
    if (count < 3)
        return;
    for (int pass = 0; pass < passes; ++pass)
        for (std::uint32_t i = 0; i + 2 < count; ++i) {
            points[i + 1].x = (points[i].x + points[i + 1].x + points[i + 2].x) / 3.0f;
            points[i + 1].z = (points[i].z + points[i + 1].z + points[i + 2].z) / 3.0f;
        }
}

void CLandscape::MergeTightPathPoints(D3DXVECTOR3* points, std::uint32_t* count, float radius) const
{
    if (*count < 4)
        return;
    for (long i = 0; i < Signed(*count) - 3; ++i) {
        const D3DXVECTOR3 c = (points[i] + points[i + 1] + points[i + 2]) / 3.0f;
        bool tight = true;
        for (long k = i; k < i + 3; ++k) {
            const D3DXVECTOR3 d = points[k] - c;
            tight = tight && std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z) < radius;
        }
        if (tight) {
            RemoveAt(points, count, static_cast<std::uint32_t>(i + 2));
            RemoveAt(points, count, static_cast<std::uint32_t>(i + 1));
            points[i] = c;
        }
    }
}

void CLandscape::CutPathCorners(D3DXVECTOR3* points, std::uint32_t* count, int passes, int lowestType,
                                int highestType) const
{
    if (*count < 3)
        return;
    for (int pass = 0; pass < passes; ++pass)
        for (long i = 0; i < Signed(*count) - 2; ++i) {
            const D3DXVECTOR3 mid = (points[i] + points[i + 2]) / 2.0f;
            if (InRange(GetRouteCellType(&mid), lowestType, highestType))
                RemoveAt(points, count, static_cast<std::uint32_t>(i + 1));
        }
    if (*count < 3 || !(m_fCellSize > 0.0f))
        return;
    const D3DXVECTOR3 first = points[0], last = points[*count - 1];
    const D3DXVECTOR3 span = last - first;
    const float length = std::sqrt(span.x * span.x + span.y * span.y + span.z * span.z);
    if (!std::isfinite(length) || length <= 0.0f)
        return;
    const D3DXVECTOR3 dir = span / length;
    const float step = m_fCellSize / 4;
    for (long k = 0; static_cast<float>(k + 1) * step < length; ++k) {
        const D3DXVECTOR3 p = first + dir * (static_cast<float>(k) * step);
        if (!InRange(GetRouteCellType(&p), lowestType, highestType))
            return;
    }
    points[1] = last;
    *count = 2;
}

void CLandscape::RemovePathPoint(D3DXVECTOR3* points, std::uint32_t* count, std::uint32_t index) const
{
    if (index < *count)
        RemoveAt(points, count, index);
}
