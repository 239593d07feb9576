// The vehicle manager: the player's car, the car list and the race state.
// Traffic is not built yet.
#pragma once

#include "platform/D3DX9.h"

#include <cstdint>

class CProp;
class CStaticObject;
class CVehicle;

enum { VEHICLE_MANAGER_CAPACITY = 64, VEHICLE_MANAGER_CARS = VEHICLE_MANAGER_CAPACITY, RACE_ROUTE_POINTS = 2048 };
enum { VEHICLE_MODEL_COUNT = 10, RACE_GRID_CARS = 8 };

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
    // Traffic density (0..1) at a world position; no traffic yet.
    float GetTrafficDensity(const D3DXVECTOR3& position) const;
    // The car nearest to position whose gap (distance minus its radius) is
    // below radius, skipping exclude, starting after startAfter when that is
    // in the list; null when none.
    CVehicle* FindNearestVehicle(const D3DXVECTOR3* position, float radius, const CVehicle* exclude,
                                 const CVehicle* startAfter);
    // A car whose sphere meets the given one (the "active" form: only a car
    // whose body is in the physics world), or null.
    CVehicle* FindVehicleInSphere(int first, const D3DXVECTOR3* centre, float radius);
    CVehicle* FindActiveVehicleInSphere(int first, const D3DXVECTOR3* centre, float radius);
    // Cars held by props move in and out of the list without being made or freed.
    void AddVehicle(CVehicle* car);
    void RemoveVehicle(CVehicle* car);
    // A new car of the model appended to the list (not yet placed), or null
    // when the list is full.
    CVehicle* CreateVehicle(const char* modelPath);
    // Releases and frees a listed car; nothing for a car not in the list.
    void DestroyVehicle(CVehicle* car);
    void RemovePoliceCars();
    // The loaded template car of a description path, or null.
    CVehicle* FindModel(const char* path) const;
    // The level of the race on offer.
    int GetRaceOfferLevel() const;
    // A police car within distance of the player's car pursuing it; none yet.
    CVehicle* FindPursuingPolice(float distance) const;
    int IsRaceRunning() const { return m_bRaceRunning; }

    // Races.
    void UpdateRace();
    int GenerateRace();
    void ResetRace();
    void SetupRaceGrid();
    void StartRace();
    void UpdateRacePlaces();
    void UpdateRaceMarkers();
    void CarFinished(CVehicle* car);
    void ReleaseRivals();
    void FinishRace();

    CVehicle* m_Cars[VEHICLE_MANAGER_CAPACITY] = {}; // entry 0 the player's car
    std::uint32_t m_nCars = 0;
    std::uint32_t m_nSpawnLimit = 0;
    int m_Textures[3] = {-1, -1, -1};
    // The ground point ahead of the camera around which traffic and
    // pedestrians are held.
    D3DXVECTOR3 m_vSpawnAnchor{0.0f, 0.0f, 0.0f};
    CVehicle* m_pModels[VEHICLE_MODEL_COUNT] = {};
    std::uint32_t m_nModels = 0;
    std::uint32_t m_nPoliceCars = 0;

    // Race state. Per route point the ids of its two marker emitters (-1
    // none); the slot after the last point holds 1 once the finish crowd
    // stands, in its own flag so it never reaches the particle layer.
    int m_RouteMarkers[RACE_ROUTE_POINTS][2];
    int m_bFinishCrowd = 0;
    D3DXVECTOR3 m_RaceRoute[RACE_ROUTE_POINTS] = {};
    std::uint32_t m_nRaceRoutePoints = 0;
    float m_fRaceCheckTimer = 0.0f;
    float m_fMarkerTimer = 0.0f;
    float m_fRaceCountdown = 0.0f;
    CStaticObject* m_pRaceInfoScreen = nullptr; // a prop made by the offer
    CProp* RaceBoard() const;
    int m_bRaceRunning = 0;
    CVehicle* m_RaceCars[RACE_GRID_CARS] = {};
    std::uint32_t m_nRaceCars = 0;
    std::uint32_t m_nFinished = 0;

    CVehicleManager();
};

extern CVehicleManager g_VehicleManager;

// Texture coordinates of a stage from the camera-space reflection vector,
// turned into world directions for the environment cube.
void SetVehicleReflectionCoordinates(std::uint32_t stage);
