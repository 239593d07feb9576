// Placeholder of a car until the road users are built: the fields and calls
// the shell, graphics and object layers read or make, at resting values. The
// world matrix, mesh, position, camera distance and light slot are the
// static object's.
#pragma once

#include "objects/StaticObject.h"
#include "platform/D3DX9.h"

#include <cstdint>

class CGameSound;
class CSaveReader;
class CSaveWriter;

// The car record of a save: 156 bytes whose last u32 (at offset 152) is the
// count M of the 40-byte records that follow it.
constexpr unsigned VEHICLE_RECORD_BASE_SIZE = 156;
constexpr unsigned VEHICLE_RECORD_COUNT_OFFSET = 152;
constexpr unsigned VEHICLE_RECORD_ITEM_SIZE = 40;

class CVehicle : public CStaticObject {
public:
    void Update();
    void Save(CSaveWriter& out);
    // 1 when the whole record was read and applied.
    int Load(CSaveReader& in);
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
