// The pedestrians of a busy street corner of the sample city: the manager's
// update with 64 pedestrians, ten of them falling as ragdolls, and the physics
// step of their bodies, both in the game's world and in a bare world of the
// physics library holding the same bodies.
#include "graphics/D3DRender.h"
#include "platform/Backend.h"
#include "platform/D3D9.h"
#include "roadusers/Human.h"
#include "roadusers/HumanManager.h"
#include "roadusers/HumanRagdoll.h"
#include "roadusers/SpawnRoute.h"
#include "roadusers/VehicleManager.h"
#include "shell/FileManager.h"
#include "shell/Game.h"
#include "shell/GameTimer.h"
#include "shell/Settings.h"
#include "shell/VectorHelpers.h"
#include "world/Landscape.h"
#include "writers/FileBytes.h"
#include "writers/HumanModel.h"
#include "writers/MeshWriter.h"
#include "writers/ObjectMeshes.h"
#include "writers/SampleCity.h"

#include <benchmark/benchmark.h>
#include <btBulletDynamicsCommon.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kRagdolls = 10;
const float kStep = 1.0f / 60.0f;

struct BareWorld {
    btDefaultCollisionConfiguration config;
    btCollisionDispatcher dispatcher{&config};
    btDbvtBroadphase broadphase;
    btSequentialImpulseConstraintSolver solver;
    btDiscreteDynamicsWorld world{&dispatcher, &broadphase, &solver, &config};
};

class Corner {
public:
    bool Start()
    {
        if (m_started)
            return m_ok;
        m_started = true;
        const auto dir = std::filesystem::temp_directory_path() / ("morvaine-bench-humans-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
        std::filesystem::current_path(dir);
        tools::WriteLandscapeFiles(dir.string(), tools::SampleCityMaps());
        for (const char* folder : {"Data/Humans/Male/", "Data/Humans/Female/"}) {
            tools::WriteFileBytes(std::string(folder) + "Main.obj",
                                  tools::HumanDescription(tools::SampleHumanData(folder)));
            tools::WriteMesh(std::string(folder) + "Body.msh", tools::HumanMesh());
        }
        for (const tools::SampleFile& f : tools::SampleHumanTextures())
            tools::WriteFileBytes(f.path, f.bytes);
        g_bFileManager = 0;
        g_FileManager.Init();
        if (g_Landscape.Init() != 1)
            return false;
        plat::SetHeadless(true);
        m_d3d = Direct3DCreate9(D3D_SDK_VERSION);
        D3DPRESENT_PARAMETERS pp{};
        pp.BackBufferWidth = 64;
        pp.BackBufferHeight = 64;
        pp.BackBufferFormat = D3DFMT_X8R8G8B8;
        pp.Windowed = TRUE;
        pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
        if (!m_d3d || FAILED(m_d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp,
                                                 &g_D3DRender.m_pDevice)))
            return false;
        g_D3DRender.m_bPerStageConstant = 1;
        if (g_Game.InitPhysics() != 1 || g_HumanManager.Init() != 1)
            return false;
        g_Landscape.BuildTerrainBody();
        g_GameTimer.m_fDelta = g_GameTimer.m_fRealDelta = kStep;
        // The traffic centre on a walkway in the middle of the city.
        std::vector<D3DXVECTOR3> walkways;
        for (int row = 0; row < g_Landscape.m_nCells; ++row)
            for (int column = 0; column < g_Landscape.m_nCells; ++column)
                if (g_Landscape.Route(column, row).m_nType == ROUTE_WALKWAY)
                    walkways.push_back(g_Landscape.Route(column, row).m_vPosition);
        if (walkways.empty())
            return false;
        g_VehicleManager.m_vSpawnAnchor = walkways[walkways.size() / 2];
        for (const D3DXVECTOR3& w : walkways)
            if (Vec3Distance(&w, &g_VehicleManager.m_vSpawnAnchor) < 30.0f)
                m_near.push_back(w);
        m_ok = !m_near.empty();
        return m_ok;
    }

    // 64 walkers near the centre, the first ten knocked down.
    void Populate()
    {
        g_HumanManager.Clear();
        std::srand(64);
        for (int i = 0; i < HUMAN_MANAGER_CAPACITY; ++i) {
            const D3DXVECTOR3 at = m_near[std::rand() % m_near.size()];
            const D3DXVECTOR3 aim = at + D3DXVECTOR3(float(std::rand() % 201 - 100), 0, float(std::rand() % 201 - 100));
            CHuman* h = g_HumanManager.CreateHuman(g_HumanModelPaths[i % 2], nullptr, nullptr, i % 2);
            if (!g_Landscape.MakeRandomWalkwayRoute(h->m_WalkPath, &h->m_nWalkPath, &at, &aim, 4, 4, 20, 0.6f))
                h->m_nWalkPath = 0;
            const D3DXVECTOR3 next = h->m_nWalkPath > 1 ? h->m_WalkPath[1] : aim;
            h->SetPosition(&at, &next);
            h->SetAction(ACTION_WALK);
            if (i < kRagdolls)
                h->SetRagdoll(1);
        }
    }

    bool m_started = false, m_ok = false;
    IDirect3D9* m_d3d = nullptr;
    std::vector<D3DXVECTOR3> m_near;
};

Corner s_corner;

void BM_HumanManagerUpdate(benchmark::State& state)
{
    if (!s_corner.Start()) {
        state.SkipWithError("no sample corner");
        return;
    }
    s_corner.Populate();
    int frames = 0;
    for (auto _ : state) {
        g_HumanManager.Update();
        // The step runs outside the timing: this measures the update alone.
        state.PauseTiming();
        g_Game.StepPhysics();
        if (++frames % 600 == 0 || g_HumanManager.m_nHumans < HUMAN_MANAGER_CAPACITY)
            s_corner.Populate();
        state.ResumeTiming();
    }
    state.counters["humans"] = static_cast<double>(g_HumanManager.m_nHumans);
}
BENCHMARK(BM_HumanManagerUpdate)->Unit(benchmark::kMicrosecond);

// The game's step with the 64 bodies: arg 0 while the ragdolls fall (the
// first 60 frames after the knock-downs), arg 1 once they have come to rest.
void BM_GameStep(benchmark::State& state)
{
    if (!s_corner.Start()) {
        state.SkipWithError("no sample corner");
        return;
    }
    const bool resting = state.range(0) == 1;
    s_corner.Populate();
    if (resting) {
        for (int i = 0; i < 600; ++i) {
            g_Game.StepPhysics();
            g_HumanManager.Update();
        }
    }
    int frames = 0;
    for (auto _ : state) {
        g_Game.StepPhysics();
        if (!resting && ++frames % 60 == 0) {
            state.PauseTiming();
            s_corner.Populate();
            state.ResumeTiming();
        }
    }
    int inWorld = 0;
    for (std::uint32_t i = 0; i < g_HumanManager.m_nHumans; ++i)
        inWorld += g_HumanManager.m_pHumans[i]->m_pRagdoll && g_HumanManager.m_pHumans[i]->m_bInWorld;
    state.counters["ragdolls_in_world"] = inWorld;
}
BENCHMARK(BM_GameStep)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The same bodies in a bare world: 54 standing boxes and 10 falling ragdolls
// on the terrain's heightfield.
void BM_BareStep(benchmark::State& state)
{
    if (!s_corner.Start()) {
        state.SkipWithError("no sample corner");
        return;
    }
    s_corner.Populate();
    auto bare = std::make_unique<BareWorld>();
    bare->world.setGravity(g_Game.m_pDynamicsWorld->getGravity());
    btDiscreteDynamicsWorld* gameWorld = g_Game.m_pDynamicsWorld;
    std::vector<std::unique_ptr<btRigidBody>> standing;
    std::vector<std::unique_ptr<btDefaultMotionState>> states;
    std::vector<CHumanRagdoll*> ragdolls;
    if (g_Landscape.m_pTerrainBody)
        bare->world.addRigidBody(g_Landscape.m_pTerrainBody);
    g_Game.m_pDynamicsWorld = &bare->world;
    int frames = 0;
    auto build = [&]() {
        for (CHumanRagdoll* r : ragdolls)
            delete r;
        ragdolls.clear();
        for (auto& b : standing)
            bare->world.removeRigidBody(b.get());
        standing.clear();
        states.clear();
        for (std::uint32_t i = 0; i < g_HumanManager.m_nHumans; ++i) {
            CHuman* h = g_HumanManager.m_pHumans[i];
            if (!h->m_pRigidBody)
                continue;
            btTransform t = h->m_pRigidBody->getWorldTransform();
            if (i < kRagdolls) {
                auto* r = new CHumanRagdoll(h, t);
                r->AddToWorld();
                ragdolls.push_back(r);
                continue;
            }
            states.push_back(std::make_unique<btDefaultMotionState>(t));
            btVector3 inertia(0, 0, 0);
            h->m_pRigidBody->getCollisionShape()->calculateLocalInertia(75.0f, inertia);
            standing.push_back(std::make_unique<btRigidBody>(75.0f, states.back().get(),
                                                             h->m_pRigidBody->getCollisionShape(), inertia));
            standing.back()->setActivationState(DISABLE_DEACTIVATION);
            bare->world.addRigidBody(standing.back().get());
        }
    };
    g_Game.m_pDynamicsWorld = gameWorld;
    s_corner.Populate();
    g_Game.m_pDynamicsWorld = &bare->world;
    build();
    for (auto _ : state) {
        bare->world.stepSimulation(kStep, 1, kStep);
        if (++frames % 60 == 0) {
            state.PauseTiming();
            build();
            state.ResumeTiming();
        }
    }
    for (CHumanRagdoll* r : ragdolls)
        delete r;
    for (auto& b : standing)
        bare->world.removeRigidBody(b.get());
    if (g_Landscape.m_pTerrainBody)
        bare->world.removeRigidBody(g_Landscape.m_pTerrainBody);
    g_Game.m_pDynamicsWorld = gameWorld;
}
BENCHMARK(BM_BareStep)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
