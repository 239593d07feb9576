// The path builders: searched paths, random road and walkway walks and race
// routes. Each fills a caller-owned list of at most 2048 points.
#include "world/Landscape.h"
#include "world/RouteWork.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

RouteCellPair g_PathCells[ROUTE_MAX_POINTS];
std::uint32_t g_nPathCells = 0;
RouteCellPair g_RouteScratch[ROUTE_MAX_POINTS];
std::uint32_t g_nRouteScratch = 0;
std::uint16_t g_RouteVisited[LANDSCAPE_GRID][LANDSCAPE_GRID];

namespace {

bool InRange(std::uint8_t type, int lo, int hi)
{
    return type >= static_cast<std::uint8_t>(lo) && type <= static_cast<std::uint8_t>(hi);
}

RouteCellPair PairOf(std::uint32_t index)
{
    return {static_cast<std::int32_t>(index % LANDSCAPE_GRID), static_cast<std::int32_t>(index / LANDSCAPE_GRID)};
}

bool Append(RouteCellPair* list, std::uint32_t* count, RouteCellPair cell)
{
    if (*count >= ROUTE_MAX_POINTS)
        return false;
    list[(*count)++] = cell;
    return true;
}

float DistanceSq(const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    const D3DXVECTOR3 d = a - b;
    return d.x * d.x + d.y * d.y + d.z * d.z;
}

// The link of a cell whose way point is nearest to the heading point; a later
// link at equal distance wins. -1 without links.
int NearestLink(const CLandscape& land, const RouteCell& cell, const D3DXVECTOR3& heading)
{
    int kept = -1;
    float best = 100000.0f * 100000.0f;
    for (int i = 0; i < cell.m_nLinkCount; ++i) {
        const RouteCellPair p = PairOf(cell.m_nLinks[i]);
        const float d = DistanceSq(land.Route(p.column, p.row).m_vPosition, heading);
        if (d <= best) {
            best = d;
            kept = static_cast<int>(cell.m_nLinks[i]);
        }
    }
    return kept;
}

std::uint32_t IndexOf(const RouteCell& cell)
{
    return static_cast<std::uint32_t>(cell.m_nRow) * LANDSCAPE_GRID + cell.m_nColumn;
}

// Re-joins a walked cell list with short searches every `stride` cells, so
// that the route follows the roads instead of the walk's zigzag.
void Rejoin(CLandscape& land, const RouteCellPair* in, std::uint32_t n, std::uint32_t stride, RouteCellPair* out,
            std::uint32_t* outCount)
{
    static RouteCellPair found[ROUTE_MAX_POINTS];
    *outCount = 0;
    long i = 0;
    for (; i < static_cast<long>(n) - static_cast<long>(stride); i += stride) {
        std::uint32_t steps = 0;
        if (land.SearchGrid(in[i].column, in[i].row, in[i + stride].column, in[i + stride].row, found, &steps, 3, 3,
                            ROUTE_MAX_POINTS))
            for (std::uint32_t k = 0; k < steps; ++k)
                Append(out, outCount, found[k]);
    }
    for (; i < static_cast<long>(n); ++i)
        Append(out, outCount, in[i]);
}

} // namespace

int CLandscape::FindRoutePath(D3DXVECTOR3* points, std::uint32_t* count, const D3DXVECTOR3* from,
                              const D3DXVECTOR3* to, int lowestType, int highestType, int cutPasses, int halve,
                              int smoothPasses, float laneOffset, int openLimit)
{
    *count = 0;
    if (m_fWorldSize == 0.0f)
        return 0;
    const D3DXVECTOR3 start = *from;
    D3DXVECTOR3 goal = *to;
    if (!InRange(GetRouteCellType(&goal), lowestType, highestType))
        FindNearestRoutePoint(&goal, &start, &goal, lowestType, highestType, 20);
    int sc, sr, gc, gr;
    ClampedCellOf(start.x, start.z, &sc, &sr);
    ClampedCellOf(goal.x, goal.z, &gc, &gr);
    if ((sc == gc && sr == gr) || !InRange(m_Route[gr][gc].m_nType, lowestType, highestType))
        return 0;
    g_nPathCells = 0;
    if (!SearchGrid(sc, sr, gc, gr, g_PathCells, &g_nPathCells, lowestType, highestType, openLimit))
        return 0;
    for (std::uint32_t i = 0; i < g_nPathCells; ++i)
        AppendRouteCellPoint(points, count, g_PathCells[i].column, g_PathCells[i].row);
    if (laneOffset != 0.0f)
        OffsetPathToLane(points, *count, g_PathCells, lowestType, highestType, laneOffset);
    points[*count - 1].x = goal.x;
    points[*count - 1].z = goal.z;
    if (halve)
        HalvePath(points, count);
    if (smoothPasses > 0)
        SmoothPath(points, *count, smoothPasses);
    if (cutPasses > 0)
        CutPathCorners(points, count, cutPasses, lowestType, highestType);
    return 1;
}

int CLandscape::FindRandomRoadPath(D3DXVECTOR3* points, std::uint32_t* count, D3DXVECTOR3* position,
                                   float distance, int lowestType, int highestType, int openLimit)
{
    *count = 0;
    if (m_fWorldSize == 0.0f)
        return 0;
    if (!InRange(GetRouteCellType(position), lowestType, highestType))
        FindNearestRoutePoint(position, position, position, lowestType, highestType, 20);
    D3DXVECTOR3 a, b;
    if (!PickRandomRoutePointAtDistance(position, &a, distance, 3, 3) ||
        !PickRandomRoutePointAtDistance(&a, &b, distance, 3, 3))
        return 0;
    return FindRoutePath(points, count, &a, &b, 3, 3, 0, 0, 2, -1.0f, openLimit);
}

int CLandscape::MakeRandomRoadRoute(D3DXVECTOR3* points, std::uint32_t* count, const D3DXVECTOR3* position,
                                    const D3DXVECTOR3* heading, int lowestType, int highestType, int steps)
{
    *count = 0;
    D3DXVECTOR3 p;
    if (!FindNearestRoutePoint(position, position, &p, 3, 3, 20))
        return 0;
    const RouteCell* c = FindNearestRouteCell(3, &p, 5);
    if (!c)
        return 0;
    int next = NearestLink(*this, *c, *heading);
    if (next < 0)
        return 0;
    std::memset(g_RouteVisited, 0, sizeof g_RouteVisited);
    g_RouteVisited[c->m_nRow][c->m_nColumn] = 1;
    g_nPathCells = 0;
    for (int s = 0; s < steps; ++s) {
        const RouteCellPair cur = PairOf(static_cast<std::uint32_t>(next));
        if (!Append(g_PathCells, &g_nPathCells, cur))
            break;
        g_RouteVisited[cur.row][cur.column] = 1;
        const RouteCell& cell = m_Route[cur.row][cur.column];
        // Close all but one of the unvisited branches, then take that one.
        auto unmarked = [&](int* nth) {
            int n = 0;
            for (int i = 0; i < cell.m_nLinkCount; ++i) {
                const RouteCellPair l = PairOf(cell.m_nLinks[i]);
                if (g_RouteVisited[l.row][l.column])
                    continue;
                if (nth && *nth == n)
                    return static_cast<int>(cell.m_nLinks[i]);
                ++n;
            }
            return nth ? -1 : n;
        };
        for (int n = unmarked(nullptr); n > 1; n = unmarked(nullptr)) {
            int pick = std::rand() % n;
            const RouteCellPair l = PairOf(static_cast<std::uint32_t>(unmarked(&pick)));
            g_RouteVisited[l.row][l.column] = 1;
        }
        const int left = unmarked(nullptr);
        if (left == 0)
            break;
        int pick = std::rand() % left;
        next = unmarked(&pick);
    }
    if (g_nPathCells < 3)
        return 0;
    for (std::uint32_t i = 0; i < g_nPathCells; ++i)
        AppendRouteCellPoint(points, count, g_PathCells[i].column, g_PathCells[i].row);
    OffsetPathToLane(points, *count, g_PathCells, lowestType, highestType, -1.0f);
    SmoothPath(points, *count, 2);
    MergeTightPathPoints(points, count, 0.75f * m_fCellSize);
    return 1;
}

int CLandscape::MakeRandomWalkwayRoute(D3DXVECTOR3* points, std::uint32_t* count, const D3DXVECTOR3* position,
                                       const D3DXVECTOR3* heading, int, int, int steps, float lateralOffset)
{
    *count = 0;
    D3DXVECTOR3 p;
    if (!FindNearestRoutePoint(position, position, &p, 4, 4, 20))
        return 0;
    const RouteCell* c = FindNearestRouteCell(4, &p, 5);
    if (!c)
        return 0;
    const int first = NearestLink(*this, *c, *heading);
    if (first < 0)
        return 0;
    g_nPathCells = 0;
    Append(g_PathCells, &g_nPathCells, {c->m_nColumn, c->m_nRow});
    std::uint32_t previous = IndexOf(*c), current = static_cast<std::uint32_t>(first);
    for (int s = 0; s < steps; ++s) {
        if (!Append(g_PathCells, &g_nPathCells, PairOf(current)))
            break;
        const RouteCellPair cur = PairOf(current);
        const RouteCell& cell = m_Route[cur.row][cur.column];
        for (int i = 0; i < cell.m_nLinkCount; ++i)
            if (cell.m_nLinks[i] != previous) {
                previous = current;
                current = cell.m_nLinks[i];
                break;
            }
    }
    if (g_nPathCells < 3)
        return 0;
    for (std::uint32_t i = 0; i < g_nPathCells; ++i)
        AppendRouteCellPoint(points, count, g_PathCells[i].column, g_PathCells[i].row);
    OffsetPathToLane(points, *count, g_PathCells, 4, 4, lateralOffset);
    return 1;
}

int CLandscape::MakeRaceRoute(D3DXVECTOR3* points, std::uint32_t* count, const D3DXVECTOR3* start, int steps)
{
    *count = 0;
    const RouteCell* c = FindNearestRouteCell(3, start, 10);
    if (!c || c->m_nLinkCount == 0)
        return 0;
    std::uint32_t previous = IndexOf(*c);
    std::uint32_t current = c->m_nLinks[std::rand() % c->m_nLinkCount];
    const std::uint32_t none = 0xFFFFFFFFu;
    std::uint32_t history[3] = {none, none, none}; // the three cells before the previous one
    int sinceReset = 0;
    g_nPathCells = 0;
    if (c->m_nLinkCount < 3)
        Append(g_PathCells, &g_nPathCells, {c->m_nColumn, c->m_nRow});
    for (int s = 0; s < steps; ++s) {
        const RouteCellPair cur = PairOf(current);
        const RouteCell& cell = m_Route[cur.row][cur.column];
        // A walk that meets a junction right after its start begins there.
        if (cell.m_nLinkCount >= 3 && sinceReset < 4) {
            g_nPathCells = 0;
            sinceReset = 0;
        }
        Append(g_PathCells, &g_nPathCells, cur);
        ++sinceReset;
        if (g_nPathCells >= ROUTE_MAX_POINTS)
            break;
        std::uint32_t candidates[4];
        int n = 0;
        for (int i = 0; i < cell.m_nLinkCount; ++i) {
            const std::uint32_t l = cell.m_nLinks[i];
            if (l != previous && l != history[0] && l != history[1] && l != history[2])
                candidates[n++] = l;
        }
        if (n == 0)
            return 0;
        history[2] = history[1];
        history[1] = history[0];
        history[0] = previous;
        previous = current;
        current = candidates[std::rand() % n];
    }
    if (g_nPathCells < 30)
        return 0;
    Rejoin(*this, g_PathCells, g_nPathCells, 12, g_RouteScratch, &g_nRouteScratch);
    Rejoin(*this, g_RouteScratch, g_nRouteScratch, 7, g_PathCells, &g_nPathCells);
    for (std::uint32_t i = 0; i < g_nPathCells; ++i)
        AppendRouteCellPoint(points, count, g_PathCells[i].column, g_PathCells[i].row);
    for (int round = 0; round < 2; ++round) {
        SmoothPath(points, *count, 4);
        MergeTightPathPoints(points, count, 0.75f * m_fCellSize);
    }
    return 1;
}
