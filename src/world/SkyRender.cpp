// The sky drawn first in every pass that shows the world: cleared, then
// stars, moon, dome, sun, clouds and the horizon band, all round the camera
// without depth, so nothing of it needs room inside the far plane.
#include "world/Sky.h"

#include "graphics/D3DRender.h"
#include "graphics/MeshRecord.h"
#include "graphics/SceneLights.h"
#include "graphics/WorldCamera.h"
#include "objects/MaterialEffects.h"
#include "objects/StaticObject.h"
#include "shell/Game.h"
#include "shell/GameTimer.h"
#include "shell/RenderPasses.h"
#include "shell/Settings.h"
#include "shell/VectorHelpers.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

IDirect3DDevice9* Device()
{
    return g_D3DRender.m_pDevice;
}

D3DXVECTOR3 Eye()
{
    return g_Game.m_pCamera ? g_Game.m_pCamera->m_vEye : D3DXVECTOR3(0.0f, 0.0f, 0.0f);
}

D3DXMATRIX AroundEye()
{
    D3DXMATRIX world;
    const D3DXVECTOR3 eye = Eye();
    D3DXMatrixTranslation(&world, eye.x, eye.y, eye.z);
    return world;
}

// Each channel x 255, truncated to a byte.
DWORD Byte(float c)
{
    return DWORD(std::int32_t(std::clamp(c, 0.0f, 1.0f) * 255.0f)) & 0xFFu;
}

DWORD PackColour(DWORD alpha, float r, float g, float b)
{
    return D3DCOLOR_ARGB(alpha, Byte(r), Byte(g), Byte(b));
}

void SetEffectVector(const char* name, const D3DXCOLOR4& c)
{
    if (!g_D3DRender.m_pEffect)
        return;
    const D3DXVECTOR4 v(c.r, c.g, c.b, c.a);
    g_D3DRender.m_pEffect->SetVector(name, &v);
}

void SetAmbient(const D3DXCOLOR4& c)
{
    if (Device())
        Device()->SetRenderState(D3DRS_AMBIENT, PackColour(0xFF, c.r, c.g, c.b));
    SetEffectVector("GlobalAmbient", c);
}

// Sky pieces never test or write depth and are never fogged.
void SetSkyStates(DWORD lighting)
{
    g_D3DRender.SetFogEnable(0);
    g_D3DRender.SetZEnable(0);
    g_D3DRender.SetZWriteEnable(0);
    g_D3DRender.SetLighting(lighting);
}

D3DMATERIAL9 ZeroMaterial()
{
    D3DMATERIAL9 m;
    std::memset(&m, 0, sizeof(m));
    return m;
}

// Moonlight brightens the clouds and the band; none while the moon is high.
float MoonBrightening(const D3DXVECTOR3& moonDir)
{
    return std::min(1.0f + 0.5f * moonDir.y, 1.0f);
}

D3DXCOLOR4 FogColour(const float c[4], float k)
{
    return {c[0] * k, c[1] * k, c[2] * k, c[3] * k};
}

} // namespace

void CSky::Render()
{
    g_SceneLights.DisableHeadlightSpot();
    if (!Device())
        return;
    Device()->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    if (g_D3DRender.m_nFillMode == D3DFILL_WIREFRAME)
        return;
    g_SceneLights.ApplyLightSet(nullptr);
    const bool stars = RenderStars();
    const bool moon = RenderMoon();
    RenderDome(!stars && !moon);
    if (!g_CubePassActive)
        RenderSun();
    RenderClouds();
    if (!g_WaterPassActive)
        RenderHorizonBand();
}

float CSky::DrawTwinkle()
{
    return static_cast<float>(std::rand() % 501) / 1000.0f + 0.5f;
}

void CSky::SkipRender()
{
    if (Device() && g_D3DRender.m_nFillMode != D3DFILL_WIREFRAME)
        DrawTwinkle();
}

// Twinkling: a new brightness every frame, none while the moon is down.
bool CSky::RenderStars()
{
    const float e = DrawTwinkle() * -m_vMoonDir.y;
    if (e <= 0.0f || !m_Stars.m_pVertexBuffer || !m_Stars.m_pIndexBuffer)
        return false;
    D3DMATERIAL9 material = ZeroMaterial();
    material.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    material.Emissive = {e, e, e, 1.0f};
    g_D3DRender.SetMaterial(&material);
    const D3DXMATRIX world = AroundEye();
    Device()->SetTransform(D3DTS_WORLD, &world);
    SetSkyStates(1);
    g_D3DRender.SetTexture(m_Stars.m_nTexture, 1);
    g_D3DRender.SetBlendMode(D3DBLEND_ONE, D3DBLEND_ONE);
    Device()->SetFVF(SKY_STAR_FVF);
    Device()->SetStreamSource(0, m_Stars.m_pVertexBuffer, 0, sizeof(CSkyStarVertex));
    Device()->SetIndices(m_Stars.m_pIndexBuffer);
    const UINT count = static_cast<UINT>(m_Stars.m_nCount);
    Device()->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4 * count, 0, 2 * count);
    g_D3DRender.AddDrawnFaces(2 * count);
    return count > 0;
}

// A square of half size `half` at `centre` from the eye, facing the eye.
void CSky::DrawQuad(const D3DXVECTOR3* centre, float half, DWORD colour, TextureId texture, int additive)
{
    D3DXMATRIX facing;
    const D3DXVECTOR3 origin(0.0f, 0.0f, 0.0f), up(0.0f, 1.0f, 0.0f);
    BuildLookAtMatrix(&facing, centre, &origin, &up);
    const D3DXVECTOR3 eye = Eye();
    facing._41 += eye.x;
    facing._42 += eye.y;
    facing._43 += eye.z;
    const float corners[4][2] = {{half, half}, {half, -half}, {-half, half}, {-half, -half}};
    for (int i = 0; i < 4; ++i) {
        const D3DXVECTOR3 corner(corners[i][0], corners[i][1], 0.0f);
        D3DXVECTOR3 w;
        D3DXVec3TransformCoord(&w, &corner, &facing);
        m_Quad[i].x = w.x;
        m_Quad[i].y = w.y;
        m_Quad[i].z = w.z;
        m_Quad[i].colour = colour;
    }
    Device()->SetTransform(D3DTS_WORLD, &g_matIdentity);
    SetSkyStates(0);
    g_D3DRender.SetTexture(texture, 1);
    if (additive)
        g_D3DRender.SetBlendMode(D3DBLEND_ONE, D3DBLEND_ONE);
    Device()->SetFVF(SKY_QUAD_FVF);
    Device()->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, m_Quad, sizeof(CSkyQuadVertex));
    g_D3DRender.AddDrawnFaces(2);
}

bool CSky::RenderMoon()
{
    if (m_vMoonDir.y > -0.2f)
        return false;
    const D3DXVECTOR3 centre = m_vMoonDir * -20.0f;
    const float opacity = m_vMoonDir.y < -0.4f ? 1.0f : 1.0f - (m_vMoonDir.y + 0.4f) / 0.2f;
    const DWORD colour = PackColour(Byte(opacity), m_FogColour[0], m_FogColour[1], m_FogColour[2]);
    DrawQuad(&centre, 2.0f, colour, m_nMoonTexture, 0);
    return true;
}

void CSky::RenderDome(bool onBlack)
{
    if (!m_pDome)
        return;
    const float k = g_bGlow && !g_WaterPassActive && !g_CubePassActive ? 0.6f : 0.8f;
    // The dome's pattern turns with the sun.
    const D3DXVECTOR3 origin(0.0f, 0.0f, 0.0f), up(0.0f, 1.0f, 0.0f);
    const D3DXVECTOR3 sun = -m_vSunDir;
    BuildLookAtMatrix(&m_pDome->m_matWorld, &origin, &sun, &up);
    const D3DXVECTOR3 eye = Eye();
    m_pDome->m_matWorld._41 = eye.x;
    m_pDome->m_matWorld._42 = eye.y;
    m_pDome->m_matWorld._43 = eye.z;

    CSceneLights& lights = g_SceneLights;
    lights.SaveDirLight1();
    lights.SaveDirLight2();
    lights.SetDirLight1Color(m_Colour[0], m_Colour[1], m_Colour[2], m_Colour[3]);
    lights.SetDirLight1Direction(&m_vSunDir);
    lights.EnableDirLight1(1);
    const float moon = m_fMoonlight * 0.25f * k;
    lights.SetDirLight2Color(m_FogColour[0] * moon, m_FogColour[1] * moon, m_FogColour[2] * moon,
                             m_FogColour[3] * moon);
    SetAmbient(FogColour(m_FogColour, std::min(1.0f + m_vMoonDir.y, 1.0f) * k));

    const float d = (1.0f + std::clamp(m_vSunDir.y, -0.5f, 1.0f)) * k;
    m_pDome->m_Material = ZeroMaterial();
    m_pDome->m_Material.Diffuse = {d, d, d, 1.0f};
    m_pDome->m_Material.Ambient = {k, k, k, 1.0f};
    g_D3DRender.SetTexture(m_pDome->m_nTextureIds[0], 1);
    g_D3DRender.SetBlendMode(D3DBLEND_ONE, D3DBLEND_ONE);
    // Adding onto black leaves the dome's own colour: without blending the
    // renderer need not read the target back.
    if (onBlack)
        g_D3DRender.SetAlphaBlendEnable(FALSE);
    SetSkyStates(1);
    g_D3DRender.SaveCullMode();
    g_D3DRender.SetCullMode(D3DCULL_NONE);
    m_pDome->DrawPart(0);
    g_D3DRender.RestoreCullMode();

    lights.RestoreDirLight1();
    lights.RestoreDirLight2();
    // The world drawn after the sky keeps this ambient.
    SetAmbient(FogColour(m_FogColour, 1.0f));
}

void CSky::RenderSun()
{
    if (m_fDaylight < 0.2f)
        return;
    const D3DXVECTOR3 centre = m_vSunDir * -15.0f;
    const float b = m_fDaylight < 0.4f ? (m_fDaylight - 0.2f) * 5.0f : 1.0f;
    const D3DXCOLOR4 sky{m_Colour[0], m_Colour[1], m_Colour[2], m_Colour[3]};
    D3DXCOLOR4 c;
    ColorNormalizeToMax(&c, &sky);
    DrawQuad(&centre, 3.0f, PackColour(0xFF, c.r * b, c.g * b, c.b * b), m_nSunTexture, 1);
}

void CSky::RenderClouds()
{
    if (!m_pClouds || m_pClouds->m_nFrames[0] == 0 || !m_pClouds->m_ppMeshes[0] || !m_pClouds->m_ppMeshes[0][0])
        return;
    // About 0.01 radian per second of game time.
    const double turn = std::fmod(std::floor(g_GameTimer.m_fGameTime) * 0.00001, 2.0 * D3DX_PI);
    D3DXMATRIX world;
    D3DXMatrixRotationY(&world, std::isfinite(turn) ? static_cast<float>(turn) : 0.0f);
    const D3DXVECTOR3 eye = Eye();
    world._41 = eye.x;
    world._42 = eye.y;
    world._43 = eye.z;
    Device()->SetTransform(D3DTS_WORLD, &world);
    SetSkyStates(1);
    D3DXCOLOR4 glow = FogColour(m_FogColour, 2.0f * MoonBrightening(m_vMoonDir));
    ColorScaleToLimit(&glow, &glow, 1.0f);
    D3DMATERIAL9 material = ZeroMaterial();
    material.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    material.Emissive = {glow.r, glow.g, glow.b, glow.a};
    g_D3DRender.SetMaterial(&material);
    g_D3DRender.SetTexture(m_nCloudTexture, 1);
    g_D3DRender.SetBlendMode(D3DBLEND_ONE, D3DBLEND_ONE);
    Device()->SetFVF(SKY_STAR_FVF);
    ID3DXMesh* mesh = m_pClouds->m_ppMeshes[0][0];
    mesh->DrawSubset(0);
    g_D3DRender.AddDrawnFaces(mesh->GetNumFaces());
}

// A dome without its band texture draws the band untextured.
void CSky::RenderHorizonBand()
{
    if (!m_pDome)
        return;
    m_pDome->m_matWorld = AroundEye();
    const float f = 2.0f * MoonBrightening(m_vMoonDir);
    m_pDome->m_Material = ZeroMaterial();
    m_pDome->m_Material.Diffuse.a = 1.0f;
    m_pDome->m_Material.Emissive = {std::min(m_FogColour[0] * f, 1.0f), std::min(m_FogColour[1] * f, 1.0f),
                                    std::min(m_FogColour[2] * f, 1.0f), 0.0f};
    SetSkyStates(1);
    const TextureId band = m_pDome->m_pSelfIllum ? m_pDome->m_pSelfIllum->m_nTextureIds[0] : INVALID_TEXTURE_ID;
    g_D3DRender.SetTexture(band, 1);
    m_pDome->DrawPart(2);
}
