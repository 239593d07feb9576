// Placeholder of a pedestrian until the road users are built: only the
// fields the audio manager's pools read, at resting values.
#pragma once

#include "platform/D3DX9.h"

class CHuman {
public:
    D3DXVECTOR3 m_vPosition;
    float m_fCameraDistance = 0.0f; // to the current camera
};
