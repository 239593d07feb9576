// A following camera never looks through a wall: when a building or bridge
// lies between the car and the eye, the eye is pulled in to stand just in
// front of it.
#include "graphics/WorldCamera.h"

#include "roadusers/Vehicle.h"
#include "shell/VectorHelpers.h"
#include "world/Prop.h"
#include "world/PropManager.h"

namespace {

constexpr float kSearchDistance = 10.0f;
constexpr float kRayOvershoot = 2.0f;
constexpr float kWallGap = 0.75f;

D3DXVECTOR3 Unit(const D3DXVECTOR3& v)
{
    D3DXVECTOR3 out;
    D3DXVec3Normalize(&out, &v);
    return out;
}

} // namespace

void CWorldCamera::KeepOutOfBuildings()
{
    if (!m_pTarget || m_nMode == 0 || m_nMode == 1)
        return;
    CProp* prop = g_PropManager.FindNearestProp(-1, GTYPE_BRIDGE | GTYPE_BUILDING, &m_vEye, kSearchDistance);
    if (!prop)
        return;
    const D3DXVECTOR3 from = m_pTarget->m_vPosition;
    const D3DXVECTOR3 to = m_vEye + Unit(m_vEye - from) * kRayOvershoot;
    D3DXVECTOR3 hit;
    if (!prop->RayTestBody(&from, &to, &hit, 0))
        return;
    if (Vec3Distance(&m_vEye, &from) > Vec3Distance(&hit, &from) - kWallGap)
        m_vEye = hit + Unit(from - hit) * kWallGap;
}
