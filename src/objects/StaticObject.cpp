#include "objects/StaticObject.h"

#include "objects/DirectLightsEffect.h"
#include "objects/LightsEffect.h"
#include "objects/MaterialEffects.h"
#include "objects/SpotsEffect.h"
#include "shell/Game.h"
#include "shell/Settings.h"
#include "shell/VectorHelpers.h"

#include <cstring>

std::uint32_t g_nStaticObjectCounter = 0;

namespace {

template <class Effect>
void FreeEffect(Effect** slot)
{
    if (*slot) {
        (*slot)->Release();
        delete *slot;
        *slot = nullptr;
    }
}

} // namespace

CStaticObject::CStaticObject()
{
    std::memset(m_szPath, 0, sizeof(m_szPath));
    m_nClass = 0;
    m_nType = 0;
    m_nNumber = g_nStaticObjectCounter++;
    D3DXMatrixIdentity(&m_matPlacement);
    D3DXMatrixIdentity(&m_matPrevWorld);
    m_vPosition = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    m_fCameraDistance = 0.0f;
    m_bAlive = 1;
    m_bVisible = 0;
    m_bActive = 1;
    m_bRayTest = 1;
    m_bTouched = 0;
    m_bRender = 1;
    m_bInWorld = 0;
    m_LightSet = CLightSet();
    m_nLightIndex = -1;
    m_Box = MeshBox{D3DXVECTOR3(0.0f, 0.0f, 0.0f), D3DXVECTOR3(0.0f, 0.0f, 0.0f)};
    m_pBoxCorners = nullptr;
    m_pChrome = nullptr;
    m_pRGlass = nullptr;
    m_pLightMaps = nullptr;
    m_pSelfIllum = nullptr;
    m_pLights = nullptr;
    m_pDirectLights = nullptr;
    m_pSpots = nullptr;
    m_pShadow = nullptr;
    m_pRigidBody = nullptr;
    m_fMass = 0.0f;
    m_vCentreOffset = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    m_vLinearVelocity = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    m_vAngularVelocity = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    m_nSoundWord = 0;
    std::memset(m_szDisplayName, 0, sizeof(m_szDisplayName));
}

void CStaticObject::Release()
{
    delete[] m_pBoxCorners;
    m_pBoxCorners = nullptr;
    DestroyRigidBody();
    ReleaseMesh();
    ReleaseTextures();
    ReleaseEffects();
}

void CStaticObject::ReleaseEffects()
{
    FreeEffect(&m_pChrome);
    FreeEffect(&m_pRGlass);
    FreeEffect(&m_pLightMaps);
    FreeEffect(&m_pSelfIllum);
    FreeEffect(&m_pLights);
    FreeEffect(&m_pDirectLights);
    FreeEffect(&m_pSpots);
    FreeEffect(&m_pShadow);
}

int CStaticObject::IsVisible()
{
    if (static_cast<float>(g_nViewDistance) < m_fCameraDistance)
        return 0;
    const CWorldCamera* camera = g_Game.m_pCamera;
    if (!camera)
        return 0;
    if (m_nType == GTYPE_BRIDGE || m_nType == GTYPE_BUILDING) {
        // Corners the owner never computed cannot be tested: such an object
        // falls back to its sphere rather than reading a null array.
        if (m_pBoxCorners)
            return camera->IsBoxInFrustum(m_pBoxCorners) ? 1 : 0;
    }
    return camera->IsSphereVisible(&m_vPosition, m_fSphereRadius) ? 1 : 0;
}

int CStaticObject::UpdateVisibility()
{
    m_bVisible = IsVisible();
    return m_bVisible;
}

float CStaticObject::UpdateCameraDistance()
{
    if (const CWorldCamera* camera = g_Game.m_pCamera)
        m_fCameraDistance = Vec3Distance(&camera->m_vEye, &m_vPosition) - m_fSphereRadius;
    return m_fCameraDistance;
}
