// The device light records and the slots the scene gives out: the sun and
// the moon on 0 and 1, the headlight spot on 7, street lamps between.
#include "graphics/SceneLights.h"

#include "graphics/D3DRender.h"
#include "roadusers/Vehicle.h"
#include "world/Sky.h"

#include <cstring>

namespace {

// Every device call goes through here: without a device (before start-up,
// in the tools) the records still keep their values.
IDirect3DDevice9* Device()
{
    return g_D3DRender.m_pDevice;
}

} // namespace

void CSceneLight::Create(int slot, int kind, const D3DXVECTOR3* position, float range)
{
    m_nSlot = slot;
    m_nKind = kind;
    std::memset(&m_Light, 0, sizeof m_Light);
    const D3DXVECTOR3 origin(0.0f, 0.0f, 0.0f);
    const D3DXVECTOR3& at = position ? *position : origin;
    const D3DCOLORVALUE white{1.0f, 1.0f, 1.0f, 1.0f};
    switch (kind) {
    case LIGHT_POINT:
        m_Light.Type = D3DLIGHT_POINT;
        m_Light.Diffuse = m_Light.Specular = white;
        m_Light.Position = at;
        m_Light.Range = range;
        break;
    case LIGHT_DIRECTIONAL:
        m_Light.Type = D3DLIGHT_DIRECTIONAL;
        m_Light.Diffuse = m_Light.Specular = D3DCOLORVALUE{0.0f, 0.0f, 0.0f, 1.0f};
        m_Light.Direction = D3DVECTOR{0.0f, -1.0f, 0.0f};
        break;
    default:
        m_Light.Type = D3DLIGHT_SPOT;
        m_Light.Diffuse = m_Light.Specular = white;
        m_Light.Position = at;
        m_Light.Range = range;
        m_Light.Falloff = 1.0f;
        m_Light.Attenuation2 = 0.05f;
        m_Light.Theta = 0.6283185f;
        m_Light.Phi = 1.5707964f;
        break;
    }
    Apply();
    Enable();
}

void CSceneLight::Enable()
{
    if (m_nSlot >= 0 && Device())
        Device()->LightEnable(DWORD(m_nSlot), TRUE);
    m_bEnabled = 1;
}

void CSceneLight::Disable()
{
    if (m_nSlot >= 0 && Device())
        Device()->LightEnable(DWORD(m_nSlot), FALSE);
    m_bEnabled = 0;
}

void CSceneLight::SetPosition(const D3DXVECTOR3* position)
{
    m_Light.Position = *position;
    Apply();
}

void CSceneLight::SetDirection(const D3DXVECTOR3* direction)
{
    m_Light.Direction = *direction;
    Apply();
}

void CSceneLight::SetColor(const float rgba[4])
{
    m_Light.Diffuse = m_Light.Specular = D3DCOLORVALUE{rgba[0], rgba[1], rgba[2], rgba[3]};
    Apply();
}

void CSceneLight::Apply()
{
    if (m_nSlot >= 0 && Device())
        Device()->SetLight(DWORD(m_nSlot), &m_Light);
}

CSceneLight* CSceneLights::Used(int slot)
{
    if (slot < 0 || slot >= SCENE_LIGHT_SLOTS || m_Slots[slot].m_nSlot == -1)
        return nullptr;
    return &m_Slots[slot];
}

const CSceneLight* CSceneLights::Used(int slot) const
{
    return const_cast<CSceneLights*>(this)->Used(slot);
}

int CSceneLights::Init()
{
    for (CSceneLight& light : m_Slots)
        light = CSceneLight{};
    const D3DXVECTOR3 origin(0.0f, 0.0f, 0.0f);
    m_nDirLight1Slot = CreateLight(LIGHT_DIRECTIONAL, &origin, 100.0f);
    m_nDirLight2Slot = CreateLight(LIGHT_DIRECTIONAL, &origin, 100.0f);
    m_nSpotSlot = CreateLight(LIGHT_SPOT, &origin, 100.0f);
    DisableHeadlightSpot();
    m_nPointLights = 0;
    for (int& slot : m_PointLightSlots)
        slot = -1;
    m_nUpdateStamp = 0;
    return 1;
}

void CSceneLights::Release()
{
    for (CSceneLight& light : m_Slots) {
        if (light.m_nSlot != -1)
            light.Disable();
        light = CSceneLight{};
    }
    m_nPointLights = 0;
    for (int& slot : m_PointLightSlots)
        slot = -1;
}

int CSceneLights::FindFreeLight() const
{
    for (int i = 0; i < SCENE_LIGHT_SLOTS; ++i)
        if (m_Slots[i].m_nSlot == -1)
            return i;
    return -1;
}

// The spot always takes the last index, whatever else is free.
int CSceneLights::CreateLight(int kind, const D3DXVECTOR3* position, float range)
{
    const int slot = kind == LIGHT_SPOT ? SCENE_LIGHT_SLOTS - 1 : FindFreeLight();
    if (slot != -1)
        m_Slots[slot].Create(slot, kind, position, range);
    return slot;
}

void CSceneLights::FreeLight(int slot)
{
    CSceneLight* light = Used(slot);
    if (!light)
        return;
    light->Disable();
    *light = CSceneLight{};
}

void CSceneLights::OnLostDevice()
{
    for (CSceneLight& light : m_Slots)
        if (light.m_nSlot != -1)
            light.Disable();
}

void CSceneLights::OnResetDevice()
{
    for (CSceneLight& light : m_Slots)
        if (light.m_nSlot != -1)
            light.Enable();
}

// Only decors and lampposts near the player at night take the headlight,
// and only while the car holds the spot's slot: a car that handed it back
// (no beam drawn, its head lamps broken) must not light the world with a
// spot frozen where it last pointed.
void CSceneLights::EnableHeadlightSpot()
{
    CSceneLight* spot = Used(m_nSpotSlot);
    if (spot && g_pPlayerVehicle && g_pPlayerVehicle->m_nLightIndex != -1 && g_Sky.m_fLightsFactor > 0.5f)
        spot->Enable();
}

void CSceneLights::DisableHeadlightSpot()
{
    if (CSceneLight* spot = Used(m_nSpotSlot))
        spot->Disable();
}
