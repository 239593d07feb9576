#include "objects/ParticleEffects.h"

#include "objects/EffectColour.h"
#include "objects/EffectView.h"

#include <algorithm>
#include <cstdlib>

CPuffParticle::CPuffParticle()
    : m_bLive(0), m_vPosition(0, 0, 0), m_vVelocity(0, 0, 0), m_vUp(0, 0, 0), m_fSpin(0), m_fLife(0), m_fAge(0),
      m_fSize(0), m_fGrowth(0), m_fEyeDistance(0), m_BaseColour{1.0f, 1.0f, 1.0f, 1.0f}, m_Colour{1.0f, 1.0f, 1.0f, 1.0f}
{
}

void CPuffParticle::StartPuff(const D3DXVECTOR3* position, const D3DXVECTOR3* velocity, float size, float life,
                              float growth, const D3DXCOLOR4* colour)
{
    m_bLive = 1;
    m_vPosition = *position;
    m_vVelocity = *velocity;
    // Every puff turns, at least 0.2 either way.
    m_fSpin = static_cast<float>(std::rand() % 601) / 1000.0f - 0.3f;
    m_fSpin += m_fSpin < 0.0f ? -0.2f : 0.2f;
    m_fLife = life;
    m_fAge = 0.0f;
    m_fSize = size;
    m_fGrowth = growth;
    m_fEyeDistance = 0.0f;
    // A little lighter at random, never brighter than white.
    const float t = static_cast<float>(std::rand() % 101) / 500.0f;
    const D3DXCOLOR4 lighter{colour->r + t, colour->g + t, colour->b + t, colour->a + 1.0f};
    ColorScaleToLimit(&m_BaseColour, &lighter, 1.0f);
    m_BaseColour.a = colour->a;
    m_Colour = m_BaseColour;
    // A random start angle: y is drawn before x, again while both are 0.
    do {
        m_vUp.y = static_cast<float>(std::rand() % 10001 - 5000);
        m_vUp.x = static_cast<float>(std::rand() % 10001 - 5000);
        m_vUp.z = 0.0f;
    } while (m_vUp.x == 0.0f && m_vUp.y == 0.0f);
    Vec3Normalize(&m_vUp, &m_vUp);
}

// Puffs thin out from 45 to 60 units and die beyond; very near the eye they
// thin out too, so one never fills the screen.
bool CPuffParticle::FadeByDistance(float* fade)
{
    const float d = std::max(EffectEyeDistance(&m_vPosition) - m_fSize / 2.0f, 0.0f);
    m_fEyeDistance = d;
    if (d > 60.0f) {
        m_bLive = 0;
        return false;
    }
    if (d > 45.0f)
        *fade *= 1.0f - (d - 45.0f) / 15.0f;
    if (d < m_fSize)
        *fade *= d / m_fSize;
    return true;
}

// Facing the eye, the quad's up direction turns by the spin.
void CPuffParticle::Spin(float dt)
{
    D3DXMATRIX look, turn, m;
    BuildLookAtMatrix(&look, &m_vPosition, EffectEye(), &m_vUp);
    D3DXMatrixRotationZ(&turn, dt * m_fSpin * 5.0f);
    D3DXMatrixMultiply(&m, &turn, &look);
    m_vUp = D3DXVECTOR3(m._21, m._22, m._23);
}

void FillPuffQuad(CLightVertex* quad, const CPuffParticle& puff)
{
    const float s = puff.m_fSize, lo = 0.001f, hi = 0.999f;
    const std::uint32_t colour = PackEffectColour(puff.m_Colour.r, puff.m_Colour.g, puff.m_Colour.b, puff.m_Colour.a);
    quad[0].Set(D3DXVECTOR3(s, s, 0.5f * s), colour, lo, lo, puff.m_vPosition, puff.m_vUp);
    quad[1].Set(D3DXVECTOR3(s, -s, 0.5f * s), colour, lo, hi, puff.m_vPosition, puff.m_vUp);
    quad[2].Set(D3DXVECTOR3(-s, s, 0.5f * s), colour, hi, lo, puff.m_vPosition, puff.m_vUp);
    quad[3].Set(D3DXVECTOR3(-s, -s, 0.5f * s), colour, hi, hi, puff.m_vPosition, puff.m_vUp);
}
