// What the pooled effects ask of the current camera. Before the game has a
// camera nothing is in view and the eye is infinitely far: effects age and
// move but write no vertices.
#pragma once

#include "platform/D3DX9.h"
#include "shell/Game.h"
#include "shell/VectorHelpers.h"

#include <limits>

inline float EffectEyeDistance(const D3DXVECTOR3* position)
{
    const CWorldCamera* camera = g_Game.m_pCamera;
    return camera ? Vec3Distance(&camera->m_vEye, position) : std::numeric_limits<float>::infinity();
}

inline bool EffectSphereVisible(const D3DXVECTOR3* centre, float radius)
{
    const CWorldCamera* camera = g_Game.m_pCamera;
    return camera && camera->IsSphereVisible(centre, radius) != 0;
}

inline const D3DXVECTOR3* EffectEye()
{
    static const D3DXVECTOR3 kNowhere(0.0f, 0.0f, 0.0f);
    return g_Game.m_pCamera ? &g_Game.m_pCamera->m_vEye : &kNowhere;
}
