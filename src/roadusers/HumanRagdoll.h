// The eleven boxes and ten joints a pedestrian falls as once a car has hit
// it. The part shapes are shared by every ragdoll (made by the manager).
#pragma once

#include "platform/D3DX9.h"

class btCollisionShape;
class btRigidBody;
class btTransform;
class btTypedConstraint;
class CHuman;

enum {
    RAGDOLL_BODIES = 11,
    RAGDOLL_JOINTS = 10,
};

extern btCollisionShape* g_HumanBodyShapes[RAGDOLL_BODIES];

// Makes and frees the shared part shapes; making twice keeps the first set.
void CreateHumanBodyShapes();
void DeleteHumanBodyShapes();

class CHumanRagdoll {
public:
    // Builds the bodies and joints at base (the standing body's transform)
    // without adding them: the owner first makes itself known as fallen, so
    // the collision filter sees ragdoll parts from their first pair on.
    CHumanRagdoll(CHuman* owner, const btTransform& base);
    ~CHumanRagdoll();
    CHumanRagdoll(const CHumanRagdoll&) = delete;
    CHumanRagdoll& operator=(const CHumanRagdoll&) = delete;

    static btRigidBody* CreateBody(float mass, const btTransform& start, btCollisionShape* shape, CHuman* owner);
    void AddToWorld();
    // Takes every joint and body out of the world and keeps them.
    void RemoveFromWorld();
    // 1 when every body sleeps or is disabled.
    int IsResting() const;

    btRigidBody* m_pBodies[RAGDOLL_BODIES] = {};
    btTypedConstraint* m_pJoints[RAGDOLL_JOINTS] = {};
};
