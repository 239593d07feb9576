// The sun, the moon, the ambient and the fog colour, following the sky at
// most every 0.05 s of game time.
#include "graphics/SceneLights.h"

#include "graphics/D3DRender.h"
#include "shell/GameTimer.h"
#include "shell/VectorHelpers.h"
#include "world/Sky.h"

#include <initializer_list>

namespace {

constexpr float kUpdateInterval = 0.05f;

IDirect3DDevice9* Device()
{
    return g_D3DRender.m_pDevice;
}

void SetEffectVector(const char* name, float x, float y, float z, float w)
{
    if (!g_D3DRender.m_pEffect)
        return;
    const D3DXVECTOR4 v(x, y, z, w);
    g_D3DRender.m_pEffect->SetVector(name, &v);
}

// Alpha 255 and each channel the low byte of trunc(channel x 255), as the
// device's colour states expect.
D3DCOLOR PackColour(float r, float g, float b)
{
    const auto byte = [](float c) { return DWORD(std::int32_t(c * 255.0f)) & 0xFFu; };
    return D3DCOLOR_ARGB(0xFF, byte(r), byte(g), byte(b));
}

// A light from straight overhead or from below the horizon is sent as a low
// light from above, so the lit faces never go black at dawn and dusk.
D3DXVECTOR3 KeepAboveHorizon(D3DXVECTOR3 d)
{
    if (d.y > -0.1f)
        d.y = -0.1f;
    return d;
}

} // namespace

void CSceneLights::Update()
{
    // A clock set back (a new game, a loaded profile) gives a negative
    // time since the last update; waiting for it would freeze the lights.
    const float since = g_GameTimer.GetGameTimeSince(std::uint32_t(m_nUpdateStamp));
    if (since >= 0.0f && since <= kUpdateInterval)
        return;
    m_nUpdateStamp = int(g_GameTimer.m_fGameTime);
    UpdateDirLights();
    if (Device()) {
        Device()->SetRenderState(D3DRS_AMBIENT,
                                 PackColour(g_Sky.m_FogColour[0], g_Sky.m_FogColour[1], g_Sky.m_FogColour[2]));
    }
    SetEffectVector("GlobalAmbient", g_Sky.m_FogColour[0], g_Sky.m_FogColour[1], g_Sky.m_FogColour[2],
                    g_Sky.m_FogColour[3]);
    ApplyFogColor();
    UpdatePointLightFades();
    SendDirLightCount();
}

void CSceneLights::UpdateDirLights()
{
    const float daylight = g_Sky.m_fDaylight;
    SetDirLight1Color(g_Sky.m_Colour[0] * daylight, g_Sky.m_Colour[1] * daylight, g_Sky.m_Colour[2] * daylight,
                      g_Sky.m_Colour[3] * daylight);
    const D3DXVECTOR3 sun = KeepAboveHorizon(g_Sky.m_vSunDir);
    SetDirLight1Direction(&sun);
    EnableDirLight1(daylight > 0.0f);

    const float moonlight = g_Sky.m_fMoonlight;
    const D3DXCOLOR4 moon{g_Sky.m_FogColour[0] * moonlight, g_Sky.m_FogColour[1] * moonlight,
                          g_Sky.m_FogColour[2] * moonlight, g_Sky.m_FogColour[3] * moonlight};
    D3DXCOLOR4 limited;
    ColorScaleToLimit(&limited, &moon, 1.0f);
    SetDirLight2Color(limited.r, limited.g, limited.b, limited.a);
    const D3DXVECTOR3 moonDir = KeepAboveHorizon(g_Sky.m_vMoonDir);
    SetDirLight2Direction(&moonDir);
    EnableDirLight2(moonlight > 0.0f);
}

// The shaders learn how many directional lights are on.
void CSceneLights::SendDirLightCount()
{
    int count = 0;
    for (int slot : {m_nDirLight1Slot, m_nDirLight2Slot})
        if (const CSceneLight* light = Used(slot))
            count += light->m_bEnabled ? 1 : 0;
    const int data[8] = {count, 0, 0, 0, 0, 0, 0, 0};
    if (Device())
        Device()->SetVertexShaderConstantI(0, data, 2);
}

// The fog brightens with the moon low: 2 x the fog colour, dimmed by up to
// half as the moon climbs.
void CSceneLights::ApplyFogColor()
{
    float f = 1.0f + 0.5f * g_Sky.m_vMoonDir.y;
    if (f > 1.0f)
        f = 1.0f;
    float c[3];
    for (int i = 0; i < 3; ++i) {
        c[i] = 2.0f * g_Sky.m_FogColour[i] * f;
        if (c[i] > 1.0f)
            c[i] = 1.0f;
    }
    SetFogColor(c[0], c[1], c[2], 2.0f * g_Sky.m_FogColour[3] * f);
}

void CSceneLights::SetFogColor(float r, float g, float b, float a)
{
    if (Device())
        Device()->SetRenderState(D3DRS_FOGCOLOR, PackColour(r, g, b));
    SetEffectVector("FogColor", r, g, b, a);
}

void CSceneLights::SetDirLightColor(int slot, const char* diffuse, const char* specular, const float rgba[4])
{
    if (CSceneLight* light = Used(slot))
        light->SetColor(rgba);
    SetEffectVector(diffuse, rgba[0], rgba[1], rgba[2], rgba[3]);
    SetEffectVector(specular, rgba[0], rgba[1], rgba[2], rgba[3]);
}

void CSceneLights::SetDirLight1Color(float r, float g, float b, float a)
{
    const float rgba[4] = {r, g, b, a};
    for (int i = 0; i < 4; ++i)
        m_DirLight1Colour[i] = rgba[i];
    SetDirLightColor(m_nDirLight1Slot, "DirLight1_Diff", "DirLight1_Spec", rgba);
}

void CSceneLights::SetDirLight2Color(float r, float g, float b, float a)
{
    const float rgba[4] = {r, g, b, a};
    for (int i = 0; i < 4; ++i)
        m_DirLight2Colour[i] = rgba[i];
    SetDirLightColor(m_nDirLight2Slot, "DirLight2_Diff", "DirLight2_Spec", rgba);
}

// The shaders also get a far position against the light's direction.
void CSceneLights::SetDirLightDirection(int slot, const char* dir, const char* pos, const D3DXVECTOR3* d)
{
    if (CSceneLight* light = Used(slot))
        light->SetDirection(d);
    SetEffectVector(dir, d->x, d->y, d->z, 1.0f);
    SetEffectVector(pos, d->x * -100000.0f, d->y * -100000.0f, d->z * -100000.0f, 1.0f);
}

void CSceneLights::SetDirLight1Direction(const D3DXVECTOR3* direction)
{
    SetDirLightDirection(m_nDirLight1Slot, "DirLight1_Dir", "DirLight1_Pos", direction);
}

void CSceneLights::SetDirLight2Direction(const D3DXVECTOR3* direction)
{
    SetDirLightDirection(m_nDirLight2Slot, "DirLight2_Dir", "DirLight2_Pos", direction);
}

void CSceneLights::EnableDirLight1(int on)
{
    if (CSceneLight* light = Used(m_nDirLight1Slot))
        on ? light->Enable() : light->Disable();
}

void CSceneLights::EnableDirLight2(int on)
{
    if (CSceneLight* light = Used(m_nDirLight2Slot))
        on ? light->Enable() : light->Disable();
}

void CSceneLights::SaveDirLight1()
{
    if (const CSceneLight* light = Used(m_nDirLight1Slot)) {
        const D3DCOLORVALUE& c = light->m_Light.Diffuse;
        m_SavedColour1[0] = c.r, m_SavedColour1[1] = c.g, m_SavedColour1[2] = c.b, m_SavedColour1[3] = c.a;
        m_vSavedDir1 = D3DXVECTOR3(light->m_Light.Direction);
        m_bSavedOn1 = light->m_bEnabled;
    }
}

void CSceneLights::SaveDirLight2()
{
    if (const CSceneLight* light = Used(m_nDirLight2Slot)) {
        const D3DCOLORVALUE& c = light->m_Light.Diffuse;
        m_SavedColour2[0] = c.r, m_SavedColour2[1] = c.g, m_SavedColour2[2] = c.b, m_SavedColour2[3] = c.a;
        m_vSavedDir2 = D3DXVECTOR3(light->m_Light.Direction);
        m_bSavedOn2 = light->m_bEnabled;
    }
}

void CSceneLights::RestoreDirLight1()
{
    SetDirLight1Color(m_SavedColour1[0], m_SavedColour1[1], m_SavedColour1[2], m_SavedColour1[3]);
    SetDirLight1Direction(&m_vSavedDir1);
    EnableDirLight1(m_bSavedOn1);
}

void CSceneLights::RestoreDirLight2()
{
    SetDirLight2Color(m_SavedColour2[0], m_SavedColour2[1], m_SavedColour2[2], m_SavedColour2[3]);
    SetDirLight2Direction(&m_vSavedDir2);
    EnableDirLight2(m_bSavedOn2);
}
