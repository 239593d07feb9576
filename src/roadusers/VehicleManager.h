// The owner of every car: the ten template cars, the list of live cars (the
// player's first), the traffic density map and the traffic spawner, the
// player's car creation and the queries the drivers, props and scenes ask.
#pragma once

#include "graphics/KeptResources.h"

#include "platform/D3DX9.h"

#include <cstdint>

class CProp;
class CStaticObject;
class CVehicle;

enum {
    VEHICLE_MODEL_COUNT = 10,
    VEHICLE_STREET_MODELS = 8,
    VEHICLE_MANAGER_CARS = 64,
    TRAFFIC_MAP_SIDE = 200,
    TRAFFIC_MAP_SIZE = TRAFFIC_MAP_SIDE * TRAFFIC_MAP_SIDE,
    TRAFFIC_MAX_POLICE = 4,
    VEHICLE_MANAGER_CAPACITY = VEHICLE_MANAGER_CARS,
    RACE_ROUTE_POINTS = 2048,
    RACE_GRID_CARS = 8,
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

    // Puts every template car into the list, in view and at that fade
    // (shown 1), or takes them out as they were: the program warm-up draws
    // them for the traffic that is not out yet.
    void ShowTemplates(int shown, float alpha);

    // Drawing passes.
    void RenderVehicles();
    void RenderVehiclesSecondPass();
    void RenderLights();
    void RenderShadows();

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
    // The level of the race on offer.
    int GetRaceOfferLevel() const;
    int IsRaceRunning() const { return m_bRaceRunning; }
    // The offer's board, a prop.
    CProp* RaceBoard() const;

    CVehicle* m_Templates[VEHICLE_MODEL_COUNT] = {};
    CVehicle* m_Cars[VEHICLE_MANAGER_CARS] = {}; // entry 0 the player's car
    std::uint32_t m_nCars = 0;
    std::uint32_t m_nSpawnLimit = 0;
    std::uint8_t m_DensityMap[TRAFFIC_MAP_SIZE] = {};
    float m_fSpawnTimer = 0.0f;
    D3DXVECTOR3 m_vSpawnAnchor{0.0f, 0.0f, 0.0f};
    // Race state. Per route point the ids of its two marker emitters (-1
    // none); once the finish crowd stands its own flag says so, so it never
    // reaches the particle layer.
    int m_RouteMarkers[RACE_ROUTE_POINTS][2];
    int m_bFinishCrowd = 0;
    D3DXVECTOR3 m_RaceRoute[RACE_ROUTE_POINTS] = {};
    std::uint32_t m_nRaceRoutePoints = 0;
    float m_fRaceCheckTimer = 0.0f;
    float m_fMarkerTimer = 0.0f;
    float m_fRaceCountdown = 0.0f;
    CStaticObject* m_pRaceInfoScreen = nullptr; // a prop made by the offer
    int m_bRaceRunning = 0;
    CVehicle* m_RaceCars[RACE_GRID_CARS] = {};
    std::uint32_t m_nRaceCars = 0;
    std::uint32_t m_nFinished = 0;
    std::uint32_t m_nPolice = 0;
    int m_Textures[3] = {-1, -1, -1};
    // Every paint texture of every model, kept while the models are.
    CKeptResources m_Kept;
    // The spawner's shared path, copied into the new car.
    D3DXVECTOR3 m_SpawnRoute[2048];
    std::uint32_t m_nSpawnRoutePoints = 0;

    CVehicleManager();

private:
    // What a template's warm-up draws change, kept while it is shown.
    struct WarmUpSaved {
        D3DMATERIAL9 material;
        D3DMATERIAL9 glass[4];
        int visible;
        float distance;
    };
    WarmUpSaved m_WarmUpSaved[VEHICLE_MODEL_COUNT] = {};

    int IndexOf(const CVehicle* car) const;
    void KeepPaintTextures(const CVehicle& model);
    void RemoveAt(std::uint32_t index);
    const char* ChooseSpawnModel(bool* police) const;
    bool PlaceSpawnRoute(const D3DXVECTOR3& centre, float distance);
    void StartTrafficCar(CVehicle* car, bool police);
};

extern CVehicleManager g_VehicleManager;

// Texture coordinates of a stage from the camera-space reflection vector,
// turned into world directions for the environment cube.
void SetVehicleReflectionCoordinates(std::uint32_t stage);
