// Placeholder of a car until the road users are built: only the fields the
// audio manager's pools and the debug overlay read and write, at resting
// values.
#pragma once

#include "platform/D3DX9.h"

class CGameSound;

class CVehicle {
public:
    D3DXVECTOR3 m_vPosition;
    D3DXVECTOR3 m_vVelocity;             // world units per second
    float m_fCameraDistance = 0.0f;      // to the current camera
    unsigned m_nKind = 3;                // 0 player, 1 rival, 2 police, 3 traffic
    CGameSound* m_pEngineSound = nullptr;
    CGameSound* m_pHornSound = nullptr;
    int m_nLastImpactTime = 0;           // game clock, ms
    float m_fEngineVolume = 0.0f;        // percent
    float m_fEngineFrequency = 22050.0f; // Hz
    float m_fSpeed = 0.0f;               // km/h, signed
    int m_nWheelsInContact = 0;
    float m_fEngineForce = 0.0f;
    float m_fBrakingForce = 0.0f;
};

// The player's car, or null.
extern CVehicle* g_pPlayerVehicle;
