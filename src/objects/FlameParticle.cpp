#include "objects/ParticleEffects.h"

#include "objects/EffectView.h"
#include "objects/StaticObject.h"
#include "shell/Keywords.h"
#include "shell/GameTimer.h"

#include <algorithm>

// Only a car carries its flames along; any other owner leaves them free.
static const D3DXMATRIX* CarMatrixOf(const CStaticObject* owner)
{
    return owner->m_nType == GTYPE_VEHICLE ? &owner->m_matWorld : nullptr;
}

CFlameParticle::CFlameParticle() : m_pOwner(nullptr), m_vStart(0, 0, 0), m_bHot(0)
{
}

void CFlameParticle::Start(const D3DXVECTOR3* position, const D3DXVECTOR3* velocity, float size, float life,
                           float growth, const D3DXCOLOR4* colour, std::uint32_t hot, CStaticObject* owner)
{
    m_pOwner = owner;
    m_vStart = *position;
    StartPuff(position, velocity, size, life, growth, colour);
    m_bHot = hot;
}

// A flame on a car sits at its offset in the car's frame and trails back
// towards where it was born; any other flame drifts without drag.
void CFlameParticle::Move(float dt)
{
    const D3DXMATRIX* car = m_pOwner ? CarMatrixOf(m_pOwner) : nullptr;
    if (!car) {
        m_vPosition += m_vVelocity * dt;
        return;
    }
    D3DXVec3TransformCoord(&m_vPosition, &m_vVelocity, car);
    m_vPosition -= (m_vPosition - m_vStart) * (m_fAge / m_fLife * 0.5f);
}

// Yellow-white turning into the flame's own colour over the first half of
// life, fading in over the first fifth. Returns the fade.
float CFlameParticle::HotColour()
{
    const float half = m_fLife / 2.0f;
    const float k = m_fAge < half ? 1.0f - m_fAge / half : 0.0f;
    const D3DXCOLOR4 mix{k + (1.0f - k) * m_BaseColour.r, k + (1.0f - k) * m_BaseColour.g,
                         k / 2.0f + (1.0f - k) * m_BaseColour.b, 1.0f + (1.0f - k) * m_BaseColour.a};
    ColorScaleToLimit(&m_Colour, &mix, 1.0f);
    return m_fAge <= 0.2f * m_fLife ? m_fAge / (0.2f * m_fLife) : 1.0f;
}

void CFlameParticle::Update(CFlameParticle** list, std::uint32_t* count)
{
    const float dt = g_GameTimer.m_fDelta;
    m_fAge += dt;
    if (!(m_fAge < m_fLife)) {
        m_bLive = 0;
        return;
    }
    Move(dt);
    m_fSize += dt * m_fGrowth;
    if (!EffectSphereVisible(&m_vPosition, m_fSize))
        return;
    m_Colour = m_BaseColour;
    float fade = m_bHot ? HotColour() : 1.0f;
    const float half = m_fLife / 2.0f;
    if (m_fAge > half)
        fade *= 1.0f - (m_fAge - half) / half;
    if (!FadeByDistance(&fade))
        return;
    m_Colour.r *= fade;
    m_Colour.g *= fade;
    m_Colour.b *= fade;
    m_Colour.a = fade * m_BaseColour.a;
    if (fade == 0.0f) {
        m_bLive = 0;
        return;
    }
    Spin(dt);
    list[(*count)++] = this;
}
