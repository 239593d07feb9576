// The traffic's per-frame work on the sample city with the list full (64
// cars: the player's, traffic and police): the vehicle manager's update
// alone, and with the physics step before it as the game's tick runs them.
// Cars that leave are replaced between iterations, outside the timing.
#include "BenchScene.h"

#include "graphics/D3DRender.h"
#include "graphics/WorldCamera.h"
#include "roadusers/Vehicle.h"
#include "roadusers/VehicleManager.h"
#include "shell/FileManager.h"
#include "shell/Game.h"
#include "shell/GameTimer.h"
#include "shell/Settings.h"
#include "shell/VectorHelpers.h"
#include "world/Landscape.h"
#include "writers/FileBytes.h"
#include "writers/SampleCity.h"
#include "writers/TrafficDataWriter.h"
#include "writers/VehicleModels.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>

namespace {

struct Scene {
    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    CWorldCamera camera;
    bool ready = false;

    Scene()
    {
        device = bench::MakeHeadlessDevice(&d3d);
        if (!device || !bench::EnterScratchFolder("morvaine_bench_traffic"))
            return;
        for (const tools::SampleFile& f : tools::SampleVehicleFiles())
            tools::WriteFileBytes(f.path, f.bytes);
        if (!tools::WriteSampleCity(".") || !tools::WriteTrafficData("."))
            return;
        g_D3DRender.m_pDevice = device;
        g_bFileManager = 0;
        g_FileManager.Init();
        g_Game.InitPhysics();
        if (g_Landscape.Init() != 1)
            return;
        g_Landscape.Update();
        g_VehicleManager.Init();
        g_nTraffic = 2;
        camera.SetProjection(1.0472f, 4.0f / 3.0f, 0.2f, 600.0f);
        g_Game.m_pCamera = &camera;
        ready = g_VehicleManager.CreatePlayerCar(nullptr, nullptr, nullptr) != nullptr;
    }

    // The camera behind the player's car, looking north along its street.
    void Look()
    {
        const D3DXVECTOR3 at = g_pPlayerVehicle->m_vPosition, up(0, 1, 0);
        const D3DXVECTOR3 eye = at + D3DXVECTOR3(0.0f, 3.0f, -8.0f), target = at + D3DXVECTOR3(0.0f, 0.0f, 4.0f);
        camera.SetView(&eye, &target, &up);
    }

    // Fills the list to 64 with cars on road paths around the traffic
    // centre, one in eight of them police.
    void TopUp()
    {
        static int made = 0;
        for (int tries = 0; g_VehicleManager.m_nCars < VEHICLE_MANAGER_CARS && tries < 4000; ++tries) {
            D3DXVECTOR3 centre = g_VehicleManager.m_vSpawnAnchor;
            centre.x += static_cast<float>(std::rand() % 221 - 110);
            centre.z += static_cast<float>(std::rand() % 221 - 110);
            const RouteCell* cell = g_Landscape.FindNearestRouteCell(ROUTE_ROAD, &centre, 10);
            std::uint32_t count = 0;
            D3DXVECTOR3 from = cell ? cell->m_vPosition : centre;
            if (!cell || !g_Landscape.FindRandomRoadPath(g_VehicleManager.m_SpawnRoute, &count, &from, 30.0f, 3, 3,
                                                         100) ||
                count < 2 || Vec3Distance(&g_VehicleManager.m_SpawnRoute[0], &g_VehicleManager.m_vSpawnAnchor) > 58.0f)
                continue;
            bool crowded = false;
            for (std::uint32_t i = 0; i < g_VehicleManager.m_nCars && !crowded; ++i)
                crowded = Vec3Distance(&g_VehicleManager.m_Cars[i]->m_vPosition, &g_VehicleManager.m_SpawnRoute[0]) <
                          5.0f;
            if (crowded)
                continue;
            const bool police = made++ % 8 == 0;
            CVehicle* car =
                g_VehicleManager.CreateVehicle(police ? g_VehicleModelPaths[8] : g_VehicleModelPaths[made % 8]);
            if (!car)
                return;
            const D3DXVECTOR3 lift(0.0f, std::abs(car->m_pMesh->m_vBoxMin.y) + 0.25f, 0.0f), up(0, 1, 0);
            const D3DXVECTOR3 at = g_VehicleManager.m_SpawnRoute[0] + lift;
            const D3DXVECTOR3 look = g_VehicleManager.m_SpawnRoute[1] + lift;
            car->Spawn(&at, &look, &up, 1, police ? VEHICLE_POLICE : VEHICLE_TRAFFIC, 1);
            car->SetAIState(AI_STATE_TRAFFIC);
            std::memcpy(car->m_Route, g_VehicleManager.m_SpawnRoute, sizeof(D3DXVECTOR3) * count);
            car->m_nRoutePoints = count;
            car->m_fSpeed = 22.5f;
        }
    }
};

Scene& TheScene()
{
    static Scene scene;
    return scene;
}

int CarsInPhysics()
{
    int n = 0;
    for (std::uint32_t i = 0; i < g_VehicleManager.m_nCars; ++i)
        n += g_VehicleManager.m_Cars[i]->m_bPhysicsActive ? 1 : 0;
    return n;
}

void Run(benchmark::State& state, bool physics)
{
    Scene& scene = TheScene();
    if (!scene.ready) {
        state.SkipWithError("no headless device or sample city");
        return;
    }
    std::srand(17);
    g_GameTimer.m_fDelta = g_GameTimer.m_fRealDelta = 1.0f / 60.0f;
    scene.Look();
    g_VehicleManager.SpawnTraffic();
    double inPhysics = 0.0, cars = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        scene.TopUp();
        cars += g_VehicleManager.m_nCars;
        state.ResumeTiming();
        if (physics)
            g_Game.StepPhysics();
        g_VehicleManager.Update();
        state.PauseTiming();
        inPhysics += CarsInPhysics();
        state.ResumeTiming();
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["cars"] = cars / n;
    state.counters["in_physics"] = inPhysics / n;
}

void BM_TrafficUpdate(benchmark::State& state)
{
    Run(state, false);
}

void BM_TrafficUpdateWithPhysics(benchmark::State& state)
{
    Run(state, true);
}

BENCHMARK(BM_TrafficUpdate)->Unit(benchmark::kMicrosecond)->Iterations(600);
BENCHMARK(BM_TrafficUpdateWithPhysics)->Unit(benchmark::kMicrosecond)->Iterations(600);

} // namespace

BENCHMARK_MAIN();
