// A city prop: a building, bridge, street decor, street lamp or race board
// read from a description file whose own part (after "//--") gives a mass,
// loose sub-parts with their own bodies, and a board's loop sound. A
// building may be a shop with entrance points (mesh part 9) that the prop
// manager watches; a car shop also shows three cars in front of it.
#pragma once

#include "objects/StaticObject.h"

#include <cstdint>

class CGameSound;
class CVehicle;

enum {
    PROP_SHOWROOM_CARS = 3,
    // More sub-parts than this in a description are not read.
    PROP_MAX_PARTS = 64,
};

class CProp : public CStaticObject {
public:
    CProp();

    void Load(const char* path, int variant);
    void Place(const D3DXVECTOR3* position, const D3DXVECTOR3* target, const D3DXVECTOR3* up);
    void Release();
    void Update();
    void SetActive(bool on);
    void SetPhysicsActive(bool on);
    void ResetParts();
    void SyncFromBodies();

    void CreateShowroomCars();
    void ReleaseCars();
    void RemoveCar(CVehicle* car);
    void SetCarsInWorld(bool on);
    void PlaceCars(CVehicle** bought, CVehicle** other);

    void Render(int pass);
    void RenderShadow();

    D3DXVECTOR3 m_vLampPoint;
    std::uint32_t m_bBroken;
    std::uint32_t m_bCarShop;
    CVehicle* m_pCars[PROP_SHOWROOM_CARS];
    std::uint32_t m_nCars;
    std::uint32_t m_nParts;
    CModelInstance** m_pPartModels;
    float* m_pPartMasses;
    D3DXVECTOR3* m_pPartPositions;
    btRigidBody** m_pPartBodies;
    CGameSound* m_pSound;
    // The prop's slot in its sector's list (-1 when no sector owns it).
    int m_nSectorSlot;

private:
    void ReadOwnPart(FileHandle file, const char* path);
    void ReadSubParts(FileHandle file, int count);
    void RegisterShop();
    void BuildPartBodies(const D3DXVECTOR3* position, const D3DXVECTOR3* target, const D3DXVECTOR3* up);
    void UpdatePhysicsRule(float distance);
    void UpdateLamp(float distance);
    void BreakLamp();
    void UpdateNightLight(float lampDistance);
    void SwitchOffLight();
    void RecomputeCentre();
    bool ShowroomPlace(int point, const CVehicle* car, D3DXVECTOR3* place, D3DXVECTOR3* target, float facing) const;
};

// Tuning of the prop behaviour.
constexpr float PROP_PHYSICS_DISTANCE = 20.0f;
constexpr float PROP_SHOWROOM_DISTANCE = 80.0f;
constexpr float PROP_LAMP_DISTANCE = 40.0f;
constexpr float PROP_LAMP_BREAK_SPEED = 2.5f;
constexpr float PROP_LAMP_BREAK_SPIN = 0.25f;

// A sub-part's alpha at its camera distance: opaque to 64, none beyond 80.
float PropPartAlpha(float distance);
