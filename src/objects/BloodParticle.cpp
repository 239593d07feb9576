#include "objects/BloodEffect.h"

#include "graphics/SceneLights.h"
#include "objects/EffectColour.h"
#include "objects/EffectView.h"
#include "shell/GameTimer.h"
#include "world/Landscape.h"
#include "world/Sky.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

float Random01(int range, float divisor)
{
    return static_cast<float>(std::rand() % range) / divisor;
}

} // namespace

CBloodParticle::CBloodParticle()
    : m_bLive(0), m_vPosition(0, 0, 0), m_vVelocity(0, 0, 0), m_Colour{1.0f, 1.0f, 1.0f, 1.0f}, m_fSize(0),
      m_fTotalLife(0), m_fLife(0), m_bLanded(0), m_bVisible(0), m_Billboard{}, m_Splat{}, m_fAtlasU(0),
      m_fAtlasV(0), m_bSplatFixed(0)
{
}

void CBloodParticle::Start(const D3DXVECTOR3* position, const D3DXVECTOR3* direction, const D3DXCOLOR4& colour)
{
    m_bLive = 1;
    m_vPosition = *position;
    m_vPosition.y += 0.5f;
    // The spread's components are drawn in the order x, y, z.
    D3DXVECTOR3 spread;
    spread.x = static_cast<float>(std::rand() % 201 - 100);
    spread.y = static_cast<float>(std::rand() % 101);
    spread.z = static_cast<float>(std::rand() % 201 - 100);
    Vec3Normalize(&spread, &spread);
    const float speed = Random01(101, 200.0f);
    m_vVelocity = *direction + spread * speed;
    m_Colour = colour;
    m_fSize = 0.25f;
    m_fTotalLife = m_fLife = Random01(101, 10.0f) + 10.0f;
    m_bLanded = 0;
    m_fAtlasU = static_cast<float>(std::rand() % 2) * 0.5f;
    m_fAtlasV = static_cast<float>(std::rand() % 2) * 0.5f;
}

void CBloodParticle::Kill()
{
    m_bLive = 0;
    m_bSplatFixed = 0;
}

// Gravity and drag until the drop has sunk half its size into the ground;
// then it rests just above it and never moves again.
void CBloodParticle::Fly(float dt)
{
    m_vVelocity.x /= 2.0f * dt + 1.0f;
    m_vVelocity.z /= 2.0f * dt + 1.0f;
    m_vVelocity.y -= 5.0f * dt;
    m_vPosition += m_vVelocity * (2.0f * dt);
    const float ground = GetExactAltitude(&m_vPosition);
    if (m_vPosition.y - ground < -0.5f * m_fSize) {
        m_vPosition.y = ground + 0.05f;
        m_vVelocity.y = 0.0f;
        m_bLanded = 1;
    }
}

// Darker at night, brighter near point lights; fades out over the last
// quarter of life.
std::uint32_t CBloodParticle::FrameColour() const
{
    const float k = g_Sky.m_fDaylight <= 0.25f ? 0.25f : g_Sky.m_fDaylight;
    float sum[4];
    g_SceneLights.GetPointLightColor(sum, &m_vPosition);
    const D3DXVECTOR3 light(sum[0], sum[1], sum[2]);
    const float f = 5.0f * Vec3Mean(&light) + 1.0f;
    const float alpha = 0.75f * std::min(2.0f * m_fLife / m_fTotalLife, 0.5f);
    return PackEffectColour(k * m_Colour.r * f, k * m_Colour.g * f, k * m_Colour.b * f, alpha);
}

// 2 x size wide and size high, standing on the drop's position.
void CBloodParticle::BuildBillboard(std::uint32_t colour)
{
    const float s = m_fSize, u = m_fAtlasU, v = m_fAtlasV;
    const D3DXVECTOR3 axis(0.0f, 1.0f, 0.0f);
    m_Billboard[0].Set(D3DXVECTOR3(s, s, 0), colour, u, v, m_vPosition, axis);
    m_Billboard[1].Set(D3DXVECTOR3(s, 0, 0), colour, u, v + 0.5f, m_vPosition, axis);
    m_Billboard[2].Set(D3DXVECTOR3(-s, s, 0), colour, u + 0.5f, v, m_vPosition, axis);
    m_Billboard[3].Set(D3DXVECTOR3(-s, 0, 0), colour, u + 0.5f, v + 0.5f, m_vPosition, axis);
}

// A square on the ground, or once the drop landed fast enough, a splat that
// trails up to 2 units behind its last direction of motion (computed once).
void CBloodParticle::BuildSplat(std::uint32_t colour)
{
    const float s = m_fSize, u = m_fAtlasU, v = m_fAtlasV;
    const D3DXVECTOR3& p = m_vPosition;
    if (!m_bSplatFixed) {
        SetEffectVertex(&m_Splat[0], D3DXVECTOR3(p.x - s, p.y, p.z + s), 0, u, v);
        SetEffectVertex(&m_Splat[1], D3DXVECTOR3(p.x - s, p.y, p.z - s), 0, u, v + 0.5f);
        SetEffectVertex(&m_Splat[2], D3DXVECTOR3(p.x + s, p.y, p.z + s), 0, u + 0.5f, v);
        SetEffectVertex(&m_Splat[3], D3DXVECTOR3(p.x + s, p.y, p.z - s), 0, u + 0.5f, v + 0.5f);
        const float t = std::clamp(0.5f * Vec3Length(&m_vVelocity) - 0.5f, 0.0f, 2.0f);
        if (t > 0.0f) {
            D3DXMATRIX m;
            const D3DXVECTOR3 target = p + m_vVelocity, up(0.0f, 1.0f, 0.0f);
            BuildLookAtMatrix(&m, &p, &target, &up);
            const D3DXVECTOR3 corners[4] = {{-s, 0, s}, {-s, 0, -s - t}, {s, 0, s}, {s, 0, -s - t}};
            for (int i = 0; i < 4; ++i) {
                D3DXVECTOR3 corner;
                D3DXVec3TransformCoord(&corner, &corners[i], &m);
                SetEffectVertex(&m_Splat[i], corner, 0, m_Splat[i].u, m_Splat[i].v);
            }
            m_bSplatFixed = 1;
        }
    }
    for (CEffectVertex& vertex : m_Splat)
        vertex.colour = colour;
}

void CBloodParticle::Update(CBloodEffect* pool)
{
    const float dt = g_GameTimer.m_fDelta;
    m_fLife = std::max(m_fLife - dt, 0.0f);
    if (!(m_fLife > 0.0f)) {
        Kill();
        return;
    }
    if (!m_bLanded)
        Fly(dt);
    if (m_fLife > 0.75f * m_fTotalLife) {
        const float early = (m_fLife - 0.75f * m_fTotalLife) / (0.75f * m_fTotalLife);
        m_fSize += early * dt / (0.2f * Vec3Length(&m_vVelocity) + 1.0f);
    }
    if (EffectEyeDistance(&m_vPosition) > 30.0f)
        return;
    const std::uint32_t colour = FrameColour();
    m_bVisible = EffectSphereVisible(&m_vPosition, m_fSize + 1.0f) ? 1 : 0;
    if (!m_bVisible)
        return;
    if (!m_bLanded) {
        BuildBillboard(colour);
        pool->AddBillboardVertices(m_Billboard, 4);
    } else {
        BuildSplat(colour);
        pool->AddSplatVertices(m_Splat, 4);
    }
}
