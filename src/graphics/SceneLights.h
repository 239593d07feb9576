// The scene lights.
#pragma once

#include <cstdint>

// The point lights that reach one object (placeholder until the scene
// lights are built: it never holds a light).
class CLightSet {
public:
    std::uint32_t m_nCount = 0;
};

class CSceneLights {
public:
    std::uint32_t m_nPointLights = 0; // dynamic point lights in use, 0..5

    int Init();
    void Release();
    void Update();
    void OnLostDevice();
    void OnResetDevice();
    // Enables exactly the set's lights; null switches the dynamic lights off.
    void ApplyLightSet(const CLightSet* set);
};

extern CSceneLights g_SceneLights;
