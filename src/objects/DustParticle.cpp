#include "objects/ParticleEffects.h"

#include "objects/EffectView.h"
#include "shell/GameTimer.h"

#include <algorithm>

void CDustParticle::Start(const D3DXVECTOR3* position, const D3DXVECTOR3* velocity, float size, float life,
                          float growth, const D3DXCOLOR4* colour)
{
    StartPuff(position, velocity, size, life, growth, colour);
}

void CDustParticle::Update(CDustParticle** list, std::uint32_t* count)
{
    const float dt = g_GameTimer.m_fDelta;
    m_fAge += dt;
    if (!(m_fAge < m_fLife)) {
        m_bLive = 0;
        return;
    }
    m_vPosition += m_vVelocity * dt;
    m_vVelocity *= std::max(1.0f - dt, 0.0f);
    m_fSize += dt * m_fGrowth;
    if (!EffectSphereVisible(&m_vPosition, m_fSize))
        return;
    const float half = m_fLife / 2.0f;
    float fade = m_fAge > half ? 1.0f - (m_fAge - half) / half : 1.0f;
    if (!FadeByDistance(&fade))
        return;
    m_Colour = m_BaseColour;
    m_Colour.a = fade * m_BaseColour.a;
    if (fade == 0.0f) {
        m_bLive = 0;
        return;
    }
    Spin(dt);
    list[(*count)++] = this;
}
