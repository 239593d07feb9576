#include "objects/WaterCircles.h"

#include "graphics/D3DRender.h"
#include "objects/EffectView.h"
#include "shell/VectorHelpers.h"

// Ground and water decoration: unfogged, depth-tested, never hiding what is
// drawn after it, at the world origin.
static void SetDecorationStates()
{
    g_D3DRender.SetFogEnable(0);
    g_D3DRender.SetZEnable(1);
    g_D3DRender.SetZWriteEnable(0);
    g_D3DRender.SetLighting(0);
    g_D3DRender.m_pDevice->SetFVF(EFFECT_VERTEX_FVF);
    g_D3DRender.m_pDevice->SetTransform(D3DTS_WORLD, &g_matIdentity);
}

// The sphere round a strip: centred on its left edge, reaching its first vertex.
static bool TrailVisible(const CSkidTrail& trail)
{
    D3DXVECTOR3 centre(0.0f, 0.0f, 0.0f);
    for (std::uint32_t i = 0; i < trail.m_nPoints; ++i)
        centre += VertexPosition(trail.m_Vertices[2 * i]);
    centre = centre / static_cast<float>(trail.m_nPoints);
    const D3DXVECTOR3 first = VertexPosition(trail.m_Vertices[0]);
    return EffectSphereVisible(&centre, Vec3Distance(&centre, &first));
}

void CWaterCircles::RenderSkidTrails()
{
    if (!g_D3DRender.m_pDevice)
        return;
    SetDecorationStates();
    g_D3DRender.SetTexture(INVALID_TEXTURE_ID, 1, 0, 0);
    for (const CSkidTrail& trail : m_SkidTrails) {
        if (!trail.m_bActive || trail.m_nPoints < 2 || !TrailVisible(trail))
            continue;
        g_D3DRender.m_pDevice->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2 * trail.m_nPoints - 2, trail.m_Vertices,
                                               sizeof(CEffectVertex));
    }
}

// Light rings added onto the water.
void CWaterCircles::RenderRings()
{
    if (!g_D3DRender.m_pDevice)
        return;
    SetDecorationStates();
    g_D3DRender.SetTexture(m_nRingTexture, 1, 0, 0);
    g_D3DRender.SetBlendMode(D3DBLEND_ONE, D3DBLEND_ONE);
    for (const CWaterRing& ring : m_Rings) {
        if (!ring.m_bActive || !EffectSphereVisible(&ring.m_vPosition, ring.m_fRadius))
            continue;
        g_D3DRender.m_pDevice->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, ring.m_Vertices, sizeof(CEffectVertex));
    }
}
