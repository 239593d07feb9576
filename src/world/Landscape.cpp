// Placeholder until the landscape is built; no world is loaded: the world size stays 0 and nothing is drawn.
#include "world/Landscape.h"

int CLandscape::Init()
{
    return 1;
}

void CLandscape::Release()
{
}

void CLandscape::ReleaseSectors()
{
}

void CLandscape::BuildSectors()
{
}

void CLandscape::Update()
{
}

void CLandscape::UpdateSectorVisibility()
{
}

void CLandscape::Render()
{
}

void CLandscape::RenderTerrainShadow()
{
}

void CLandscape::RenderWater()
{
}

void CLandscape::RenderShadowCasters()
{
}

void CLandscape::OnLostDevice()
{
}

void CLandscape::OnResetDevice()
{
}

// With no route grid there is no cell in range: the centre itself is the answer.
int CLandscape::FindNearestRoutePoint(const D3DXVECTOR3* centre, const D3DXVECTOR3*, D3DXVECTOR3* out, int, int,
                                      int)
{
    *out = *centre;
    return 0;
}

int CLandscape::FindRoutePath(D3DXVECTOR3*, int* count, const D3DXVECTOR3*, const D3DXVECTOR3*, int, int, int, int,
                              int, float, int)
{
    *count = 0;
    return 0;
}

void CLandscape::RemovePathPoint(D3DXVECTOR3* points, int* count, int index)
{
    if (index < 0 || index >= *count)
        return;
    for (int i = index; i + 1 < *count; ++i)
        points[i] = points[i + 1];
    --*count;
}

// Flat ground at height 0 until the terrain exists.
float GetExactAltitude(const D3DXVECTOR3*)
{
    return 0.0f;
}
