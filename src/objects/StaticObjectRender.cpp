// Drawing a static object: the pass and visibility checks, the states,
// fade and texture its type asks for, and the ground shadow of stones and
// bridges on texture stage 1.
#include "objects/StaticObject.h"

#include "objects/DirectLightsEffect.h"
#include "objects/LightsEffect.h"
#include "objects/MaterialEffects.h"
#include "objects/SpotsEffect.h"
#include "roadusers/Vehicle.h"
#include "roadusers/VehicleManager.h"
#include "shell/Game.h"
#include "shell/RenderPasses.h"
#include "shell/Settings.h"
#include "world/Sky.h"

namespace {

// Buildings taller than this fade out towards the view distance instead of
// popping out of sight.
constexpr float kFadeHeight = 30.0f;
// Beyond this a building or bridge draws its simpler part 1, if it has one.
constexpr float kDetailDistance = 100.0f;
// The cube-map pass draws only what stands this close.
constexpr float kCubeDistance = 60.0f;
// Decors and lamp posts: only this close in the reflection passes, and
// fading between the two distances in the others.
constexpr float kSmallPropReflectionDistance = 20.0f;
constexpr float kSmallPropFadeStart = 64.0f;
constexpr float kSmallPropFadeLength = 16.0f;

bool InReflectionPass()
{
    return g_WaterPassActive || g_CubePassActive;
}

void SwitchStates(int fog)
{
    if (fog)
        g_D3DRender.SetFogEnable(1);
    g_D3DRender.SetZEnable(1);
    g_D3DRender.SetZWriteEnable(1);
    g_D3DRender.SetLighting(1);
}

float BuildingAlpha(const CStaticObject& object)
{
    if (g_CubePassActive || !object.m_pMesh || object.m_pMesh->m_vBoxSize.y <= kFadeHeight)
        return 1.0f;
    const float far = static_cast<float>(g_nViewDistance);
    const float d = object.m_fCameraDistance;
    if (d > far - 75.0f)
        return 0.0f;
    if (d > far - 125.0f)
        return 1.0f - (d - far + 125.0f) / 50.0f;
    return 1.0f;
}

// A negative result: not drawn at all.
float SmallPropAlpha(float d)
{
    if (InReflectionPass() && d > kSmallPropReflectionDistance)
        return -1.0f;
    if (d <= kSmallPropFadeStart)
        return 1.0f;
    const float alpha = 1.0f - (d - kSmallPropFadeStart) / kSmallPropFadeLength;
    return alpha > 0.0f ? alpha : -1.0f;
}

bool MeshHasPart(const CMeshRecord* mesh, std::uint32_t part)
{
    return mesh && mesh->m_nFrames[part] > 0;
}

IDirect3DTexture9* GroundShadowTexture(std::uint32_t type)
{
    return type == GTYPE_BRIDGE ? g_D3DRender.m_pShadowTexture2 : g_D3DRender.m_pShadowTexture;
}

} // namespace

bool CStaticObject::IsFollowedInCar() const
{
    const CWorldCamera* camera = g_Game.m_pCamera;
    return m_nType == GTYPE_VEHICLE && camera && camera->m_nMode == 1 && camera->m_pTarget &&
           static_cast<const CStaticObject*>(camera->m_pTarget) == this;
}

bool CStaticObject::PassesDrawGate()
{
    if (!m_bRender)
        return false;
    if (g_CubePassActive)
        return m_fCameraDistance <= kCubeDistance && IsVisible();
    return m_bVisible != 0;
}

// Sets the states, alpha and texture of the type; false when the object is
// not drawn. May change the part to draw.
bool CStaticObject::PrepareByType(std::uint32_t* part)
{
    float& alpha = m_Material.Diffuse.a;
    TextureId texture = m_nTextureIds[0];
    switch (m_nType) {
    case GTYPE_VEHICLE:
    case GTYPE_WHEEL:
        SwitchStates(0);
        if (alpha == 0.0f)
            return false;
        if (*part == 2)
            texture = g_VehicleManager.m_Textures[0];
        break;
    case GTYPE_STONE:
    case GTYPE_TREE:
        SwitchStates(1);
        if (alpha == 0.0f)
            return false;
        break;
    case GTYPE_BRIDGE:
    case GTYPE_BUILDING:
        SwitchStates(1);
        alpha = BuildingAlpha(*this);
        if (alpha == 0.0f)
            return false;
        if (MeshHasPart(m_pMesh, 1) && (m_fCameraDistance > kDetailDistance || InReflectionPass()))
            *part = 1;
        break;
    case GTYPE_DECORS:
    case GTYPE_LAMPPOST: {
        SwitchStates(1);
        const float fade = SmallPropAlpha(m_fCameraDistance);
        if (fade < 0.0f)
            return false;
        alpha = fade;
        break;
    }
    default:
        return true;
    }
    g_D3DRender.SetTexture(texture, alpha < 1.0f ? 1 : 0, 0);
    return true;
}

void CStaticObject::SetLampEmissive()
{
    if (m_nType != GTYPE_LAMPPOST || !m_pLights)
        return;
    if (m_bTouched) {
        m_Material.Emissive = {0.0f, 0.0f, 0.0f, 1.0f};
        return;
    }
    const float k = g_Sky.m_fLightsFactor * 0.25f;
    const D3DXCOLOR4& c = m_pLights->m_Colour;
    m_Material.Emissive = {c.r * k, c.g * k, c.b * k, c.a * k};
}

// Stage 1 darkens the object by the shadow map projected from camera space.
// Without a shadow texture there is no ground shadow, rather than a stage
// that samples nothing.
bool CStaticObject::BeginGroundShadow()
{
    if (m_nType != GTYPE_STONE && m_nType != GTYPE_BRIDGE)
        return false;
    IDirect3DDevice9* device = g_D3DRender.m_pDevice;
    IDirect3DTexture9* shadow = GroundShadowTexture(m_nType);
    if (!device || !shadow)
        return false;
    g_D3DRender.SetTexturePointer(shadow, m_Material.Diffuse.a < 1.0f ? 1 : 0, 1);
    device->SetSamplerState(1, D3DSAMP_ADDRESSU, D3DTADDRESS_BORDER);
    device->SetSamplerState(1, D3DSAMP_ADDRESSV, D3DTADDRESS_BORDER);
    device->SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, D3DTSS_TCI_CAMERASPACEPOSITION);
    device->SetTextureStageState(1, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT3);
    D3DXMATRIX projection;
    device->SetTransform(D3DTS_TEXTURE1, g_Game.GetShadowMapMatrix(&projection, &m_matWorld));
    g_D3DRender.SetColorStage(1, D3DTOP_MODULATE, D3DTA_TEXTURE | D3DTA_COMPLEMENT, D3DTA_CURRENT, D3DTA_TEMP,
                              D3DTA_CURRENT);
    g_D3DRender.SetAlphaStage(1, D3DTOP_SELECTARG1, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_TEMP);
    return true;
}

void CStaticObject::EndGroundShadow()
{
    IDirect3DDevice9* device = g_D3DRender.m_pDevice;
    device->SetSamplerState(1, D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP);
    device->SetSamplerState(1, D3DSAMP_ADDRESSV, D3DTADDRESS_WRAP);
    device->SetTransform(D3DTS_TEXTURE1, &g_matIdentity);
    device->SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, 0);
    device->SetTextureStageState(1, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    g_D3DRender.SetColorStage(1, D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_TEMP, D3DTA_CURRENT);
    g_D3DRender.SetAlphaStage(1, D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_TEMP);
}

void CStaticObject::Render(std::uint32_t part)
{
    if (!PassesDrawGate() || IsFollowedInCar())
        return;
    g_SceneLights.ApplyLightSet(&m_LightSet);
    if (!PrepareByType(&part))
        return;
    SetLampEmissive();
    const bool shadow = BeginGroundShadow();
    DrawPart(part);
    if (shadow)
        EndGroundShadow();
}

void CStaticObject::RenderLightEffects()
{
    if (IsFollowedInCar())
        return;
    if (m_pSelfIllum)
        m_pSelfIllum->Render();
    if (m_pLightMaps)
        m_pLightMaps->Render();
    if (m_pLights)
        m_pLights->Render();
    if (m_pDirectLights)
        m_pDirectLights->Render();
    if (m_pSpots)
        m_pSpots->Render();
}

void CStaticObject::RenderChromeEffects()
{
    if (IsFollowedInCar())
        return;
    g_SceneLights.ApplyLightSet(&m_LightSet);
    if (m_pChrome)
        m_pChrome->Render();
    if (m_pRGlass)
        m_pRGlass->Render();
}
