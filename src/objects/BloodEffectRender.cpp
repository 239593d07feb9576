#include "objects/BloodEffect.h"

#include "graphics/D3DRender.h"
#include "graphics/SceneLights.h"
#include "objects/EffectQuads.h"
#include "shell/VectorHelpers.h"

// Blood is dark in fog, never the fog's colour; blended over what lies
// behind without hiding it from later drawing.
static void SetBloodStates()
{
    g_D3DRender.m_pDevice->SetRenderState(D3DRS_FOGCOLOR, 0xFF000000u);
    g_D3DRender.SetCullMode(D3DCULL_NONE);
    g_D3DRender.SetFogEnable(1);
    g_D3DRender.SetZEnable(1);
    g_D3DRender.SetZWriteEnable(0);
    g_D3DRender.SetLighting(0);
}

void CBloodEffect::Render()
{
    if (!g_D3DRender.m_pDevice)
        return;
    RenderFlying();
    RenderSplats();
}

// Flying drops need the billboard technique; cards without it show only the splats.
void CBloodEffect::RenderFlying()
{
    if (m_nBillboardVertices == 0 || !g_D3DRender.m_bShader11 || !g_D3DRender.m_pEffect)
        return;
    g_D3DRender.SetTechnique(g_szTechDirectLights, 0);
    g_D3DRender.SetEffectTexture("texBaseMap1", g_D3DRender.GetTexture(m_nTexture));
    D3DXMATRIX viewProj;
    g_D3DRender.m_pEffect->SetMatrix("matViewProj", GetViewProjMatrix(&viewProj));
    SetBloodStates();
    g_D3DRender.SetAlphaBlendEnable(1);
    g_D3DRender.SetBlendMode(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
    g_D3DRender.m_pDevice->SetFVF(LIGHT_VERTEX_FVF);
    DrawTechniqueQuads(m_pBillboardBuffer, sizeof(CLightVertex), m_pIndexBuffer, m_nBillboardVertices);
    g_D3DRender.RestoreCullMode();
    g_SceneLights.ApplyFogColor();
}

void CBloodEffect::RenderSplats()
{
    if (m_nSplatVertices == 0)
        return;
    g_D3DRender.m_pDevice->SetTransform(D3DTS_WORLD, &g_matIdentity);
    g_D3DRender.SetTexture(m_nTexture, 1, 0, 0);
    SetBloodStates();
    g_D3DRender.m_pDevice->SetFVF(EFFECT_VERTEX_FVF);
    DrawFixedQuads(m_pSplatBuffer, sizeof(CEffectVertex), m_pIndexBuffer, m_nSplatVertices);
    g_D3DRender.RestoreCullMode();
    g_SceneLights.ApplyFogColor();
}
