// Placeholder of the pedestrian manager until the road users are built.
#pragma once

#include <cstdint>

class CHumanManager {
public:
    int Init();
    void Release();
    void Clear();
    void Update();
    void Render();
    void RenderShadows();
    void Refresh();

    std::uint32_t m_nHumans = 0;
    std::uint32_t m_nSpawnLimit = 0;
};

extern CHumanManager g_HumanManager;
