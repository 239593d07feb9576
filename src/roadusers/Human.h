// Placeholder of a pedestrian until the road users are built: the fields and
// calls the shell, graphics and object layers use, at resting values; the
// position and camera distance are the static object's.
#pragma once

#include "objects/StaticObject.h"

class CRagdoll;

class CHuman : public CStaticObject {
public:
    void SetRagdoll(int on);

    CRagdoll* m_pRagdoll = nullptr; // null while walking
};
