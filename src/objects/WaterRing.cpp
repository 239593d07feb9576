#include "objects/WaterCircles.h"

#include "objects/EffectColour.h"
#include "world/Landscape.h"
#include "world/Sky.h"

#include <cstdlib>

void CWaterRing::Start(const D3DXVECTOR3* position)
{
    m_bActive = 1;
    m_vPosition = *position;
    m_vPosition.y = LandscapeWaterLevel();
    m_fAge = 0.0f;
    m_fRadius = static_cast<float>(std::rand() % 101) / 200.0f + 0.1f;
}

// The ring spreads ever slower until it stops at 4 seconds, fading from 2;
// fainter by night.
void CWaterRing::Update(float dt)
{
    m_fAge += dt;
    if (m_fAge > 4.0f) {
        m_bActive = 0;
        return;
    }
    m_fRadius += (4.0f - m_fAge) * dt * 0.25f;
    const float fade = m_fAge > 2.0f ? 1.0f - (m_fAge - 2.0f) / 2.0f : 1.0f;
    const float intensity = ((1.0f - g_Sky.m_fLightsFactor) * 0.6f + 0.4f) * 0.15f * fade;
    const std::uint32_t colour = PackEffectColour(0.6f * intensity, 0.8f * intensity, intensity, 1.0f);
    const float r = m_fRadius;
    const D3DXVECTOR3& p = m_vPosition;
    SetEffectVertex(&m_Vertices[0], D3DXVECTOR3(p.x - r, p.y, p.z + r), colour, 0.0f, 0.0f);
    SetEffectVertex(&m_Vertices[1], D3DXVECTOR3(p.x - r, p.y, p.z - r), colour, 0.0f, 1.0f);
    SetEffectVertex(&m_Vertices[2], D3DXVECTOR3(p.x + r, p.y, p.z + r), colour, 1.0f, 0.0f);
    SetEffectVertex(&m_Vertices[3], D3DXVECTOR3(p.x + r, p.y, p.z - r), colour, 1.0f, 1.0f);
}
