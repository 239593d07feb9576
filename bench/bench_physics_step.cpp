// The physics step of a city scene: raycast cars driving circles on a large
// triangle-mesh terrain among pedestrian-sized bodies, stepped once through
// the game (collision table in the broadphase and the near callback, the
// contact pass after each step) and once in a bare world of the physics
// library holding the same bodies. Prints the game's cost as a ratio.
#include "objects/StaticObject.h"
#include "roadusers/Human.h"
#include "roadusers/Vehicle.h"
#include "shell/Game.h"
#include "shell/GameTimer.h"
#include "shell/Settings.h"
#include "support/ContactRecord.h"
#include "world/Landscape.h"

#include <benchmark/benchmark.h>
#include <btBulletDynamicsCommon.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

const float kStep = 1.0f / 60.0f;
const int kGridCells = 150;   // terrain cells per side
const float kCellSize = 4.0f; // 600 x 600 world units, 45,000 triangles
const int kPedestrians = 20;

// The terrain: a gently rolling triangle mesh.
struct Terrain {
    std::vector<float> vertices;
    std::vector<int> indices;
    std::unique_ptr<btTriangleIndexVertexArray> array;
    std::unique_ptr<btBvhTriangleMeshShape> shape;
};

std::unique_ptr<Terrain> BuildTerrain()
{
    auto terrain = std::make_unique<Terrain>();
    const int n = kGridCells + 1;
    const float half = kGridCells * kCellSize * 0.5f;
    for (int z = 0; z < n; ++z)
        for (int x = 0; x < n; ++x) {
            const float wx = x * kCellSize - half, wz = z * kCellSize - half;
            terrain->vertices.insert(terrain->vertices.end(),
                                     {wx, 0.6f * std::sin(wx * 0.05f) * std::cos(wz * 0.04f), wz});
        }
    for (int z = 0; z < kGridCells; ++z)
        for (int x = 0; x < kGridCells; ++x) {
            const int i = z * n + x;
            terrain->indices.insert(terrain->indices.end(), {i, i + n, i + 1, i + 1, i + n, i + n + 1});
        }
    terrain->array = std::make_unique<btTriangleIndexVertexArray>(
        static_cast<int>(terrain->indices.size() / 3), terrain->indices.data(), 3 * sizeof(int),
        static_cast<int>(terrain->vertices.size() / 3), terrain->vertices.data(), 3 * sizeof(float));
    terrain->shape = std::make_unique<btBvhTriangleMeshShape>(terrain->array.get(), true, true);
    return terrain;
}

// A scene's bodies, vehicles and owners in one world.
struct Scene {
    btDiscreteDynamicsWorld* world = nullptr;
    std::unique_ptr<btVehicleRaycaster> raycaster;
    std::vector<std::unique_ptr<btRaycastVehicle>> vehicles;
    std::vector<std::unique_ptr<CVehicle>> cars;
    std::vector<std::unique_ptr<CHuman>> pedestrians;
    btBoxShape chassis{btVector3(1.0f, 0.5f, 2.2f)};
    btBoxShape pedestrian{btVector3(0.2f, 0.85f, 0.15f)};
};

btRigidBody* AddBody(Scene* scene, btCollisionShape* shape, float mass, const btVector3& at, void* owner)
{
    btVector3 inertia(0, 0, 0);
    if (mass > 0.0f)
        shape->calculateLocalInertia(mass, inertia);
    btTransform transform;
    transform.setIdentity();
    transform.setOrigin(at);
    auto* body = new btRigidBody(mass, new btDefaultMotionState(transform), shape, inertia);
    body->setUserPointer(owner);
    scene->world->addRigidBody(body);
    return body;
}

void AddCar(Scene* scene, const btVector3& at, void* owner)
{
    btRigidBody* body = AddBody(scene, &scene->chassis, 900.0f, at, owner);
    body->setActivationState(DISABLE_DEACTIVATION);
    btRaycastVehicle::btVehicleTuning tuning;
    auto vehicle = std::make_unique<btRaycastVehicle>(tuning, body, scene->raycaster.get());
    vehicle->setCoordinateSystem(0, 1, 2);
    const btVector3 down(0, -1, 0), axle(-1, 0, 0);
    for (int w = 0; w < 4; ++w) {
        const btVector3 point((w & 1) ? 0.9f : -0.9f, -0.2f, (w & 2) ? 1.5f : -1.5f);
        btWheelInfo& wheel = vehicle->addWheel(point, down, axle, 0.5f, 0.35f, tuning, (w & 2) != 0);
        wheel.m_suspensionStiffness = 30.0f;
        wheel.m_wheelsDampingRelaxation = 2.3f;
        wheel.m_wheelsDampingCompression = 4.4f;
        wheel.m_frictionSlip = 1.2f;
    }
    scene->world->addVehicle(vehicle.get());
    scene->vehicles.push_back(std::move(vehicle));
}

// Cars on a grid 24 units apart, each turning its own circle; pedestrians in
// the paths of some of them.
void Populate(Scene* scene, int carCount, bool game)
{
    const int perRow = static_cast<int>(std::ceil(std::sqrt(static_cast<float>(carCount))));
    for (int i = 0; i < carCount; ++i) {
        const btVector3 at((i % perRow - perRow / 2) * 24.0f, 1.6f, (i / perRow - perRow / 2) * 24.0f);
        void* owner = nullptr;
        if (game) {
            scene->cars.push_back(std::make_unique<CVehicle>());
            scene->cars.back()->m_nType = GTYPE_VEHICLE;
            owner = scene->cars.back().get();
        }
        AddCar(scene, at, owner);
    }
    for (int i = 0; i < kPedestrians; ++i) {
        const btVector3 at((i % perRow - perRow / 2) * 24.0f + 6.0f, 1.0f, (i / perRow - perRow / 2) * 24.0f + 3.0f);
        void* owner = nullptr;
        if (game) {
            scene->pedestrians.push_back(std::make_unique<CHuman>());
            CHuman* human = scene->pedestrians.back().get();
            human->m_nType = GTYPE_HUMAN;
            human->m_pRagdoll = reinterpret_cast<CHumanRagdoll*>(human); // knocked down: a ragdoll part
            owner = human;
        }
        AddBody(scene, &scene->pedestrian, 8.0f, at, owner);
    }
    for (std::size_t i = 0; i < scene->vehicles.size(); ++i) {
        btRaycastVehicle* vehicle = scene->vehicles[i].get();
        for (int w = 2; w < 4; ++w)
            vehicle->setSteeringValue((i & 1) ? 0.3f : -0.3f, w);
        for (int w = 0; w < 2; ++w)
            vehicle->applyEngineForce(900.0f, w);
    }
}

void ReleaseScene(Scene* scene)
{
    for (auto& vehicle : scene->vehicles)
        scene->world->removeVehicle(vehicle.get());
    btCollisionObjectArray& objects = scene->world->getCollisionObjectArray();
    for (int i = objects.size() - 1; i >= 0; --i) {
        btCollisionObject* object = objects[i];
        if (btRigidBody* body = btRigidBody::upcast(object))
            delete body->getMotionState();
        scene->world->removeCollisionObject(object);
        delete object;
    }
}

Terrain& SharedTerrain()
{
    static std::unique_ptr<Terrain> terrain = BuildTerrain();
    return *terrain;
}

void BM_GameStep(benchmark::State& state)
{
    g_bDebugOut = 0;
    g_Game.InitPhysics();
    Scene scene;
    scene.world = g_Game.m_pDynamicsWorld;
    scene.raycaster = std::make_unique<btDefaultVehicleRaycaster>(scene.world);
    AddBody(&scene, SharedTerrain().shape.get(), 0.0f, btVector3(0, 0, 0), &g_Landscape);
    Populate(&scene, static_cast<int>(state.range(0)), true);
    g_GameTimer.m_fDelta = kStep;
    ClearContactRecord();
    g_pfnCarContact = RecordCarContact;
    g_pfnKnockDown = RecordKnockDown;
    for (auto _ : state)
        g_Game.StepPhysics();
    state.SetItemsProcessed(state.iterations());
    // What the contact pass handed on, to show the scene is in contact.
    state.counters["contacts/step"] =
        static_cast<double>(g_ContactRecord.nCarContacts) / static_cast<double>(state.iterations());
    state.counters["knock-downs"] = g_ContactRecord.nKnockDowns;
    ReleaseScene(&scene);
    g_Game.ReleasePhysics();
}

void BM_BareStep(benchmark::State& state)
{
    btDefaultCollisionConfiguration config;
    btAxisSweep3 broadphase(btVector3(-1500, -1500, -1500), btVector3(1500, 1500, 1500), PHYSICS_MAX_BODIES);
    btCollisionDispatcher dispatcher(&config);
    btSequentialImpulseConstraintSolver solver;
    btDiscreteDynamicsWorld world(&dispatcher, &broadphase, &solver, &config);
    world.setGravity(btVector3(0, -10, 0));
    Scene scene;
    scene.world = &world;
    scene.raycaster = std::make_unique<btDefaultVehicleRaycaster>(scene.world);
    AddBody(&scene, SharedTerrain().shape.get(), 0.0f, btVector3(0, 0, 0), nullptr);
    Populate(&scene, static_cast<int>(state.range(0)), false);
    for (auto _ : state)
        world.stepSimulation(kStep, 0, kStep);
    state.SetItemsProcessed(state.iterations());
    ReleaseScene(&scene);
}

BENCHMARK(BM_GameStep)->Arg(50)->Arg(100)->Unit(benchmark::kMicrosecond)->MinTime(2.0);
BENCHMARK(BM_BareStep)->Arg(50)->Arg(100)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            m_time[run.benchmark_name()] = run.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
    void PrintRatios()
    {
        for (const char* cars : {"50", "100"}) {
            const double game = m_time[std::string("BM_GameStep/") + cars + "/min_time:2.000"];
            const double bare = m_time[std::string("BM_BareStep/") + cars + "/min_time:2.000"];
            if (game > 0.0 && bare > 0.0)
                std::printf("%s cars, %d pedestrian bodies: game step %.1f us, bare step %.1f us (CPU), ratio %.3f\n",
                            cars, kPedestrians, game, bare, game / bare);
        }
    }

private:
    std::map<std::string, double> m_time;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
