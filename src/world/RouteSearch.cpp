// A* over the cell grid: a binary heap of open items and generation stamps in
// place of clearing the marks before every search.
#include "world/Landscape.h"
#include "world/RouteWork.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr int kSide = LANDSCAPE_GRID;
constexpr int kMaxItems = kSide * kSide + 1; // every cell opens at most once per search

struct PathSearchArrays {
    std::uint32_t listMark[kSide][kSide];
    std::int32_t g[kSide][kSide];
    std::int16_t parentColumn[kSide][kSide];
    std::int16_t parentRow[kSide][kSide];
    std::int32_t f[kMaxItems + 1];
    std::int32_t h[kMaxItems + 1];
    std::int16_t itemColumn[kMaxItems + 1];
    std::int16_t itemRow[kMaxItems + 1];
    std::int32_t heap[kMaxItems + 1]; // 1-based
    // Where each item sits in the heap and which item a cell opened: finding
    // an improved item is then a lookup, not a scan of the heap.
    std::int32_t heapPos[kMaxItems + 1];
    std::int32_t itemOfCell[kSide][kSide];
};

int StepCost(bool diagonal, std::uint8_t type)
{
    int cost = diagonal ? 14 : 10;
    switch (type) {
    case 0: cost += 24; break;
    case 1: cost += 12; break;
    case 4: cost += 6; break;
    default: break;
    }
    return cost;
}

} // namespace

PathSearchArrays g_PathSearchArrays;
std::uint32_t g_PathSearchStamp = 10;

namespace {

void Swap(PathSearchArrays& a, int p, int q)
{
    const int t = a.heap[p];
    a.heap[p] = a.heap[q];
    a.heap[q] = t;
    a.heapPos[a.heap[p]] = p;
    a.heapPos[a.heap[q]] = q;
}

void SiftDown(PathSearchArrays& a, int count)
{
    int u = 1;
    for (;;) {
        const int v = u;
        if (2 * v + 1 <= count) {
            if (a.f[a.heap[u]] >= a.f[a.heap[2 * v]])
                u = 2 * v;
            if (a.f[a.heap[u]] >= a.f[a.heap[2 * v + 1]])
                u = 2 * v + 1;
        } else if (2 * v <= count) {
            if (a.f[a.heap[u]] >= a.f[a.heap[2 * v]])
                u = 2 * v;
        }
        if (u == v)
            return;
        Swap(a, u, v);
    }
}

// A new item rises past an equal parent; an improved one does not.
void SiftUp(PathSearchArrays& a, int m, bool risePastEqual)
{
    while (m != 1) {
        const int fm = a.f[a.heap[m]], fp = a.f[a.heap[m / 2]];
        if (!(risePastEqual ? fm <= fp : fm < fp))
            return;
        Swap(a, m, m / 2);
        m /= 2;
    }
}

bool OnGrid(int column, int row)
{
    return column >= 0 && row >= 0 && column < kSide && row < kSide;
}

} // namespace

int CLandscape::SearchGrid(int startColumn, int startRow, int goalColumn, int goalRow, RouteCellPair* outCells,
                           std::uint32_t* outCount, int lowestType, int highestType, int openLimit)
{
    if (m_fWorldSize == 0.0f || !OnGrid(startColumn, startRow) || !OnGrid(goalColumn, goalRow))
        return 0;
    PathSearchArrays& a = g_PathSearchArrays;
    if (g_PathSearchStamp > 1000000) {
        std::memset(a.listMark, 0, sizeof a.listMark);
        g_PathSearchStamp = 10;
    }
    g_PathSearchStamp += 2;
    const std::uint32_t onOpen = g_PathSearchStamp - 1, onClosed = g_PathSearchStamp;
    const std::uint8_t lo = static_cast<std::uint8_t>(lowestType), hi = static_cast<std::uint8_t>(highestType);

    a.g[startRow][startColumn] = 0;
    a.heap[1] = 1;
    a.heapPos[1] = 1;
    a.itemColumn[1] = static_cast<std::int16_t>(startColumn);
    a.itemRow[1] = static_cast<std::int16_t>(startRow);
    a.f[1] = a.h[1] = 0;
    int heapCount = 1;
    int lastItem = 0;

    for (;;) {
        if (heapCount == 0)
            return 0;
        const int top = a.heap[1];
        const int pc = a.itemColumn[top], pr = a.itemRow[top];
        a.listMark[pr][pc] = onClosed;
        a.heap[1] = a.heap[heapCount--];
        a.heapPos[a.heap[1]] = 1;
        SiftDown(a, heapCount);

        for (int y = pr - 1; y <= pr + 1; ++y)
            for (int x = pc - 1; x <= pc + 1; ++x) {
                if (!OnGrid(x, y) || a.listMark[y][x] == onClosed)
                    continue;
                const std::uint8_t type = m_Route[y][x].m_nType;
                if (type < lo || type > hi)
                    continue;
                const int g = a.g[pr][pc] + StepCost(x != pc && y != pr, type);
                if (a.listMark[y][x] != onOpen) {
                    const int id = ++lastItem;
                    a.itemColumn[id] = static_cast<std::int16_t>(x);
                    a.itemRow[id] = static_cast<std::int16_t>(y);
                    a.g[y][x] = g;
                    a.h[id] = 10 * (std::abs(x - goalColumn) + std::abs(y - goalRow));
                    a.f[id] = g + a.h[id];
                    a.parentColumn[y][x] = static_cast<std::int16_t>(pc);
                    a.parentRow[y][x] = static_cast<std::int16_t>(pr);
                    a.heap[++heapCount] = id;
                    a.heapPos[id] = heapCount;
                    a.itemOfCell[y][x] = id;
                    SiftUp(a, heapCount, true);
                    a.listMark[y][x] = onOpen;
                } else if (g < a.g[y][x]) {
                    a.parentColumn[y][x] = static_cast<std::int16_t>(pc);
                    a.parentRow[y][x] = static_cast<std::int16_t>(pr);
                    a.g[y][x] = g;
                    const int id = a.itemOfCell[y][x];
                    a.f[id] = g + a.h[id];
                    SiftUp(a, a.heapPos[id], false);
                }
            }
        if (a.listMark[goalRow][goalColumn] == onOpen)
            break;
        if (heapCount > openLimit)
            return 0;
    }

    // Walk back from the goal; a path of 2048 steps or more does not fit.
    std::uint32_t steps = 0;
    for (int c = goalColumn, r = goalRow; c != startColumn || r != startRow;) {
        if (++steps >= ROUTE_MAX_POINTS)
            return 0;
        const int nc = a.parentColumn[r][c], nr = a.parentRow[r][c];
        c = nc;
        r = nr;
    }
    std::uint32_t i = steps;
    for (int c = goalColumn, r = goalRow; c != startColumn || r != startRow;) {
        outCells[--i] = {c, r};
        const int nc = a.parentColumn[r][c], nr = a.parentRow[r][c];
        c = nc;
        r = nr;
    }
    *outCount = steps;
    return 1;
}
