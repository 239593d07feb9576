// Placeholder of a pedestrian until the road users are built: the fields and
// calls the shell, graphics and object layers use, at resting values.
#pragma once

#include "platform/D3DX9.h"

class CRagdoll;

class CHuman {
public:
    void SetRagdoll(int on);

    D3DXVECTOR3 m_vPosition;
    float m_fCameraDistance = 0.0f; // to the current camera
    CRagdoll* m_pRagdoll = nullptr; // null while walking
};
