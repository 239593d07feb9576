// The fading street lamps and the sets of them that reach each lit object.
#include "graphics/SceneLights.h"

#include "graphics/D3DRender.h"
#include "shell/GameTimer.h"
#include "shell/VectorHelpers.h"

#include <cstring>

namespace {

constexpr float kFadeTime = 0.1f;

IDirect3DDevice9* Device()
{
    return g_D3DRender.m_pDevice;
}

} // namespace

int CSceneLights::AddPointLight(const D3DXVECTOR3* position, const float colour[4], float range, int switchedOn)
{
    if (m_nPointLights >= MAX_POINT_LIGHTS || !position || !colour)
        return -1;
    int n = 0;
    while (n < MAX_POINT_LIGHTS && m_PointLightSlots[n] != -1)
        ++n;
    if (n == MAX_POINT_LIGHTS)
        return -1;
    const int slot = CreateLight(LIGHT_POINT, position, range);
    if (slot == -1)
        return -1;
    m_PointLightSlots[n] = slot;
    m_fPointLightAge[n] = 0.0f;
    std::memcpy(m_PointLightColour[n], colour, sizeof m_PointLightColour[n]);
    m_bPointLightOn[n] = switchedOn;
    const float black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    m_Slots[slot].SetColor(black);
    ++m_nPointLights;
    return n;
}

void CSceneLights::SwitchOffPointLight(int n)
{
    if (n < 0 || n >= MAX_POINT_LIGHTS || m_PointLightSlots[n] == -1)
        return;
    m_fPointLightAge[n] = 0.0f;
    m_bPointLightOn[n] = 0;
}

// The age grows by one frame per run, and runs are 0.05 s apart, so a fade
// lasts longer than its 0.1 s whenever frames are shorter than that.
void CSceneLights::UpdatePointLightFades()
{
    for (int n = 0; n < MAX_POINT_LIGHTS; ++n) {
        const int slot = m_PointLightSlots[n];
        if (slot == -1)
            continue;
        const float age = m_fPointLightAge[n];
        float factor;
        if (m_bPointLightOn[n]) {
            factor = age < kFadeTime ? age / kFadeTime : 1.0f;
        } else if (age >= kFadeTime) {
            FreeLight(slot);
            m_PointLightSlots[n] = -1;
            --m_nPointLights;
            continue;
        } else {
            factor = 1.0f - age / kFadeTime;
        }
        float c[4];
        for (int i = 0; i < 4; ++i)
            c[i] = m_PointLightColour[n][i] * factor;
        m_Slots[slot].SetColor(c);
        m_fPointLightAge[n] += g_GameTimer.m_fDelta;
    }
}

// Every lamp whose range sphere reaches the object's sphere, in lamp order;
// touching exactly is not reaching.
void CSceneLights::GatherNearLights(const D3DXVECTOR3* position, float radius, CLightSet* set) const
{
    if (!set)
        return;
    std::memset(set, 0, sizeof *set);
    set->m_nDirLights = 2;
    if (!position)
        return;
    for (int n = 0; n < MAX_POINT_LIGHTS && set->m_nCount < MAX_POINT_LIGHTS; ++n) {
        const CSceneLight* light = Used(m_PointLightSlots[n]);
        if (!light)
            continue;
        const D3DLIGHT9& l = light->m_Light;
        const D3DXVECTOR3 at(l.Position);
        if (Vec3Distance(position, &at) - radius >= l.Range)
            continue;
        CLightSetEntry& e = set->m_Lights[set->m_nCount++];
        e.nSlot = light->m_nSlot;
        e.Position[0] = at.x, e.Position[1] = at.y, e.Position[2] = at.z, e.Position[3] = l.Range;
        e.Diffuse[0] = l.Diffuse.r, e.Diffuse[1] = l.Diffuse.g, e.Diffuse[2] = l.Diffuse.b;
        e.Diffuse[3] = l.Attenuation1;
        e.Specular[0] = l.Specular.r, e.Specular[1] = l.Specular.g, e.Specular[2] = l.Specular.b;
        e.Specular[3] = l.Specular.a;
    }
}

void CSceneLights::DisablePointLights()
{
    for (int slot : m_PointLightSlots)
        if (CSceneLight* light = Used(slot))
            light->Disable();
}

// The shaders read the lights of the set from the integer constants and
// the last entry's vectors; without a set no lamp lights the object.
void CSceneLights::ApplyLightSet(CLightSet* set)
{
    DisablePointLights();
    if (!set)
        return;
    const std::uint32_t limit = MAX_POINT_LIGHTS;
    const std::uint32_t count = set->m_nCount > limit ? limit : set->m_nCount;
    for (std::uint32_t i = 0; i < count; ++i)
        if (CSceneLight* light = Used(set->m_Lights[i].nSlot))
            light->Enable();
    set->m_nDirLights = 2;
    const int data[8] = {2, 0, 0, 0, int(count), 0, 0, 0};
    if (Device())
        Device()->SetVertexShaderConstantI(0, data, 2);
    ID3DXEffect* effect = g_D3DRender.m_pEffect;
    if (!effect)
        return;
    for (std::uint32_t i = 0; i < count; ++i) {
        const CLightSetEntry& e = set->m_Lights[i];
        const D3DXVECTOR4 pos(e.Position[0], e.Position[1], e.Position[2], e.Position[3]);
        const D3DXVECTOR4 diff(e.Diffuse[0], e.Diffuse[1], e.Diffuse[2], e.Diffuse[3]);
        const D3DXVECTOR4 spec(e.Specular[0], e.Specular[1], e.Specular[2], e.Specular[3]);
        effect->SetVector("PntLight_Pos", &pos);
        effect->SetVector("PntLight_Diff", &diff);
        effect->SetVector("PntLight_Spec", &spec);
    }
}

float* CSceneLights::GetPointLightColor(float out[4], const D3DXVECTOR3* position) const
{
    out[0] = out[1] = out[2] = 0.0f;
    out[3] = 1.0f;
    if (!position)
        return out;
    for (int slot : m_PointLightSlots) {
        const CSceneLight* light = Used(slot);
        if (!light)
            continue;
        const D3DLIGHT9& l = light->m_Light;
        const D3DXVECTOR3 at(l.Position);
        const float d = Vec3Distance(position, &at);
        if (!(d < l.Range))
            continue;
        const float q = l.Attenuation2 * d * d + l.Attenuation1 * d;
        const float a = (q == 0.0f || 1.0f / q > 1.0f) ? 1.0f : 1.0f / q;
        const float w = (1.0f - d / l.Range) * a;
        out[0] += w * l.Diffuse.r;
        out[1] += w * l.Diffuse.g;
        out[2] += w * l.Diffuse.b;
        out[3] += w * l.Diffuse.a;
    }
    return out;
}
