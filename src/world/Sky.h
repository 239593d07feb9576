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

    // Light and colour of the time of day, written by Update. Until the
    // clock moves the sun, they hold noon: full daylight, no moon, lamps off.
    D3DXVECTOR3 m_vSunDir{0.0f, -0.707f, 0.707f}; // the way sunlight travels
    float m_Colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};   // sunlight
    float m_fDaylight = 1.0f;
    D3DXVECTOR3 m_vMoonDir{0.0f, -1.0f, 0.0f}; // the way moonlight travels
    // Fog, moonlight and ambient colour.
    float m_FogColour[4] = {90.0f / 260.0f, 90.0f / 260.0f, 120.0f / 260.0f, 1.0f};
    float m_fMoonlight = 0.0f;
    // From the scene towards the light that casts shadows; never vertical,
    // so the shadow camera stays above the ground it looks at.
    D3DXVECTOR3 m_vLightDir{0.0f, 0.753383f, -0.657582f};
    float m_fShadowFactor = 1.0f;
    float m_fLightsFactor = 0.0f;
};

extern CSky g_Sky;
