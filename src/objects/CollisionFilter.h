// Which kinds of game object may collide: one 7 x 7 table over the objects'
// collision classes, consulted by the broadphase filter (refused pairs never
// reach the pair cache) and again by the near callback.
#pragma once

#include <BulletCollision/BroadphaseCollision/btOverlappingPairCache.h>

class btCollisionDispatcher;
struct btBroadphasePair;
struct btDispatcherInfo;

enum {
    COLLISION_CLASS_LANDSCAPE = 0, // g_Landscape itself
    COLLISION_CLASS_SCENERY = 1,   // static objects, stones, trees, bridges, buildings
    COLLISION_CLASS_NONE = 2,      // a body that belongs to no object
    COLLISION_CLASS_PROP = 3,      // decors and lamp posts
    COLLISION_CLASS_WALKER = 4,    // a pedestrian on its standing body
    COLLISION_CLASS_RAGDOLL = 5,   // a pedestrian knocked down
    COLLISION_CLASS_VEHICLE = 6,
    COLLISION_CLASS_COUNT = 7,
};

// Row: class of the first object, column: the second; 1 = may collide.
extern const int g_CollisionTable[COLLISION_CLASS_COUNT][COLLISION_CLASS_COUNT];

// The class of a physics user pointer, or -1 for a type outside the table
// (such an object collides with nothing).
int GetCollisionClass(const void* userPointer);
// 1 when the table lets the two user pointers' objects collide; a null
// object never does.
int CanObjectsCollide(const void* a, const void* b);

class CCollisionFilterCallback : public btOverlapFilterCallback {
public:
    ~CCollisionFilterCallback() override = default;
    bool needBroadphaseCollision(btBroadphaseProxy* proxy0, btBroadphaseProxy* proxy1) const override;
};

// Installed on the broadphase's pair cache by CGame::InitPhysics.
extern CCollisionFilterCallback* g_pCollisionFilter;

// The dispatcher's near callback: the table first, then the library's own
// narrow phase.
void PhysicsNearCallback(btBroadphasePair& pair, btCollisionDispatcher& dispatcher, const btDispatcherInfo& info);
