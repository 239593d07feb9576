// The landscape.
#pragma once

#include "platform/D3DX9.h"

class CLandscape {
public:
    int Init();
    void Release();
    void ReleaseSectors();
    void BuildSectors();
    void Update();
    void UpdateSectorVisibility();
    void Render();
    void RenderTerrainShadow();
    void RenderWater();
    void RenderShadowCasters();
    void OnLostDevice();
    void OnResetDevice();
    // Route queries over the road and walkway network.
    int FindNearestRoutePoint(const D3DXVECTOR3* centre, const D3DXVECTOR3* reference, D3DXVECTOR3* out,
                              int lowestType, int highestType, int rings);
    int FindRoutePath(D3DXVECTOR3* points, int* count, const D3DXVECTOR3* from, const D3DXVECTOR3* to,
                      int lowestType, int highestType, int cornerCuts, int halve, int smoothing, float laneOffset,
                      int nodeLimit);
    void RemovePathPoint(D3DXVECTOR3* points, int* count, int index);

    float m_fWorldSize = 0.0f;
    float m_fCellSize = 0.0f;
    float m_fHeight = 0.0f;
    int m_nClosedWaterParts = 0;
    int m_nActiveSectors = 0;
    int m_nInnerParts = 0;
};

extern CLandscape g_Landscape;

// The terrain height under a point (x and z used).
float GetExactAltitude(const D3DXVECTOR3* position);
