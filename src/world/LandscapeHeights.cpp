// Height queries of the landscape and the world ray test.
#include "world/Landscape.h"

#include "shell/Log.h"
#include "shell/RayHitInfo.h"
#include "shell/Settings.h"
#include "world/LandscapeSector.h"

#include <algorithm>
#include <cmath>

namespace {

// Clamps in floating point first: converting a NaN or an out-of-range float
// to an integer is undefined.
int ClampedIndex(float v, int count)
{
    if (!(v > 0.0f))
        return 0;
    const float last = static_cast<float>(count - 1);
    return v >= last ? count - 1 : static_cast<int>(v);
}

} // namespace

bool CLandscape::CellOf(float x, float z, int* column, int* row) const
{
    if (m_fWorldSize <= 0.0f || !std::isfinite(x) || !std::isfinite(z))
        return false;
    const float half = m_fWorldSize / 2;
    const float fc = std::trunc((x + half) / m_fCellSize);
    const float fr = -std::trunc((z - half) / m_fCellSize);
    const float cells = static_cast<float>(m_nCells);
    if (!(fc >= 0.0f && fc < cells && fr >= 0.0f && fr < cells))
        return false;
    *column = static_cast<int>(fc);
    *row = static_cast<int>(fr);
    return true;
}

void CLandscape::ClampedCellOf(float x, float z, int* column, int* row) const
{
    const float half = m_fWorldSize / 2;
    if (m_nCells <= 0 || !(m_fCellSize > 0.0f)) {
        *column = *row = 0;
        return;
    }
    *column = ClampedIndex(std::isfinite(x) ? std::trunc((x + half) / m_fCellSize) : 0.0f, m_nCells);
    *row = ClampedIndex(std::isfinite(z) ? -std::trunc((z - half) / m_fCellSize) : 0.0f, m_nCells);
}

float CLandscape::GetGridAltitude(const D3DXVECTOR3* point) const
{
    if (m_fWorldSize == 0.0f || !std::isfinite(point->x) || !std::isfinite(point->z))
        return 0.0f;
    int column, row;
    ClampedCellOf(point->x, point->z, &column, &row);
    return m_fAltitude[row][column];
}

// The ground of a cell is two triangles over its corners A (x0, z0), B (x0,
// z1), C (x1, z0) and D (x1, z1), split along B-C. The cell is the one the
// grid lookup picks, so heights and triangles always belong together and the
// surface is continuous across grid lines.
float CLandscape::GetExactAltitude(const D3DXVECTOR3* point) const
{
    if (m_fWorldSize == 0.0f)
        return 0.0f;
    if (!std::isfinite(point->x) || !std::isfinite(point->z)) {
        static bool logged = false;
        if (!logged) {
            logged = true;
            DebugLog("GetExactAltitude() error: the point is not a number");
        }
        return 0.0f;
    }
    int column, row;
    ClampedCellOf(point->x, point->z, &column, &row);
    const int last = m_nCells - 1;
    const float hA = m_fAltitude[row][column];
    const float hB = m_fAltitude[std::min(row + 1, last)][column];
    const float hC = m_fAltitude[row][std::min(column + 1, last)];
    const float hD = m_fAltitude[std::min(row + 1, last)][std::min(column + 1, last)];
    const float half = m_fWorldSize / 2;
    const float x0 = static_cast<float>(column) * m_fCellSize - half;
    const float z0 = half - static_cast<float>(row) * m_fCellSize;
    const float u = std::clamp((point->x - x0) / m_fCellSize, 0.0f, 1.0f);
    const float v = std::clamp((z0 - point->z) / m_fCellSize, 0.0f, 1.0f);
    if (u + v <= 1.0f)
        return hA + u * (hC - hA) + v * (hB - hA);
    return hD + (1.0f - u) * (hB - hD) + (1.0f - v) * (hC - hD);
}

float GetExactAltitude(const D3DXVECTOR3* position)
{
    return g_Landscape.GetExactAltitude(position);
}

int CLandscape::CastRay(const D3DXVECTOR3* from, const D3DXVECTOR3* to, D3DXVECTOR3* hitPoint, int wantPoint)
{
    D3DXVECTOR3 local;
    if (wantPoint && !hitPoint)
        hitPoint = &local;
    float best = 1000000.0f;
    bool taken = false;
    D3DXVECTOR3 bestPoint(0.0f, 0.0f, 0.0f);
    CStaticObject* bestObject = nullptr;
    for (std::uint32_t i = 0; i < m_nActiveSectors && i < LANDSCAPE_MAX_SECTORS; ++i) {
        CLandscapeSector* sector = m_pActiveSectors[i];
        if (!sector)
            continue;
        D3DXVECTOR3 p;
        if (!sector->IntersectProps(from, to, &p, 1))
            continue;
        if (!wantPoint)
            return 1;
        const D3DXVECTOR3 d = p - *from;
        const float dist = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
        if (!taken || dist < best) {
            taken = true;
            best = dist;
            bestPoint = p;
            bestObject = g_RayHit.m_pObject;
        }
    }
    if (!taken)
        return MarchTerrainRay(from, to, hitPoint);
    if (hitPoint)
        *hitPoint = bestPoint;
    g_RayHit.Set(bestObject);
    return 1;
}

// Steps half a cell at a time and compares with the grid altitude: cheap
// enough for the sun glare every frame.
int CLandscape::MarchTerrainRay(const D3DXVECTOR3* from, const D3DXVECTOR3* to, D3DXVECTOR3* hitPoint) const
{
    if (m_fWorldSize == 0.0f)
        return 0;
    const D3DXVECTOR3 span = *to - *from;
    const float length = std::sqrt(span.x * span.x + span.y * span.y + span.z * span.z);
    if (!std::isfinite(length) || !std::isfinite(from->x) || !std::isfinite(from->y) || !std::isfinite(from->z) ||
        length <= 0.0f)
        return 0;
    const float limit = std::min(length, g_bEditorMode ? 3000.0f : 2000.0f);
    const D3DXVECTOR3 dir = span / length;
    const int startAbove = GetExactAltitude(from) > from->y ? 0 : 1;
    const float step = m_fCellSize / 2;
    for (int k = 1;; ++k) {
        const float t = step * static_cast<float>(k);
        if (!(t < limit))
            break;
        D3DXVECTOR3 p = *from + dir * t;
        const float ground = GetGridAltitude(&p);
        const int above = ground > p.y ? 0 : 1;
        if (above != startAbove) {
            p.y = ground;
            if (hitPoint)
                *hitPoint = p;
            return 1;
        }
    }
    return 0;
}
