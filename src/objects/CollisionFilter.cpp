#include "objects/CollisionFilter.h"

#include "objects/StaticObject.h"
#include "roadusers/Human.h"
#include "shell/Keywords.h"
#include "world/Landscape.h"

#include <btBulletCollisionCommon.h>

// Terrain and scenery never pair with each other; walking pedestrians meet
// only the terrain and cars; ragdolls ignore each other and walkers; cars
// meet everything that has an object.
const int g_CollisionTable[COLLISION_CLASS_COUNT][COLLISION_CLASS_COUNT] = {
    {0, 0, 0, 1, 1, 1, 1},
    {0, 0, 0, 1, 0, 1, 1},
    {0, 0, 0, 0, 0, 0, 0},
    {1, 1, 0, 1, 0, 1, 1},
    {1, 0, 0, 0, 0, 0, 1},
    {1, 1, 0, 1, 0, 0, 1},
    {1, 1, 0, 1, 1, 1, 1},
};

CCollisionFilterCallback* g_pCollisionFilter = nullptr;

int GetCollisionClass(const void* userPointer)
{
    if (!userPointer)
        return COLLISION_CLASS_NONE;
    // The terrain's user pointer is the landscape, which is no static object.
    if (userPointer == &g_Landscape)
        return COLLISION_CLASS_LANDSCAPE;
    const auto* object = static_cast<const CStaticObject*>(userPointer);
    const std::uint32_t type = object->m_nType;
    if (type >= GTYPE_STATIC && type <= GTYPE_BUILDING)
        return COLLISION_CLASS_SCENERY;
    if (type == GTYPE_DECORS || type == GTYPE_LAMPPOST)
        return COLLISION_CLASS_PROP;
    if (type == GTYPE_HUMAN)
        return static_cast<const CHuman*>(object)->m_pRagdoll ? COLLISION_CLASS_RAGDOLL : COLLISION_CLASS_WALKER;
    if (type == GTYPE_VEHICLE)
        return COLLISION_CLASS_VEHICLE;
    return -1;
}

int CanObjectsCollide(const void* a, const void* b)
{
    if (!a || !b)
        return 0;
    const int classA = GetCollisionClass(a);
    const int classB = GetCollisionClass(b);
    if (classA < 0 || classB < 0)
        return 0;
    return g_CollisionTable[classA][classB];
}

namespace {

const void* UserPointerOf(const btBroadphaseProxy* proxy)
{
    return static_cast<const btCollisionObject*>(proxy->m_clientObject)->getUserPointer();
}

} // namespace

bool CCollisionFilterCallback::needBroadphaseCollision(btBroadphaseProxy* proxy0, btBroadphaseProxy* proxy1) const
{
    if (!proxy0->m_clientObject || !proxy1->m_clientObject || proxy0->m_clientObject == proxy1->m_clientObject)
        return false;
    return CanObjectsCollide(UserPointerOf(proxy0), UserPointerOf(proxy1)) != 0;
}

void PhysicsNearCallback(btBroadphasePair& pair, btCollisionDispatcher& dispatcher, const btDispatcherInfo& info)
{
    const btBroadphaseProxy* proxy0 = pair.m_pProxy0;
    const btBroadphaseProxy* proxy1 = pair.m_pProxy1;
    if (!proxy0->m_clientObject || !proxy1->m_clientObject || proxy0->m_clientObject == proxy1->m_clientObject)
        return;
    if (!CanObjectsCollide(UserPointerOf(proxy0), UserPointerOf(proxy1)))
        return;
    btCollisionDispatcher::defaultNearCallback(pair, dispatcher, info);
}
