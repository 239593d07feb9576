// The sky.
#pragma once

#include "platform/D3DX9.h"

class CSky {
public:
    int Init();
    void Release();
    void Update();
    void Render();
    void RenderSunFlare();

    // Light and colour of the time of day, written by Update.
    float m_Colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    float m_fDaylight = 1.0f;
    D3DXVECTOR3 m_LightSources{0.0f, -1.0f, 0.0f};
    float m_FogColour[4] = {0.5f, 0.5f, 0.5f, 1.0f};
    float m_fLight2Intensity = 0.0f;
    D3DXVECTOR3 m_vLight2Dir{0.0f, -1.0f, 0.0f};
    float m_fLightsFactor = 0.0f;
    D3DXVECTOR3 m_vLightDir{0.0f, -1.0f, 0.0f};
    float m_fShadowStrength = 1.0f;
};

extern CSky g_Sky;
