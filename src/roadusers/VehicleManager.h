// Placeholder of the vehicle manager until the road users are built.
#pragma once

#include "platform/D3DX9.h"

#include <cstdint>

class CStaticObject;
class CVehicle;

enum { VEHICLE_MODEL_COUNT = 10, VEHICLE_MANAGER_CARS = 64, RACE_ROUTE_POINTS = 2048 };

class CVehicleManager {
public:
    int Init();
    void Release();
    void Clear();
    void CreatePlayerCar(const D3DXVECTOR3* position, const D3DXVECTOR3* target, const char* modelPath);
    void Update();
    void Refresh();
    void RenderVehicles();
    void RenderVehiclesSecondPass();
    void RenderLights();
    void RenderShadows();
    void ResetRace();
    // Traffic density (0..1) at a world position; no traffic yet.
    float GetTrafficDensity(const D3DXVECTOR3& position) const;
    // The car nearest to position whose gap (distance minus its radius) is
    // below radius, skipping exclude, starting after startAfter when that is
    // in the list; null when none.
    CVehicle* FindNearestVehicle(const D3DXVECTOR3* position, float radius, const CVehicle* exclude,
                                 const CVehicle* startAfter);
    // A car whose sphere meets the given one (the "active" form: only a car
    // whose body is in the physics world), or null. Until the car list is
    // built only the player's car is looked at.
    CVehicle* FindVehicleInSphere(int first, const D3DXVECTOR3* centre, float radius);
    CVehicle* FindActiveVehicleInSphere(int first, const D3DXVECTOR3* centre, float radius);
    // Until the car list is built these keep nothing.
    void AddVehicle(CVehicle* car);
    void RemoveVehicle(CVehicle* car);
    // The loaded template car of a description path, or null.
    CVehicle* FindModel(const char* path) const;
    // The level of the race on offer; none until races exist.
    int GetRaceOfferLevel() const { return 0; }
    // A police car within distance of the player's car pursuing it; none yet.
    CVehicle* FindPursuingPolice(float distance) const;
    int IsRaceRunning() const { return m_bRaceRunning; }

    std::uint32_t m_nCars = 0;
    std::uint32_t m_nSpawnLimit = 0;
    int m_Textures[3] = {-1, -1, -1};
    CStaticObject* m_pRaceInfoScreen = nullptr;
    // The ground point ahead of the camera around which traffic and
    // pedestrians are held.
    D3DXVECTOR3 m_vSpawnAnchor{0.0f, 0.0f, 0.0f};
    CVehicle* m_pCars[VEHICLE_MANAGER_CARS] = {}; // entry 0 the player's car
    CVehicle* m_pModels[VEHICLE_MODEL_COUNT] = {};
    std::uint32_t m_nModels = 0;
    std::uint32_t m_nPoliceCars = 0;
    int m_bRaceRunning = 0;
    std::uint32_t m_nRaceRoutePoints = 0;
    // The race route; none until races are built.
    D3DXVECTOR3 m_RaceRoute[RACE_ROUTE_POINTS] = {};
};

extern CVehicleManager g_VehicleManager;
