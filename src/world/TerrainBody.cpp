// The physics heightfield under the whole map. It samples the same heights as
// the drawn ground's vertex grid: (cells + 1)² samples, the last row and
// column repeating the last cell, so that bodies rest on what is drawn.
#include "world/Landscape.h"

#include "shell/Game.h"

#include <btBulletDynamicsCommon.h>
#include <BulletCollision/CollisionShapes/btHeightfieldTerrainShape.h>

#include <algorithm>

namespace {

// Keeps the motion state with the body so that one delete frees both.
struct TerrainBody : btRigidBody {
    using btRigidBody::btRigidBody;
    btDefaultMotionState motion;
};

} // namespace

void CLandscape::BuildTerrainBody()
{
    if (m_pTerrainBody || m_fWorldSize <= 0.0f || !g_Game.m_pDynamicsWorld)
        return;
    const int n = m_nCells;
    const int side = n + 1;
    m_pTerrainHeights = new float[static_cast<size_t>(side) * side];
    // The library's grid runs towards +z, our rows towards -z: rows reversed.
    for (int j = 0; j < side; ++j) {
        const int a = std::min(n - j, n - 1);
        for (int b = 0; b < side; ++b)
            m_pTerrainHeights[j * side + b] = m_fAltitude[a][std::min(b, n - 1)];
    }
    // The library centres the grid on the map and on the height bounds
    // (0 .. 2H): the body's origin is lifted by H to undo the latter.
    m_pTerrainShape = new btHeightfieldTerrainShape(side, side, m_pTerrainHeights, 1.0f, 0.0f, 2.0f * m_fHeight, 1,
                                                    PHY_FLOAT, true);
    m_pTerrainShape->setLocalScaling(btVector3(m_fCellSize, 1.0f, m_fCellSize));

    btTransform origin;
    origin.setIdentity();
    origin.setOrigin(btVector3(0.0f, m_fHeight, 0.0f));
    btRigidBody::btRigidBodyConstructionInfo info(0.0f, nullptr, m_pTerrainShape, btVector3(0.0f, 0.0f, 0.0f));
    info.m_startWorldTransform = origin;
    auto* body = new TerrainBody(info);
    body->motion = btDefaultMotionState(origin);
    body->setMotionState(&body->motion);
    body->setUserPointer(this);
    body->setCollisionFlags(body->getCollisionFlags() | btCollisionObject::CF_STATIC_OBJECT);
    body->setActivationState(ISLAND_SLEEPING);
    body->setFriction(0.5f);
    body->setRestitution(0.0f);
    g_Game.m_pDynamicsWorld->addRigidBody(body);
    m_pTerrainBody = body;
}

void CLandscape::ReleaseTerrainBody()
{
    if (m_pTerrainBody) {
        if (g_Game.m_pDynamicsWorld)
            g_Game.m_pDynamicsWorld->removeRigidBody(m_pTerrainBody);
        delete static_cast<TerrainBody*>(m_pTerrainBody);
        m_pTerrainBody = nullptr;
    }
    delete m_pTerrainShape;
    m_pTerrainShape = nullptr;
    delete[] m_pTerrainHeights;
    m_pTerrainHeights = nullptr;
}
