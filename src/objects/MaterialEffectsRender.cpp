// Drawing the chrome, glass, light-map and self-illumination overlays over
// their owner's mesh.
#include "objects/MaterialEffects.h"

#include "graphics/D3DRender.h"
#include "graphics/SceneLights.h"
#include "objects/EffectGate.h"
#include "objects/StaticObject.h"
#include "roadusers/VehicleManager.h"
#include "shell/Game.h"
#include "shell/Settings.h"
#include "world/InfoScreenManager.h"
#include "world/Sky.h"

namespace {

// Chrome is a detail: it stops well before the far plane.
constexpr float kChromeDistance = 400.0f;

// Chrome and glass dim with the daylight, never below 40 %.
DWORD ShineFactor()
{
    const float g = 0.4f + 0.6f * g_Sky.m_fLightsFactor;
    const DWORD c = g > 0.0f ? (g >= 1.0f ? 255u : static_cast<DWORD>(g * 255.0f)) : 0u;
    return 0xFF000000u | c << 16 | c << 8 | c;
}

int AlphaFlag(const CModelInstance& instance)
{
    return instance.m_Material.Diffuse.a < 1.0f ? 1 : 0;
}

void SwitchOnDrawStates()
{
    g_D3DRender.SetFogEnable(1);
    g_D3DRender.SetZEnable(1);
    g_D3DRender.SetZWriteEnable(1);
    g_D3DRender.SetLighting(1);
}

// The owner's placement and fade, the shine factor, the environment cube on
// stage 0 and camera-space reflection vectors to look it up.
void BeginReflection(CModelInstance* instance, const CStaticObject* owner, std::uint32_t liveCubeType)
{
    IDirect3DDevice9* device = g_D3DRender.m_pDevice;
    instance->m_matWorld = owner->m_matWorld;
    instance->m_Material.Diffuse.a = owner->m_Material.Diffuse.a;
    device->SetRenderState(D3DRS_TEXTUREFACTOR, ShineFactor());
    IDirect3DCubeTexture9* cube = g_D3DRender.m_pStaticEnvMap;
    if (g_bReflect == 1 && g_D3DRender.m_pCubeTexture && owner->m_nType == liveCubeType)
        cube = g_D3DRender.m_pCubeTexture;
    g_D3DRender.SetTexturePointer(cube, AlphaFlag(*instance), 0);
    D3DXMATRIX rotation = g_Game.m_pCamera->m_matInvView;
    rotation._41 = rotation._42 = rotation._43 = 0.0f;
    device->SetTransform(D3DTS_TEXTURE0, &rotation);
    device->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR | 1);
    device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT3);
}

void EndReflection()
{
    IDirect3DDevice9* device = g_D3DRender.m_pDevice;
    device->SetTransform(D3DTS_TEXTURE0, &g_matIdentity);
    device->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
    device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, 0);
}

bool CanDraw(const CStaticObject* owner)
{
    return g_D3DRender.m_pDevice && g_Game.m_pCamera && owner;
}

} // namespace

void CChromeEffect::Render()
{
    if (!CanDraw(m_pOwner) || !PassesEffectGate(m_pOwner, ViewDistanceUpTo(kChromeDistance), ViewDistance()))
        return;
    BeginReflection(this, m_pOwner, GTYPE_WHEEL);
    SwitchOnDrawStates();
    DrawPart(4);
    EndReflection();
}

void CRGlassEffect::Render()
{
    if (!CanDraw(m_pOwner) || !PassesEffectGate(m_pOwner, ViewDistance(), ViewDistance()))
        return;
    BeginReflection(this, m_pOwner, GTYPE_VEHICLE);
    const int alpha = AlphaFlag(*this);
    g_D3DRender.SetTexture(m_nTextureIds[0], alpha, 1);
    // Adds glass x shine to the lit reflection.
    g_D3DRender.SetColorStage(1, D3DTOP_MULTIPLYADD, D3DTA_TEXTURE, D3DTA_TFACTOR, D3DTA_CURRENT, D3DTA_CURRENT);
    g_D3DRender.SetAlphaStage(1, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_CURRENT, D3DTA_CURRENT);
    g_D3DRender.SetAlphaBlendEnable(alpha ? 1 : 0);
    if (alpha)
        g_D3DRender.SetBlendMode(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
    else
        g_D3DRender.SetBlendMode(D3DBLEND_ONE, D3DBLEND_ZERO);
    SwitchOnDrawStates();
    DrawPart(3);
    EndReflection();
    g_D3DRender.SetColorStage(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT);
    g_D3DRender.SetAlphaStage(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT);
    g_D3DRender.SetColorStage(1, D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT);
    g_D3DRender.SetAlphaStage(1, D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT);
}

void CLightMapsEffect::Render()
{
    // The race code switches the overlay off by clearing either the owner
    // or the mesh.
    if (!CanDraw(m_pOwner) || !m_pMesh || !PassesEffectGate(m_pOwner, ViewDistance(), ViewDistance()))
        return;
    const float alpha = m_pOwner->m_Material.Diffuse.a;
    if (alpha == 0.0f)
        return;
    IDirect3DDevice9* device = g_D3DRender.m_pDevice;
    m_matWorld = m_pOwner->m_matWorld;
    const D3DXCOLOR4 emissive = ScaledColour(m_Colour, alpha);
    m_Material.Emissive = {emissive.r, emissive.g, emissive.b, emissive.a};
    device->SetRenderState(D3DRS_FOGCOLOR, 0xFF000000u);
    g_D3DRender.SetZEnable(1);
    g_D3DRender.SetZWriteEnable(0);
    g_D3DRender.SetLighting(1);
    g_D3DRender.SetTexture(m_nTextureIds[0], 1, 0);
    g_D3DRender.SetBlendMode(D3DBLEND_ONE, D3DBLEND_ONE);
    // The race-start screen is seen from both sides; the cull mode saved
    // here is the one given back.
    const bool bothSides = m_pOwner == g_VehicleManager.m_pRaceInfoScreen;
    if (bothSides) {
        g_D3DRender.SaveCullMode();
        g_D3DRender.SetCullMode(D3DCULL_NONE);
    }
    DrawPart(5);
    if (bothSides)
        g_D3DRender.RestoreCullMode();
}

void CSelfIllumEffect::Render()
{
    if (!CanDraw(m_pOwner) || !PassesEffectGate(m_pOwner, ViewDistance(), ViewDistance()))
        return;
    if (m_pOwner->m_Material.Diffuse.a == 0.0f)
        return;
    m_matWorld = m_pOwner->m_matWorld;
    g_SceneLights.ApplyFogColor();
    m_Material.Diffuse.a = m_pOwner->m_Material.Diffuse.a;
    const int alpha = AlphaFlag(*this);
    if (m_pInfoScreen)
        g_D3DRender.SetTexturePointer(m_pInfoScreen->m_pTexture, alpha, 0);
    else
        g_D3DRender.SetTexture(m_nTextureIds[0], alpha, 0);
    g_D3DRender.SetZEnable(1);
    g_D3DRender.SetZWriteEnable(1);
    g_D3DRender.SetLighting(1);
    DrawPart(2);
}
