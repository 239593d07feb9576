// Ray tests against a static object: through the mesh's triangle collision
// model (picks) and through its static body's triangle-mesh shape (the
// camera's collision ray).
#include "objects/StaticObject.h"

#include "objects/MeshCollisionModel.h"
#include "shell/RayHitInfo.h"
#include "shell/VectorHelpers.h"

#include <btBulletDynamicsCommon.h>

namespace {

const float kRayMaximum = 3.4e38f;

// The model-space ray against the mesh's box: most rays miss here, before
// any triangle is looked at. Also false for a ray of no length.
bool ProbeMeshBox(const CStaticObject* object, const D3DXVECTOR3* from, const D3DXVECTOR3* to,
                  D3DXVECTOR3* direction)
{
    const D3DXVECTOR3 delta = *to - *from;
    if (Vec3LengthSq(&delta) == 0.0f)
        return false;
    Vec3Normalize(direction, &delta);
    D3DXMATRIX inverse;
    if (!D3DXMatrixInverse(&inverse, nullptr, &object->m_matWorld))
        return false;
    D3DXVECTOR3 localStart, localDirection;
    D3DXVec3TransformCoord(&localStart, from, &inverse);
    D3DXVec3TransformNormal(&localDirection, direction, &inverse);
    const CMeshRecord* mesh = object->m_pMesh;
    return D3DXBoxBoundProbe(&mesh->m_vBoxMin, &mesh->m_vBoxMax, &localStart, &localDirection) != FALSE;
}

CMeshCollisionModel* CurrentCollisionModel(const CStaticObject* object)
{
    const CMeshRecord* mesh = object->m_pMesh;
    if (!mesh || !mesh->m_ppCollisionModels || object->m_nFrame >= mesh->m_nFrames[MESH_COLLISION_PART])
        return nullptr;
    return mesh->m_ppCollisionModels[object->m_nFrame];
}

} // namespace

int CStaticObject::IntersectRay(const D3DXVECTOR3* from, const D3DXVECTOR3* to, D3DXVECTOR3* out, int closest)
{
    CMeshCollisionModel* model = m_bRayTest ? CurrentCollisionModel(this) : nullptr;
    D3DXVECTOR3 direction;
    if (!model || !ProbeMeshBox(this, from, to, &direction))
        return 0;
    model->SetTransform(&m_matWorld.m[0][0]);
    if (!model->IntersectRay(&from->x, &direction.x, closest != 0, 0.0f, kRayMaximum))
        return 0;
    if (out)
        model->GetCollisionPoint(&out->x, false);
    g_RayHit.Set(this);
    return 1;
}

int CStaticObject::RayTestBody(const D3DXVECTOR3* from, const D3DXVECTOR3* to, D3DXVECTOR3* out, int)
{
    if (!m_bRayTest || !m_pMesh || !m_pMesh->m_pTriangleMeshShape || !m_pRigidBody)
        return 0;
    D3DXVECTOR3 direction;
    if (!ProbeMeshBox(this, from, to, &direction))
        return 0;
    const btVector3 start(from->x, from->y, from->z), end(to->x, to->y, to->z);
    btCollisionWorld::ClosestRayResultCallback callback(start, end);
    callback.m_collisionFilterMask = -1;
    btTransform fromTransform, toTransform;
    fromTransform.setIdentity();
    fromTransform.setOrigin(start);
    toTransform.setIdentity();
    toTransform.setOrigin(end);
    btCollisionWorld::rayTestSingle(fromTransform, toTransform, m_pRigidBody, m_pMesh->m_pTriangleMeshShape,
                                    m_pRigidBody->getWorldTransform(), callback);
    if (!callback.hasHit())
        return 0;
    if (out)
        *out = D3DXVECTOR3(callback.m_hitPointWorld.x(), callback.m_hitPointWorld.y(), callback.m_hitPointWorld.z());
    return 1;
}
