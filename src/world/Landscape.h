// The landscape.
#pragma once

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

    float m_fWorldSize = 0.0f;
    float m_fCellSize = 0.0f;
    float m_fHeight = 0.0f;
    int m_nClosedWaterParts = 0;
    int m_nActiveSectors = 0;
    int m_nInnerParts = 0;
};

extern CLandscape g_Landscape;
