// The owner of every car: the ten template cars, the list of live cars (the
// player's first), the traffic density map and the traffic spawner, the
// player's car creation and the queries the drivers, props and scenes ask.
#pragma once

#include "platform/D3DX9.h"

#include <cstdint>

class CStaticObject;
class CVehicle;

enum {
    VEHICLE_MODEL_COUNT = 10,
    VEHICLE_STREET_MODELS = 8,
    VEHICLE_MANAGER_CARS = 64,
    TRAFFIC_MAP_SIDE = 200,
    TRAFFIC_MAP_SIZE = TRAFFIC_MAP_SIDE * TRAFFIC_MAP_SIDE,
    TRAFFIC_MAX_POLICE = 4,
    RACE_ROUTE_POINTS = 2048,
};

// The template cars' description files: eight street models, two police.
extern const char* const g_VehicleModelPaths[VEHICLE_MODEL_COUNT];

class CVehicleManager {
public:
    int Init();
    void Release();
    void Clear();

    // The list of live cars.
    CVehicle* CreateVehicle(const char* modelPath);
    void DestroyVehicle(CVehicle* car);
    // Returns 0 when the list is full (64) and the car stays out.
    int AddVehicle(CVehicle* car);
    void RemoveVehicle(CVehicle* car);
    void SwapVehicles(CVehicle** a, CVehicle** b);
    // The loaded template car of a description path, or null.
    CVehicle* FindModel(const char* path) const;
    // The player's car (defaults for null arguments), or null when it could
    // not be made: editor mode, a full list or a model that does not load.
    CVehicle* CreatePlayerCar(const D3DXVECTOR3* position, const D3DXVECTOR3* target, const char* modelPath);
    void RemovePoliceCars();

    // Traffic.
    int LoadDensityMap(const char* path);
    float GetTrafficDensity(const D3DXVECTOR3& position) const;
    void Update();
    void SpawnTraffic();
    void Refresh();
    void CullOccluded();

    // Queries; "gap" is the distance between centres minus the other car's
    // radius.
    CVehicle* FindNearestVehicle(const D3DXVECTOR3* position, float radius, const CVehicle* exclude,
                                 const CVehicle* startAfter) const;
    CVehicle* FindPursuingPolice(const D3DXVECTOR3* position, float radius) const;
    CVehicle* FindCarAhead(const CVehicle* car, const CVehicle* startAfter) const;
    CVehicle* FindVehicleInSphere(const CVehicle* exclude, const D3DXVECTOR3* centre, float radius) const;
    CVehicle* FindActiveVehicleInSphere(const CVehicle* exclude, const D3DXVECTOR3* centre, float radius) const;

    // Drawing passes.
    void RenderVehicles();
    void RenderVehiclesSecondPass();
    void RenderLights();
    void RenderShadows();

    // Races: placeholders that record their calls until races are built.
    void ResetRace();
    void UpdateRace();
    void CarFinished(CVehicle* car);
    // The level of the race on offer; none until races exist.
    int GetRaceOfferLevel() const { return 0; }
    int IsRaceRunning() const { return m_bRaceRunning; }

    CVehicle* m_Templates[VEHICLE_MODEL_COUNT] = {};
    CVehicle* m_Cars[VEHICLE_MANAGER_CARS] = {}; // entry 0 the player's car
    std::uint32_t m_nCars = 0;
    std::uint32_t m_nSpawnLimit = 0;
    std::uint8_t m_DensityMap[TRAFFIC_MAP_SIZE] = {};
    float m_fSpawnTimer = 0.0f;
    D3DXVECTOR3 m_vSpawnAnchor{0.0f, 0.0f, 0.0f};
    std::uint32_t m_nRaceRoutePoints = 0;
    // The race route; none until races are built.
    D3DXVECTOR3 m_RaceRoute[RACE_ROUTE_POINTS] = {};
    CStaticObject* m_pRaceInfoScreen = nullptr;
    int m_bRaceRunning = 0;
    std::uint32_t m_nFinishedCalls = 0; // race placeholder: CarFinished calls seen
    std::uint32_t m_nPolice = 0;
    int m_Textures[3] = {-1, -1, -1};
    // The spawner's shared path, copied into the new car.
    D3DXVECTOR3 m_SpawnRoute[2048];
    std::uint32_t m_nSpawnRoutePoints = 0;

private:
    int IndexOf(const CVehicle* car) const;
    void RemoveAt(std::uint32_t index);
    const char* ChooseSpawnModel(bool* police) const;
    bool PlaceSpawnRoute(const D3DXVECTOR3& centre, float distance);
    void StartTrafficCar(CVehicle* car, bool police);
};

extern CVehicleManager g_VehicleManager;

// Texture coordinates of a stage from the camera-space reflection vector,
// turned into world directions for the environment cube.
void SetVehicleReflectionCoordinates(std::uint32_t stage);
