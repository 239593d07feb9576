// The scene lights.
#pragma once

#include <cstdint>

class CSceneLights {
public:
    std::uint32_t m_nPointLights = 0; // dynamic point lights in use, 0..5

    int Init();
    void Release();
    void Update();
    void OnLostDevice();
    void OnResetDevice();
};

extern CSceneLights g_SceneLights;
