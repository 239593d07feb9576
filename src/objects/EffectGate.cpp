#include "objects/EffectGate.h"

#include "objects/EffectColour.h"
#include "objects/StaticObject.h"
#include "roadusers/Vehicle.h"
#include "shell/Game.h"
#include "shell/RenderPasses.h"
#include "shell/Settings.h"

#include <algorithm>

bool IsOwnerFollowedInCar(const CStaticObject* owner)
{
    const CWorldCamera* camera = g_Game.m_pCamera;
    return owner->m_nType == GTYPE_VEHICLE && camera && camera->m_nMode == 1 && camera->m_pTarget &&
           static_cast<const CStaticObject*>(camera->m_pTarget) == owner;
}

bool PassesEffectGateVisibility(CStaticObject* owner)
{
    if (!owner || !owner->m_bRender)
        return false;
    if (g_CubePassActive)
        return owner->m_fCameraDistance <= EFFECT_CUBE_DISTANCE && owner->IsVisible();
    return owner->m_bVisible != 0;
}

bool PassesEffectGate(CStaticObject* owner, float far, float carFar)
{
    if (!PassesEffectGateVisibility(owner) || owner->m_fCameraDistance > far)
        return false;
    if (owner->m_nType == GTYPE_VEHICLE)
        return !IsOwnerFollowedInCar(owner) && owner->m_fCameraDistance <= 0.3f * carFar;
    return true;
}

const CVehicle* OwnerAsCar(const CStaticObject* owner)
{
    if (!owner || owner->m_nClass != GCLASS_VEHICLE || owner->m_nType != GTYPE_VEHICLE)
        return nullptr;
    return static_cast<const CVehicle*>(owner);
}

float ViewDistance()
{
    return static_cast<float>(g_nViewDistance);
}

float ViewDistanceUpTo(float limit)
{
    return std::min(ViewDistance(), limit);
}

std::uint32_t OpaqueLightColour(const D3DXCOLOR4& c)
{
    return 0xFF000000u | EffectChannel(c.r) << 16 | EffectChannel(c.g) << 8 | EffectChannel(c.b);
}

D3DXCOLOR4 ScaledColour(const D3DXCOLOR4& c, float k)
{
    return {c.r * k, c.g * k, c.b * k, c.a * k};
}

D3DXVECTOR3 OwnerWorldPoint(const CStaticObject* owner, const D3DXVECTOR3& point)
{
    D3DXVECTOR3 out;
    D3DXVec3TransformCoord(&out, &point, &owner->m_matWorld);
    return out;
}

std::uint32_t OwnerPointCount(const CStaticObject* owner, std::uint32_t list)
{
    if (!owner || !owner->m_pMesh || list >= MESH_PART_COUNT || !owner->m_pMesh->m_pPoints[list])
        return 0;
    return owner->m_pMesh->m_nPoints[list];
}

const D3DXVECTOR3* OwnerPoints(const CStaticObject* owner, std::uint32_t list)
{
    return OwnerPointCount(owner, list) ? owner->m_pMesh->m_pPoints[list] : nullptr;
}
