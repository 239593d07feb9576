#include "objects/WaterCircles.h"

#include "shell/VectorHelpers.h"
#include "world/Landscape.h"


// Black, with the point's intensity as a quarter of full alpha.
static std::uint32_t TrailColour(float intensity, float fade)
{
    const float alpha = intensity * 0.25f * 255.0f * fade;
    const std::uint32_t byte = alpha >= 255.0f ? 255u : alpha > 0.0f ? static_cast<std::uint32_t>(alpha) : 0u;
    return byte << 24;
}

void CSkidTrail::Clear()
{
    *this = CSkidTrail{};
}

int CSkidTrail::AddPoint(D3DXVECTOR3* position, float intensity, std::uint32_t ticket)
{
    if (!m_bActive || ticket == 0 || ticket != m_nTicket || m_nPoints >= SKID_TRAIL_POINTS)
        return 0;
    position->y = GetExactAltitude(position) + 0.1f;
    const std::uint32_t colour = TrailColour(intensity, 1.0f);
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    D3DXVECTOR3 middle(0.0f, 0.0f, 0.0f);
    if (m_nPoints > 0) {
        const CEffectVertex* last = &m_Vertices[(m_nPoints - 1) * 2];
        middle = (VertexPosition(last[0]) + VertexPosition(last[1])) * 0.5f;
        const D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
        BuildLookAtMatrix(&m, &middle, position, &up);
    }
    const D3DXVECTOR3 side = D3DXVECTOR3(m._11, m._12, m._13) * 0.1f;
    // The first pair lay along x before the strip had a direction: turn it
    // across the path, transparent so the strip starts softly.
    if (m_nPoints == 1) {
        SetEffectVertex(&m_Vertices[0], middle - side, 0, 0.0f, 0.0f);
        SetEffectVertex(&m_Vertices[1], middle + side, 0, 0.0f, 0.0f);
    }
    const std::uint32_t n = m_nPoints;
    SetEffectVertex(&m_Vertices[2 * n], *position - side, colour, 0.0f, 0.0f);
    SetEffectVertex(&m_Vertices[2 * n + 1], *position + side, colour, 0.0f, 0.0f);
    m_fIntensities[n] = intensity;
    ++m_nPoints;
    return 1;
}

// Full strength for 6 seconds, then a linear fade to nothing at 10.
void CSkidTrail::Update(float dt)
{
    m_fAge += dt;
    if (m_fAge > 10.0f) {
        m_bActive = 0;
        m_nPoints = 0;
        m_nTicket = 0;
        return;
    }
    if (m_fAge <= 6.0f)
        return;
    const float fade = 1.0f - (m_fAge - 6.0f) / 4.0f;
    for (std::uint32_t i = 0; i < m_nPoints; ++i)
        m_Vertices[2 * i].colour = m_Vertices[2 * i + 1].colour = TrailColour(m_fIntensities[i], fade);
}
