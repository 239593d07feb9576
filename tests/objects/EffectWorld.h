// The world the pooled effects see in tests and benchmarks: a camera at
// (0, 1, -10) looking along +z, flat ground at height 0, full daylight,
// 20 ms frames.
#pragma once

#include "shell/Game.h"
#include "shell/GameTimer.h"
#include "world/Landscape.h"
#include "world/Sky.h"

#include <cstdlib>

namespace test {

// Sets the world up on construction and gives the camera back on destruction.
class EffectWorld {
public:
    EffectWorld()
    {
        m_previousCamera = g_Game.m_pCamera;
        camera.SetProjection(D3DX_PI / 3.0f, 4.0f / 3.0f, 0.2f, 600.0f);
        LookFrom(D3DXVECTOR3(0.0f, 1.0f, -10.0f));
        g_Game.m_pCamera = &camera;
        g_GameTimer.m_fDelta = kFrame;
        g_Sky.m_fDaylight = 1.0f;
        g_Sky.m_fLightsFactor = 0.0f;
        g_Landscape.m_fHeight = 0.0f;
        std::srand(7);
    }
    ~EffectWorld() { g_Game.m_pCamera = m_previousCamera; }
    EffectWorld(const EffectWorld&) = delete;
    EffectWorld& operator=(const EffectWorld&) = delete;

    // The camera at eye, looking along +z.
    void LookFrom(const D3DXVECTOR3& eye)
    {
        const D3DXVECTOR3 target = eye + D3DXVECTOR3(0.0f, 0.0f, 1.0f), up(0.0f, 1.0f, 0.0f);
        camera.SetView(&eye, &target, &up);
    }

    static constexpr float kFrame = 0.02f;
    CWorldCamera camera{};

private:
    CWorldCamera* m_previousCamera = nullptr;
};

} // namespace test
