// Placeholder of a car until the road users are built: the fields and calls
// the shell, graphics and object layers read or make, at resting values. The
// world matrix, mesh, position, camera distance and light slot are the
// static object's.
#pragma once

#include "objects/StaticObject.h"
#include "platform/D3DX9.h"

#include <cstdint>

class CGameSound;

class CVehicle : public CStaticObject {
public:
    void Update();
    void Save(std::uint32_t file);
    void Load(std::uint32_t file);
    void RepairBody(float fraction);
    void ApplyCollisionDamage(const D3DXVECTOR3* localPoint, const D3DXVECTOR3* normal, void* other, float strength);

    D3DXVECTOR3 m_vObjectPosition;
    D3DXVECTOR3 m_vVelocity;             // world units per second
    float m_fSpeed = 0.0f;               // km/h, signed
    float m_fSize = 1.0f;
    unsigned m_nKind = 3;                // 0 player, 1 rival, 2 police, 3 traffic
    int m_nControlMode = 0;              // 2: player input
    float m_fBrake = 0.0f;               // 0..100
    int m_nWheelsNearGround = 0;
    int m_nWheelsInContact = 0;
    float m_fEngineForce = 0.0f;
    float m_fBrakingForce = 0.0f;
    char m_szModelPath[256] = {};
    float m_fDrivingTime = 0.0f;         // seconds of game time
    CGameSound* m_pEngineSound = nullptr;
    CGameSound* m_pHornSound = nullptr;
    int m_nLastImpactTime = 0;           // game clock, ms
    float m_fEngineVolume = 0.0f;        // percent
    float m_fEngineFrequency = 22050.0f; // Hz
};

// The player's car, or null.
extern CVehicle* g_pPlayerVehicle;
