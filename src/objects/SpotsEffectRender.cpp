// The light cones between point pairs, and the shadow geometry drawn into
// the shadow map.
#include "objects/SpotsEffect.h"

#include "graphics/D3DRender.h"
#include "objects/EffectGate.h"
#include "objects/StaticObject.h"
#include "roadusers/Vehicle.h"
#include "shell/Game.h"
#include "shell/RenderPasses.h"

#include <new>

namespace {

constexpr float kSpotDistance = 400.0f;
// Only casters this close to the shadow map's centre reach its picture.
constexpr float kShadowReach = 100.0f;
// A car farther than this, or with more than two wheels off the ground,
// casts no shadow into the map.
constexpr float kCarShadowDistance = 45.0f;
constexpr int kCarShadowWheels = 2;
constexpr std::uint32_t kShadowPart = 11;

// Points of the cone: base right, apex, base left; with the cone's place in
// the lower-left quarter of the light atlas (apex at its bottom middle).
const float kConeU[3] = {0.001f, 0.255f, 0.499f};
const float kConeV[3] = {0.501f, 0.999f, 0.501f};

void SetSpotCentres(CLightVertex* v, const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    v[0].vCentre = b;
    v[1].vCentre = a;
    v[2].vCentre = b;
}

} // namespace

void CSpotsEffect::Build()
{
    const std::uint32_t count = OwnerPointCount(m_pOwner, 3) / 2;
    if (count == 0 || m_pVertices || 3 * count > SHADER_BATCH_VERTICES)
        return;
    const D3DXVECTOR3* points = OwnerPoints(m_pOwner, 3);
    m_pVertices = new (std::nothrow) CLightVertex[3 * count];
    m_pIndices = new (std::nothrow) WORD[3 * count];
    if (!m_pVertices || !m_pIndices) {
        Release();
        return;
    }
    const D3DXVECTOR3 pairSpan = points[1] - points[0];
    m_fHalfWidth = Vec3Length(&pairSpan) * 0.3333f;
    const float w = m_fHalfWidth;
    for (std::uint32_t i = 0; i < count; ++i) {
        const D3DXVECTOR3 a = OwnerWorldPoint(m_pOwner, points[2 * i]);
        const D3DXVECTOR3 b = OwnerWorldPoint(m_pOwner, points[2 * i + 1]);
        // A spot shining sideways out of a building's wall turns its cone
        // about the wall's normal instead of the upright.
        D3DXVECTOR3 axis(0.0f, 1.0f, 0.0f);
        const float rise = a.y - b.y;
        if (m_pOwner->m_nType == GTYPE_BUILDING && rise < 1.0f && rise > -1.0f)
            axis = D3DXVECTOR3(0.0f, 0.0f, 1.0f);
        const D3DXVECTOR3 offsets[3] = {{w, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f}, {-w, 0.0f, 0.0f}};
        CLightVertex* v = m_pVertices + 3 * i;
        for (int k = 0; k < 3; ++k) {
            v[k].Set(offsets[k], 0xFF000000u, kConeU[k], kConeV[k], b, axis);
            m_pIndices[3 * i + k] = static_cast<WORD>(3 * i + k);
        }
        SetSpotCentres(v, a, b);
    }
    m_nCount = count;
}

void CSpotsEffect::Render()
{
    CStaticObject* owner = m_pOwner;
    if (!owner || !owner->m_bRender || !g_Game.m_pCamera)
        return;
    if (g_CubePassActive && !(owner->m_fCameraDistance <= EFFECT_CUBE_DISTANCE && owner->IsVisible()))
        return;
    if (!g_CubePassActive && !g_Game.m_pCamera->IsSphereVisible(&owner->m_vPosition, 2.0f * owner->m_fSphereRadius))
        return;
    const float far = ViewDistanceUpTo(kSpotDistance);
    if (owner->m_fCameraDistance > far)
        return;
    if (owner->m_nType == GTYPE_VEHICLE && (IsOwnerFollowedInCar(owner) || owner->m_fCameraDistance > 0.3f * far))
        return;
    if (m_nCount == 0)
        Build();
    const float alpha = owner->m_Material.Diffuse.a;
    if (m_nCount == 0 || alpha == 0.0f)
        return;
    if (owner->m_nType == GTYPE_VEHICLE && OwnerPointCount(owner, 3) >= 2 * m_nCount) {
        const D3DXVECTOR3* points = OwnerPoints(owner, 3);
        for (std::uint32_t i = 0; i < m_nCount; ++i)
            SetSpotCentres(m_pVertices + 3 * i, OwnerWorldPoint(owner, points[2 * i]),
                           OwnerWorldPoint(owner, points[2 * i + 1]));
    }
    const std::uint32_t colour = OpaqueLightColour(ScaledColour(m_Colour, alpha));
    for (std::uint32_t i = 0; i < 3 * m_nCount; ++i)
        m_pVertices[i].nColour = colour;
    g_D3DRender.AddShaderLightBatch(m_pVertices, m_pIndices, 3 * m_nCount, 3 * m_nCount);
}

void CSpotsEffect::Release()
{
    delete[] m_pVertices;
    m_pVertices = nullptr;
    delete[] m_pIndices;
    m_pIndices = nullptr;
    m_nCount = 0;
}

void CShadowEffect::Render()
{
    CStaticObject* owner = m_pOwner;
    IDirect3DDevice9* device = g_D3DRender.m_pDevice;
    if (!device || !owner || !owner->m_bRender || !owner->m_pMesh)
        return;
    const CMeshRecord* mesh = owner->m_pMesh;
    // The owner's frame may be one its other parts have but the shadow has not.
    if (owner->m_nFrame >= mesh->m_nFrames[kShadowPart] || !mesh->m_ppMeshes[kShadowPart])
        return;
    const D3DXVECTOR3 centre(g_Game.m_vShadowCenter[0], g_Game.m_vShadowCenter[1], g_Game.m_vShadowCenter[2]);
    if (Vec3Distance(&centre, &owner->m_vPosition) - owner->m_fSphereRadius > kShadowReach)
        return;
    if (owner->m_nType == GTYPE_VEHICLE) {
        if (owner->m_fCameraDistance > kCarShadowDistance)
            return;
        const CVehicle* car = OwnerAsCar(owner);
        if (car && car->m_nWheelsInContact > kCarShadowWheels)
            return;
    }
    ID3DXMesh* shadow = mesh->m_ppMeshes[kShadowPart][owner->m_nFrame];
    if (!shadow)
        return;
    device->SetTransform(D3DTS_WORLD, &owner->m_matWorld);
    device->SetFVF(shadow->GetFVF());
    shadow->DrawSubset(0);
    g_D3DRender.AddDrawnFaces(shadow->GetNumFaces());
}

void CShadowEffect::Release()
{
    m_pMesh = nullptr;
}
