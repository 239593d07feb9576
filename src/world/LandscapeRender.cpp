// The landscape's drawing passes: the ground with roads, markings and
// sidewalks, the water, the ground in the shadow map and the projected shadow.
#include "world/Landscape.h"

#include "graphics/D3DRender.h"
#include "graphics/SceneLights.h"
#include "shell/Game.h"
#include "shell/GameTimer.h"
#include "shell/RenderPasses.h"
#include "shell/Settings.h"
#include "world/LandscapeSector.h"
#include "world/Sky.h"

#include <algorithm>
#include <cmath>

namespace {

enum {
    TEX_LANDSCAPE,
    TEX_DETAIL,
    TEX_NOISE,
    TEX_ROADS1,
    TEX_ROADS2,
    TEX_ROADS_ALPHA,
    TEX_SECTORING,
    TEX_SIDEWALKS,
    TEX_STREET_DIRT,
};

const char* const kWaterTechnique = "techWaterSurface";

IDirect3DDevice9* Device()
{
    return g_D3DRender.m_pDevice;
}

void SetIdentityWorld(float lift = 0.0f)
{
    D3DXMATRIX world;
    D3DXMatrixIdentity(&world);
    world._42 = lift;
    Device()->SetTransform(D3DTS_WORLD, &world);
}

void TexCoords(DWORD stage, DWORD set)
{
    Device()->SetTextureStageState(stage, D3DTSS_TEXCOORDINDEX, set);
}

// Stage 0 modulates its texture with the current colour, the others are off.
void DefaultStages(DWORD last)
{
    g_D3DRender.SetColorStage(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT);
    g_D3DRender.SetAlphaStage(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT);
    for (DWORD s = 1; s <= last; ++s) {
        g_D3DRender.SetColorStage(s, D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT);
        g_D3DRender.SetAlphaStage(s, D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT);
    }
}

void SamplerAddress(DWORD sampler, DWORD mode)
{
    Device()->SetSamplerState(sampler, D3DSAMP_ADDRESSU, mode);
    Device()->SetSamplerState(sampler, D3DSAMP_ADDRESSV, mode);
}

bool InSpecialPass()
{
    return g_WaterPassActive || g_CubePassActive;
}

// The sky colour brightened towards white and kept within 1.0, dimmed at
// night: the water's highlight.
D3DXVECTOR4 WaterSpecular()
{
    float c[4] = {g_Sky.m_Colour[0] + 0.5f, g_Sky.m_Colour[1] + 0.5f, g_Sky.m_Colour[2] + 0.5f,
                  g_Sky.m_Colour[3] + 1.0f};
    const float top = std::max(std::max(c[0], c[1]), c[2]);
    const float k = (top > 1.0f ? 1.0f / top : 1.0f) * g_Sky.m_fDaylight;
    return D3DXVECTOR4(c[0] * k, c[1] * k, c[2] * k, c[3] * k);
}

// The states every ground layer shares; the reflection and cube passes draw
// with blurrier mip levels.
void BeginGroundStates(bool special)
{
    g_SceneLights.ApplyLightSet(nullptr);
    if (special)
        g_D3DRender.SetMipLodBias(2.0f, 0);
    g_D3DRender.SetFogEnable(TRUE);
    g_D3DRender.SetLighting(TRUE);
    g_D3DRender.SetZEnable(TRUE);
    g_D3DRender.SetZWriteEnable(TRUE);
    SetIdentityWorld();
}

// The states the water shares in both looks: drawn over the ground without
// writing depth.
void BeginWaterStates()
{
    g_D3DRender.SetFogEnable(TRUE);
    g_D3DRender.SetZEnable(TRUE);
    g_D3DRender.SetLighting(TRUE);
    g_D3DRender.SetZWriteEnable(FALSE);
    Device()->SetFVF(LANDSCAPE_FVF);
}

// The fixed-function water maps the reflection in screen space: the camera's
// projection moved from clip space into texture space.
void SetReflectionProjection()
{
    TexCoords(0, D3DTSS_TCI_CAMERASPACEPOSITION);
    Device()->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT4 | D3DTTFF_PROJECTED);
    D3DXMATRIX scale, shift, m;
    D3DXMatrixScaling(&scale, 0.5f, -0.5f, 1.0f);
    D3DXMatrixTranslation(&shift, 0.5f, 0.5f, 0.0f);
    D3DXMatrixIdentity(&m);
    if (const CWorldCamera* camera = g_Game.m_pCamera)
        m = camera->m_matProj;
    m = m * scale * shift;
    Device()->SetTransform(static_cast<D3DTRANSFORMSTATETYPE>(D3DTS_TEXTURE0), &m);
}

void EndFixedWater()
{
    DefaultStages(2);
    TexCoords(0, 0);
    Device()->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    Device()->SetTransform(static_cast<D3DTRANSFORMSTATETYPE>(D3DTS_TEXTURE0), &identity);
}

// The effect's transforms: the water grid lies in world space.
void SetWaterTransforms(ID3DXEffect* effect)
{
    const CWorldCamera* camera = g_Game.m_pCamera;
    D3DXMATRIX identity, viewProj;
    D3DXMatrixIdentity(&identity);
    viewProj = camera ? camera->m_matView * camera->m_matProj : identity;
    effect->SetMatrix("matWorld", &identity);
    effect->SetMatrix("matViewProj", &viewProj);
    effect->SetMatrix("matWorldViewProj", &viewProj);
}

// The two wave layers drift with the game clock; the colours and the
// highlight follow the sky.
void SetWaveConstants(ID3DXEffect* effect)
{
    const float clock = static_cast<float>(std::trunc(g_GameTimer.m_fGameTime));
    const D3DXVECTOR4 time(clock * 0.000005f, 0.0f, 0.0f, 0.0f);
    effect->SetVector("vecTime", &time);
    const D3DXVECTOR4 wave1(0.02f, 0.02f, 0.02f, 1.0f), wave2(0.04f, 0.04f, 0.04f, 1.0f);
    effect->SetVector("Wave1Scale", &wave1);
    effect->SetVector("Wave2Scale", &wave2);
    const float drift = clock * -0.000015f;
    const D3DXVECTOR4 speed1(drift, drift, drift, drift), speed2(8.0f * drift, drift, drift, drift);
    effect->SetVector("Wave1Speed", &speed1);
    effect->SetVector("Wave2Speed", &speed2);
    const D3DXVECTOR4 alpha(60.0f, 0.75f, 0.0f, 0.0f), colour(0.2f, 0.5f, 0.6f, 1.0f);
    effect->SetVector("AlphaFactor", &alpha);
    effect->SetVector("WaterColor", &colour);
    const D3DXVECTOR4 specular = WaterSpecular();
    effect->SetVector("MatSpecular", &specular);
}

void EndWaterEffect()
{
    g_D3DRender.RestoreFogRange();
    SamplerAddress(0, D3DTADDRESS_WRAP);
    Device()->SetSamplerState(0, D3DSAMP_ADDRESSW, D3DTADDRESS_WRAP);
}

} // namespace

void CLandscape::RenderSectorDraws(void (CLandscapeSector::*draw)())
{
    for (std::uint32_t i = 0; i < m_nActiveSectors; ++i) {
        CLandscapeSector* sector = m_pActiveSectors[i];
        if (sector)
            (sector->*draw)();
    }
}

bool CLandscape::IsWaterInView() const
{
    for (std::uint32_t i = 0; i < m_nActiveSectors; ++i) {
        const CLandscapeSector* sector = m_pActiveSectors[i];
        if (sector && sector->WaterDrawn() != CLandscapeSector::WaterDraw::None)
            return true;
    }
    return false;
}

void CLandscape::Render()
{
    if (m_nSectorCount == 0 || !Device())
        return;
    const bool special = InSpecialPass();
    BeginGroundStates(special);
    RenderGround(special);
    if (!special) {
        RenderRoads();
        RenderMarkings();
        RenderSidewalks();
    }
    DefaultStages(3);
    TexCoords(0, 0);
    TexCoords(1, 0);
    if (special)
        g_D3DRender.SetMipLodBias(0.0f, 0);
    else
        DrawRouteDebug();
}

// The ground: the map texture once across the map, the detail map on top.
void CLandscape::RenderGround(bool special)
{
    if (!special) {
        TexCoords(1, 1);
        g_D3DRender.SetTexture(m_nSurfaceTextures[TEX_DETAIL], 0, 1);
        g_D3DRender.SetColorStage(1, D3DTOP_MODULATE2X, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT);
    }
    if (g_WaterPassActive) {
        g_D3DRender.SaveCullMode();
        g_D3DRender.SetCullMode(D3DCULL_NONE);
    }
    g_D3DRender.SetTexture(m_nSurfaceTextures[TEX_LANDSCAPE], 0, 0);
    Device()->SetFVF(LANDSCAPE_FVF);
    Device()->SetStreamSource(0, m_pTerrainVB, 0, sizeof(LandscapeVertex));
    SamplerAddress(0, D3DTADDRESS_CLAMP);
    Device()->SetRenderState(D3DRS_COLORVERTEX, FALSE);
    g_D3DRender.SetMaterial(&m_Materials[0]);
    if (m_pTerrainVB)
        RenderSectorDraws(&CLandscapeSector::RenderTerrain);
    Device()->SetRenderState(D3DRS_COLORVERTEX, TRUE);
    SamplerAddress(0, D3DTADDRESS_WRAP);
    TexCoords(1, 0);
    g_D3DRender.SetColorStage(1, D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT);
    if (g_WaterPassActive)
        g_D3DRender.RestoreCullMode();
}

// Roads: two asphalt textures mixed by the road mask, times the vertex
// colour; drawn over the ground without writing depth.
void CLandscape::RenderRoads()
{
    g_D3DRender.SetZWriteEnable(FALSE);
    g_D3DRender.SetMaterial(&m_Materials[2]);
    TexCoords(0, 1);
    TexCoords(1, 0);
    TexCoords(2, 0);
    g_D3DRender.SetTexture(m_nSurfaceTextures[TEX_ROADS_ALPHA], 1, 0);
    g_D3DRender.SetTexture(m_nSurfaceTextures[TEX_ROADS1], 1, 1);
    g_D3DRender.SetTexture(m_nSurfaceTextures[TEX_ROADS2], 1, 2);
    g_D3DRender.SetColorStage(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_TEMP);
    g_D3DRender.SetColorStage(1, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TEMP | D3DTA_COMPLEMENT, D3DTA_CURRENT,
                              D3DTA_CURRENT);
    g_D3DRender.SetColorStage(2, D3DTOP_MULTIPLYADD, D3DTA_TEXTURE, D3DTA_TEMP, D3DTA_CURRENT, D3DTA_CURRENT);
    g_D3DRender.SetColorStage(3, D3DTOP_MODULATE, D3DTA_DIFFUSE, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT);
    g_D3DRender.SetAlphaStage(3, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_CURRENT, D3DTA_CURRENT);
    RenderSectorDraws(&CLandscapeSector::RenderRoads);
    DefaultStages(3);
    TexCoords(0, 0);
}

// Markings, sharper than the mip chain would make them.
void CLandscape::RenderMarkings()
{
    g_D3DRender.SetMipLodBias(-2.0f, 0);
    g_D3DRender.SetMaterial(&m_Materials[3]);
    g_D3DRender.SetTexture(m_nSurfaceTextures[TEX_SECTORING], 1, 0);
    RenderSectorDraws(&CLandscapeSector::RenderRoadsSectoring);
    g_D3DRender.SetMipLodBias(0.0f, 0);
}

// Sidewalks: the paving and the street dirt mixed by the dirt's alpha.
void CLandscape::RenderSidewalks()
{
    g_D3DRender.SetColorStage(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_TEMP);
    g_D3DRender.SetColorStage(1, D3DTOP_BLENDTEXTUREALPHA, D3DTA_TEXTURE, D3DTA_TEMP, D3DTA_CURRENT, D3DTA_TEMP);
    g_D3DRender.SetColorStage(2, D3DTOP_MODULATE, D3DTA_TEMP, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT);
    g_D3DRender.SetAlphaStage(2, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_CURRENT, D3DTA_CURRENT);
    TexCoords(1, 1);
    g_D3DRender.SetMaterial(&m_Materials[4]);
    g_D3DRender.SetTexture(m_nSurfaceTextures[TEX_SIDEWALKS], 1, 0);
    g_D3DRender.SetTexture(m_nSurfaceTextures[TEX_STREET_DIRT], 1, 1);
    RenderSectorDraws(&CLandscapeSector::RenderSideWalks);
}

void CLandscape::RenderWater()
{
    if (m_nSectorCount == 0 || !Device())
        return;
    ID3DXEffect* effect = g_D3DRender.m_pEffect;
    // Without the effect the water falls back to the fixed-function look.
    const bool shader = g_nWater >= 2 && effect;
    BeginWaterStates();
    if (!shader)
        BeginFixedWater();
    else
        BeginWaterEffect(effect);
    RenderSectorDraws(&CLandscapeSector::RenderWater);
    if (!shader)
        EndFixedWater();
    else
        EndWaterEffect();
}

// The animated water frame: 20 frames a second, wrapping after 32.
int CLandscape::StepWaterFrame()
{
    m_fWaterFrame += g_GameTimer.m_fDelta * 20.0f;
    if (std::trunc(m_fWaterFrame) > 31.0f)
        m_fWaterFrame = static_cast<float>(static_cast<int>(m_fWaterFrame) % 32);
    return std::clamp(static_cast<int>(m_fWaterFrame), 0, LANDSCAPE_WATER_TEXTURES - 1);
}

// The fixed-function look: the water tint times the animated water texture,
// added smoothly to the reflection.
void CLandscape::BeginFixedWater()
{
    g_D3DRender.SetMaterial(&m_Materials[1]);
    SetIdentityWorld();
    const int frame = StepWaterFrame();
    g_D3DRender.SetTexturePointer(g_D3DRender.m_pReflectionTexture, 1, 0);
    g_D3DRender.SetTexture(m_nWaterTextures[frame], 1, 1);
    g_D3DRender.SetTexture(m_nWaterTextures[frame], 1, 2);
    Device()->SetRenderState(D3DRS_TEXTUREFACTOR, 0xFF337F99u);
    g_D3DRender.SetColorStage(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR, D3DTA_CURRENT, D3DTA_CURRENT);
    g_D3DRender.SetColorStage(1, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_TEMP);
    g_D3DRender.SetColorStage(2, D3DTOP_ADDSMOOTH, D3DTA_CURRENT, D3DTA_TEMP, D3DTA_CURRENT, D3DTA_CURRENT);
    SetReflectionProjection();
}

// The effect's look: the reflection disturbed by the noise map, blended
// over the ground, with the fog nearer than elsewhere.
void CLandscape::BeginWaterEffect(ID3DXEffect* effect)
{
    g_D3DRender.SetTechnique(kWaterTechnique, 1);
    g_D3DRender.SaveFogRange();
    const float d = static_cast<float>(g_nViewDistance);
    g_D3DRender.SetFogRange(d * 0.2f, d * 0.8f);
    SetWaterTransforms(effect);
    SetWaveConstants(effect);
    g_D3DRender.SetEffectTexture("texBaseMap1", g_D3DRender.m_pReflectionTexture);
    g_D3DRender.SetEffectTexture("texBaseMap2", g_D3DRender.GetTexture(m_nSurfaceTextures[TEX_NOISE]));
    g_D3DRender.SetAlphaBlendEnable(TRUE);
    g_D3DRender.SetBlendMode(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
}

// The finest detail mesh of each visible sector that reaches within 40 m of
// the shadow map's centre (the coarsest where it is flat), with the caller's
// states.
void CLandscape::DrawSectorsNearShadow()
{
    Device()->SetFVF(LANDSCAPE_FVF);
    Device()->SetStreamSource(0, m_pTerrainVB, 0, sizeof(LandscapeVertex));
    const D3DXVECTOR3 centre(g_Game.m_vShadowCenter[0], g_Game.m_vShadowCenter[1], g_Game.m_vShadowCenter[2]);
    const UINT vertices = static_cast<UINT>((m_nCells + 1) * (m_nCells + 1));
    for (std::uint32_t i = 0; i < m_nActiveSectors; ++i) {
        const CLandscapeSector* s = m_pActiveSectors[i];
        if (!s || s->m_nFirstVertex == -1 || !s->m_bVisible)
            continue;
        const D3DXVECTOR3 d = s->m_vCentre - centre;
        if (std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z) - s->m_fRadius >= 40.0f)
            continue;
        const int level = GroundDetailLevel(s, 0);
        Device()->SetIndices(m_pDetailIB[level]);
        Device()->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, s->m_nFirstVertex, 0, vertices, 0, m_nDetailTris[level]);
        g_D3DRender.AddDrawnFaces(m_nDetailTris[level]);
    }
}

void CLandscape::RenderShadowCasters()
{
    if (m_nSectorCount == 0 || !Device() || !m_pTerrainVB || !m_pDetailIB[0])
        return;
    g_D3DRender.SetFogEnable(FALSE);
    g_D3DRender.SetZEnable(TRUE);
    g_D3DRender.SetZWriteEnable(TRUE);
    g_D3DRender.SetLighting(FALSE);
    Device()->SetRenderState(D3DRS_COLORVERTEX, FALSE);
    SetIdentityWorld();
    g_D3DRender.SetTexture(INVALID_TEXTURE_ID, 0, 0);
    DrawSectorsNearShadow();
    Device()->SetRenderState(D3DRS_COLORVERTEX, TRUE);
    g_D3DRender.SetZWriteEnable(FALSE);
}

void CLandscape::RenderTerrainShadow()
{
    // Without a shadow target there is nothing to project.
    if (g_nShadows == 0 || m_nSectorCount == 0 || !Device() || !g_D3DRender.m_pShadowTexture || !m_pTerrainVB ||
        !m_pDetailIB[0])
        return;
    g_D3DRender.SetFogEnable(FALSE);
    g_D3DRender.SetLighting(FALSE);
    g_D3DRender.SetZEnable(TRUE);
    g_D3DRender.SetZWriteEnable(FALSE);
    Device()->SetRenderState(D3DRS_COLORVERTEX, FALSE);
    SamplerAddress(0, D3DTADDRESS_BORDER);
    D3DXMATRIX world;
    D3DXMatrixIdentity(&world);
    world._42 = 0.1f;
    Device()->SetTransform(D3DTS_WORLD, &world);
    D3DXMATRIX texture;
    g_Game.GetShadowMapMatrix(&texture, &world);
    Device()->SetTransform(static_cast<D3DTRANSFORMSTATETYPE>(D3DTS_TEXTURE0), &texture);
    TexCoords(0, D3DTSS_TCI_CAMERASPACEPOSITION);
    Device()->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT3);
    g_D3DRender.SetTexturePointer(g_D3DRender.m_pShadowTexture, 0, 0);
    g_D3DRender.SetAlphaBlendEnable(TRUE);
    g_D3DRender.SetBlendMode(D3DBLEND_ZERO, D3DBLEND_INVSRCCOLOR);
    DrawSectorsNearShadow();
    Device()->SetRenderState(D3DRS_COLORVERTEX, TRUE);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    Device()->SetTransform(static_cast<D3DTRANSFORMSTATETYPE>(D3DTS_TEXTURE0), &identity);
    TexCoords(0, 0);
    Device()->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    SamplerAddress(0, D3DTADDRESS_WRAP);
}
