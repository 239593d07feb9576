// A large building as the current occluder, and the test of any object
// against it.
#include "objects/StaticObject.h"

#include "objects/Occluder.h"
#include "shell/Game.h"
#include "shell/VectorHelpers.h"

int CStaticObject::BuildOcclusionPlanes()
{
    ClearOccluder();
    enum { OCCLUDER_PART = 10 };
    const CMeshRecord* mesh = m_pMesh;
    if (!mesh || !mesh->m_ppMeshes[OCCLUDER_PART] || m_nFrame >= mesh->m_nFrames[OCCLUDER_PART] || !g_Game.m_pCamera)
        return 0;
    return BuildOccluderPlanes(mesh->m_ppMeshes[OCCLUDER_PART][m_nFrame], &m_matWorld, &m_vPosition,
                               &g_Game.m_pCamera->m_vEye);
}

int CStaticObject::IsOccluded() const
{
    // Without planes (no occluder, or one that failed) nothing is hidden.
    if (g_nOccluderPlanes == 0 || !g_Game.m_pCamera)
        return 0;
    const D3DXVECTOR3* eye = &g_Game.m_pCamera->m_vEye;
    if (Vec3Distance(&m_vPosition, eye) < Vec3Distance(&g_vOccluderPos, eye))
        return 0;
    if (m_pBoxCorners)
        return IsBoxOccluded(m_pBoxCorners);
    return IsSphereOccluded(&m_vPosition, m_fSphereRadius);
}
