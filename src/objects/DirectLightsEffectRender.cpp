// Building and drawing a car's lamps, glare and headlight beams.
#include "objects/DirectLightsEffect.h"

#include "graphics/D3DRender.h"
#include "graphics/SceneLights.h"
#include "objects/EffectGate.h"
#include "objects/StaticObject.h"
#include "roadusers/Vehicle.h"
#include "shell/Game.h"
#include "shell/RenderPasses.h"
#include "world/Landscape.h"
#include "world/Sky.h"

#include <algorithm>
#include <cmath>

namespace {

// Lamps and beams are small: past this they are not worth drawing.
constexpr float kLampDistance = 100.0f;
// The brake lamps brighten and grow above this pedal value (0..100).
constexpr float kBrakeThreshold = 50.0f;
// The spot light that follows the player's headlights.
constexpr float kSpotRange = 30.0f;
constexpr float kSpotAttenuation2 = 0.05f;

const float kGlareRect[LIGHT_RECT_FLOATS] = {0.501f, 0.001f, 0.501f, 0.249f, 0.999f, 0.001f, 0.999f, 0.249f};
const float kHeadRect[LIGHT_RECT_FLOATS] = {0.501f, 0.251f, 0.501f, 0.499f, 0.749f, 0.251f, 0.749f, 0.499f};
const float kRearRect[LIGHT_RECT_FLOATS] = {0.749f, 0.251f, 0.749f, 0.499f, 0.999f, 0.251f, 0.999f, 0.499f};
// The soft beam spot in the upper-left quarter.
const float kBeamU[4] = {0.001f, 0.001f, 0.249f, 0.249f};
const float kBeamV[4] = {0.001f, 0.249f, 0.001f, 0.249f};

// 0 by day, 1 at full night.
float NightFactor(float f)
{
    return 2.0f * std::max(0.0f, f - 0.5f);
}

float Clamped01(float v)
{
    return std::clamp(v, 0.0f, 1.0f);
}

bool IsLit(const D3DXVECTOR3& size)
{
    return size.x != 0.0f || size.y != 0.0f || size.z != 0.0f;
}

D3DXVECTOR3 ForwardAxis(const CStaticObject* owner)
{
    return D3DXVECTOR3(owner->m_matWorld._31, owner->m_matWorld._32, owner->m_matWorld._33);
}

} // namespace

void CDirectLightsEffect::BuildSets()
{
    const float a = m_fSizes[0], b = m_fSizes[1], c = m_fSizes[2];
    const D3DXVECTOR3 glare(2.0f * a, a / 2.0f, a / 2.0f), head(a, a, a / 2.0f), rear(b, b, b / 2.0f),
        third(c, c, c / 2.0f);
    m_Glare.Build(1, &glare, kGlareRect);
    m_Head.Build(1, &head, kHeadRect);
    m_Rear.Build(2, &rear, kRearRect);
    m_Third.Build(3, &third, kRearRect);
}

void CDirectLightsEffect::BuildBeams()
{
    if (OwnerPointCount(m_pOwner, 1) == 0)
        return;
    const D3DXVECTOR3 zero(0.0f, 0.0f, 0.0f), axis(0.0f, 1.0f, 0.0f);
    for (int h = 0; h < 2; ++h) {
        float r = 0.2f;
        for (int j = 0; j < BEAM_QUADS; ++j) {
            r += static_cast<float>(std::min(j, 4)) / 25.0f;
            const D3DXVECTOR3 corners[4] = {{r, r, 0.0f}, {r, -r, 0.0f}, {-r, r, 0.0f}, {-r, -r, 0.0f}};
            for (int c = 0; c < 4; ++c)
                m_BeamVertices[h][4 * j + c].Set(corners[c], 0, kBeamU[c], kBeamV[c], zero, axis);
            const WORD order[6] = {0, 1, 2, 2, 1, 3};
            for (int k = 0; k < 6; ++k)
                m_BeamIndices[h][6 * j + k] = static_cast<WORD>(4 * j + order[k]);
        }
    }
}

void CDirectLightsEffect::ApplyBrake(const D3DXCOLOR4& rear)
{
    const CVehicle* car = OwnerAsCar(m_pOwner);
    const float brake = car ? car->m_fBrake : 0.0f;
    if (!(brake > kBrakeThreshold))
        return;
    m_Rear.m_Colour.r = (1.0f - rear.r) / 100.0f * brake + rear.r;
    const float k = (1.0f + brake / 100.0f) * m_fSizes[1];
    const D3DXVECTOR3 grown(k, k, k / 2.0f);
    for (std::uint32_t i = 0; i < m_Rear.m_nCount; ++i) {
        // A lamp broken in a crash stays out.
        if (IsLit(m_Rear.m_pSizes[i]))
            m_Rear.m_pSizes[i] = grown;
    }
}

void CDirectLightsEffect::RenderGlare(float f)
{
    if (!(f > 0.5f))
        return;
    D3DXVECTOR3 local, toEye;
    m_pOwner->WorldToLocal(&local, &g_Game.m_pCamera->m_vEye);
    Vec3Normalize(&toEye, &local);
    // Only a camera in front of the car sees the head lamps glare.
    if (!(toEye.z > 0.0f))
        return;
    const float facing = std::max(0.0f, 1.0f - 1.1f * std::fabs(toEye.x));
    m_Glare.m_Colour = ScaledColour(m_Colours[0], facing * NightFactor(f));
    m_Glare.Render();
}

void CDirectLightsEffect::Render()
{
    CStaticObject* owner = m_pOwner;
    if (!g_Game.m_pCamera || !PassesEffectGateVisibility(owner))
        return;
    if (owner->m_fCameraDistance > ViewDistanceUpTo(kLampDistance))
        return;
    if (g_WaterPassActive || g_CubePassActive || g_ShadowPassActive || !(owner->m_Material.Diffuse.a > 0.0f))
        return;
    const float f = g_Sky.m_fLightsFactor;
    m_Head.m_Colour = ScaledColour(m_Colours[0], NightFactor(f));
    const float tail = std::min(1.0f, f + 0.5f);
    m_Rear.m_Colour = ScaledColour(m_Colours[1], tail);
    m_Third.m_Colour = ScaledColour(m_Colours[2], tail);
    ApplyBrake(m_Colours[1]);
    if (f > 0.5f)
        m_Head.Render();
    m_Rear.Render();
    m_Third.Render();
    RenderGlare(f);
}

bool CDirectLightsEffect::DrawBeam(int h, float f)
{
    const std::uint32_t headlights = OwnerPointCount(m_pOwner, 1);
    if (static_cast<std::uint32_t>(h) >= headlights || static_cast<std::uint32_t>(h) >= m_Glare.m_nCount ||
        !IsLit(m_Glare.m_pSizes[h]))
        return false;
    const float cell = g_Landscape.m_fCellSize;
    D3DXVECTOR3 down(0.0f, -0.1f, 1.0f);
    Vec3Normalize(&down, &down);
    const D3DXVECTOR3& lamp = OwnerPoints(m_pOwner, 1)[h];
    const D3DXVECTOR3 p = OwnerWorldPoint(m_pOwner, lamp);
    const D3DXVECTOR3 end = OwnerWorldPoint(m_pOwner, lamp + 2.0f * cell * down);
    const D3DXVECTOR3 beam = end - p;
    const D3DXVECTOR3 start = p + beam / 40.0f;
    D3DXVECTOR3 step = beam / 200.0f;
    const D3DXCOLOR4 c = ScaledColour(m_Colours[0], m_pOwner->m_Material.Diffuse.a * 0.5f * NightFactor(f));
    CLightVertex* quad = m_BeamVertices[h];
    for (int j = 0; j < BEAM_QUADS; ++j, quad += 4) {
        // Later quads spread further apart and fade towards the far end.
        const D3DXVECTOR3 centre = start + static_cast<float>(j) * step;
        const float fade = 1.0f - static_cast<float>(j) / 10.0f;
        const D3DXCOLOR4 faded = {Clamped01(c.r * fade), Clamped01(c.g * fade), Clamped01(c.b * fade), 1.0f};
        const std::uint32_t colour = OpaqueLightColour(faded);
        for (int k = 0; k < 4; ++k) {
            quad[k].vCentre = centre;
            quad[k].nColour = colour;
        }
        step += (end - start) / 200.0f;
    }
    g_D3DRender.AddShaderLightBatch(m_BeamVertices[h], m_BeamIndices[h], BEAM_VERTICES, BEAM_INDICES);
    return true;
}

void CDirectLightsEffect::AimSpot(float f)
{
    CStaticObject* owner = m_pOwner;
    int& slot = owner->m_nLightIndex;
    if (slot == -1) {
        slot = g_SceneLights.m_nSpotSlot;
        if (slot >= 0 && slot < SCENE_LIGHT_SLOTS) {
            D3DLIGHT9& light = g_SceneLights.m_Slots[slot].m_Light;
            light.Range = kSpotRange;
            light.Attenuation2 = kSpotAttenuation2;
            g_SceneLights.DisableHeadlightSpot();
        }
    }
    if (slot < 0 || slot >= SCENE_LIGHT_SLOTS)
        return;
    // Between the two head lamps; a car with one head lamp aims from it.
    const D3DXVECTOR3* points = OwnerPoints(owner, 1);
    D3DXVECTOR3 lamp = points[0];
    if (OwnerPointCount(owner, 1) > 1)
        lamp = (points[0] + points[1]) * 0.5f;
    const D3DXVECTOR3 position = OwnerWorldPoint(owner, lamp);
    const D3DXVECTOR3 direction = ForwardAxis(owner);
    const D3DXCOLOR4 c = ScaledColour(m_Colours[0], NightFactor(f));
    const float colour[4] = {c.r, c.g, c.b, c.a};
    CSceneLight& spot = g_SceneLights.m_Slots[slot];
    spot.SetPosition(&position);
    spot.SetDirection(&direction);
    spot.SetColor(colour);
}

void CDirectLightsEffect::RenderVehicleLights()
{
    CStaticObject* owner = m_pOwner;
    const CWorldCamera* camera = g_Game.m_pCamera;
    if (!owner || !camera || !owner->m_bRender || owner->m_fCameraDistance > ViewDistanceUpTo(kLampDistance))
        return;
    const float f = g_Sky.m_fLightsFactor;
    if (g_WaterPassActive || g_CubePassActive || !(f > 0.5f) || !(owner->m_Material.Diffuse.a > 0.0f))
        return;
    const float cell = g_Landscape.m_fCellSize;
    const D3DXVECTOR3 ahead = owner->m_vPosition + 2.0f * cell * ForwardAxis(owner);
    if (!camera->IsSphereVisible(&ahead, 2.0f * cell))
        return;
    bool drawn = false;
    for (int h = 0; h < 2; ++h)
        drawn = DrawBeam(h, f) || drawn;
    if (owner != static_cast<const CStaticObject*>(g_pPlayerVehicle))
        return;
    if (drawn) {
        AimSpot(f);
    } else if (owner->m_nLightIndex != -1) {
        g_SceneLights.DisableHeadlightSpot();
        owner->m_nLightIndex = -1;
    }
}
