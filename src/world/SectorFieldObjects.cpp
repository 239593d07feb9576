// A sector's share of the field objects: the place map's cells of one kind
// handed to the field-object manager when the sector becomes active.
#include "world/LandscapeSector.h"

#include "world/FieldObjectManager.h"
#include "world/Landscape.h"

#include <cstdlib>

namespace {

// The band of place-map values each kind takes: grass 1..169, trees
// 85..169, stones 170..255.
bool InBand(int kind, int value)
{
    const int band = value / 85;
    if (kind == FIELD_GRASS)
        return band <= 1;
    if (kind == FIELD_TREES)
        return band == 1;
    return band >= 2;
}

} // namespace

bool CLandscapeSector::FieldPassNeeded(int kind) const
{
    const int built = kind == FIELD_GRASS ? m_bGrassBuilt : kind == FIELD_TREES ? m_bTreesBuilt : m_bStonesBuilt;
    return IsMapSector() && !built;
}

int CLandscapeSector::FieldPassCells() const
{
    return g_Landscape.m_nCellsPerSector * g_Landscape.m_nCellsPerSector;
}

// Each kind's placement starts from the sector's own seed, so a sector gets
// the same objects whenever it is built.
void CLandscapeSector::BeginFieldPass(int kind)
{
    std::srand(static_cast<unsigned>(m_nIndex * 123));
    g_FieldObjects.BeginCell(kind, this);
}

void CLandscapeSector::EndFieldPass(int kind)
{
    g_FieldObjects.EndCell(kind, this, m_Corners);
}

void CLandscapeSector::BuildFieldObjects(int kind)
{
    if (!FieldPassNeeded(kind))
        return;
    BeginFieldPass(kind);
    for (int cell = 0, cells = FieldPassCells(); cell < cells; ++cell)
        PlaceFieldCell(kind, cell);
    EndFieldPass(kind);
}

// Cell numbers run row by row through the sector. Returns the objects made.
int CLandscapeSector::PlaceFieldCell(int kind, int cell)
{
    const CLandscape& land = g_Landscape;
    const int per = land.m_nCellsPerSector, r = cell / per, k = cell % per;
    const float c = land.m_fCellSize, half = land.m_fWorldSize / 2, size = per * c;
    const float lowest = land.WaterLevel() - 2.0f;
    const int row = m_nRow * per + r, column = m_nCol * per + k;
    if (row < 0 || column < 0 || row >= LANDSCAPE_GRID || column >= LANDSCAPE_GRID)
        return 0;
    const int value = land.m_PlaceMap[row][column];
    if (value == 0 || !InBand(kind, value))
        return 0;
    D3DXVECTOR3 p0(-half + m_nCol * size + k * c + c / 2, 0.0f, half - m_nRow * size - r * c - c / 2);
    p0.y = GetExactAltitude(&p0);
    if (kind == FIELD_STONES) {
        CreateFieldObject(FIELD_STONES, &p0, nullptr);
        return 1;
    }
    D3DXVECTOR3 p1(p0.x - c / 2, 0.0f, p0.z - c / 2), p2(p0.x + c / 2, 0.0f, p0.z - c / 2);
    p1.y = GetExactAltitude(&p1);
    p2.y = GetExactAltitude(&p2);
    const D3DXVECTOR3 a = p2 - p0, b = p1 - p0;
    D3DXVECTOR3 normal;
    D3DXVec3Cross(&normal, &a, &b);
    D3DXVec3Normalize(&normal, &normal);
    if (p0.y < lowest)
        return 0;
    if (kind == FIELD_GRASS && normal.y >= 0.7f) {
        const int tufts = std::rand() % 6 + 5;
        for (int n = tufts; n > 0; --n)
            CreateFieldObject(FIELD_GRASS, &p0, nullptr);
        return tufts;
    }
    if (kind == FIELD_TREES && normal.y >= 0.3f) {
        CreateFieldObject(FIELD_TREES, &p0, &normal);
        return 1;
    }
    return 0;
}
