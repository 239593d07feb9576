// Ray queries against a 20,000-triangle mesh: the box-tree collision model
// next to the physics library's triangle-mesh tree, on the same triangles and
// the same rays, plus the build time of both trees. Prints the speed ratios
// after the table.
#include "objects/CollisionTestMeshes.h"

#include <benchmark/benchmark.h>
#include <BulletCollision/NarrowPhaseCollision/btRaycastCallback.h>
#include <btBulletCollisionCommon.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

const int kRayCount = 4096;
const float kRayLength = 200.0f;

using Ray = test::DownRay;

const std::vector<test::Tri>& Mesh()
{
    static const std::vector<test::Tri> tris = test::HeightField(100); // 100 x 100 cells, 2 triangles each
    return tris;
}

// Rays from random points above the mesh, heading down at random slants.
const std::vector<Ray>& Rays()
{
    static const std::vector<Ray> rays = test::DownwardRays(kRayCount, 1234);
    return rays;
}

CBoxTreeCollisionModel& OurModel()
{
    static std::unique_ptr<CBoxTreeCollisionModel> model = test::BuildModel(Mesh());
    return *model;
}

// The physics library's mesh: its vertex and index arrays must outlive it.
struct BulletMesh {
    std::vector<float> vertices;
    std::vector<int> indices;
    std::unique_ptr<btTriangleIndexVertexArray> array;
    std::unique_ptr<btBvhTriangleMeshShape> shape;
};

std::unique_ptr<BulletMesh> BuildBulletMesh()
{
    auto mesh = std::make_unique<BulletMesh>();
    for (const test::Tri& t : Mesh()) {
        for (int k = 0; k < 9; ++k) {
            mesh->vertices.push_back(t.v[k]);
        }
    }
    for (size_t i = 0; i < Mesh().size() * 3; ++i) {
        mesh->indices.push_back(static_cast<int>(i));
    }
    mesh->array = std::make_unique<btTriangleIndexVertexArray>(
        static_cast<int>(Mesh().size()), mesh->indices.data(), 3 * static_cast<int>(sizeof(int)),
        static_cast<int>(mesh->vertices.size() / 3), mesh->vertices.data(), 3 * static_cast<int>(sizeof(float)));
    mesh->shape = std::make_unique<btBvhTriangleMeshShape>(mesh->array.get(), true);
    return mesh;
}

BulletMesh& TheirMesh()
{
    static std::unique_ptr<BulletMesh> mesh = BuildBulletMesh();
    return *mesh;
}

// Keeps the nearest hit; with firstHit, every later triangle is refused
// (the tree walk itself has no early exit).
struct RayResult : public btTriangleRaycastCallback {
    RayResult(const btVector3& from, const btVector3& to, bool firstHit)
        : btTriangleRaycastCallback(from, to), m_firstHit(firstHit)
    {
    }
    btScalar reportHit(const btVector3&, btScalar fraction, int, int triangleIndex) override
    {
        m_hit = true;
        m_triangle = triangleIndex;
        return m_firstHit ? btScalar(0) : fraction;
    }
    bool m_firstHit;
    bool m_hit = false;
    int m_triangle = -1;
};

bool TheirRay(const Ray& r, bool firstHit, float* fraction)
{
    const btVector3 from(r.origin[0], r.origin[1], r.origin[2]);
    const btVector3 to = from + btVector3(r.direction[0], r.direction[1], r.direction[2]) * kRayLength;
    RayResult result(from, to, firstHit);
    TheirMesh().shape->performRaycast(&result, from, to);
    if (fraction != nullptr) {
        *fraction = static_cast<float>(result.m_hitFraction);
    }
    return result.m_hit;
}

void OurRays(benchmark::State& state, bool closest)
{
    CBoxTreeCollisionModel& model = OurModel();
    const std::vector<Ray>& rays = Rays();
    size_t next = 0;
    int hits = 0;
    for (auto _ : state) {
        const Ray& r = rays[next];
        next = (next + 1) % rays.size();
        hits += model.IntersectRay(r.origin, r.direction, closest, 0.0f, kRayLength) ? 1 : 0;
    }
    benchmark::DoNotOptimize(hits);
    state.SetItemsProcessed(state.iterations());
}

void TheirRays(benchmark::State& state, bool firstHit)
{
    TheirMesh();
    const std::vector<Ray>& rays = Rays();
    size_t next = 0;
    int hits = 0;
    for (auto _ : state) {
        hits += TheirRay(rays[next], firstHit, nullptr) ? 1 : 0;
        next = (next + 1) % rays.size();
    }
    benchmark::DoNotOptimize(hits);
    state.SetItemsProcessed(state.iterations());
}

void BM_BoxTreeRayClosest(benchmark::State& state) { OurRays(state, true); }
void BM_BoxTreeRayFirstHit(benchmark::State& state) { OurRays(state, false); }
void BM_BulletBvhRayClosest(benchmark::State& state) { TheirRays(state, false); }
void BM_BulletBvhRayFirstHit(benchmark::State& state) { TheirRays(state, true); }

void BM_BoxTreeBuild20000(benchmark::State& state)
{
    for (auto _ : state) {
        auto model = test::BuildModel(Mesh());
        benchmark::DoNotOptimize(model.get());
    }
}

void BM_BulletBvhBuild20000(benchmark::State& state)
{
    TheirMesh();
    for (auto _ : state) {
        btBvhTriangleMeshShape shape(TheirMesh().array.get(), true);
        benchmark::DoNotOptimize(&shape);
    }
}

BENCHMARK(BM_BoxTreeRayClosest);
BENCHMARK(BM_BulletBvhRayClosest);
BENCHMARK(BM_BoxTreeRayFirstHit);
BENCHMARK(BM_BulletBvhRayFirstHit);
BENCHMARK(BM_BoxTreeBuild20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BulletBvhBuild20000)->Unit(benchmark::kMillisecond);

// Both trees must agree on the nearest hit of every ray before their speeds
// mean anything.
void CheckAgreement()
{
    int disagreements = 0;
    int hits = 0;
    for (const Ray& r : Rays()) {
        float fraction = 1.0f;
        const bool theirs = TheirRay(r, false, &fraction);
        const bool ours = OurModel().IntersectRay(r.origin, r.direction, true, 0.0f, kRayLength);
        float point[3] = {};
        OurModel().GetCollisionPoint(point, true);
        const float ourT = ours ? (point[1] - r.origin[1]) / r.direction[1] : 0.0f;
        hits += ours ? 1 : 0;
        if (ours != theirs || (ours && std::fabs(ourT - fraction * kRayLength) > 1e-2f)) {
            ++disagreements;
        }
    }
    std::printf("%d rays, %d hits, %d disagreements with the physics library\n", kRayCount, hits, disagreements);
}

class RatioReporter : public benchmark::ConsoleReporter {
public:
    // The ratios come from the median of the repetitions (a single run on a
    // busy machine swings by more than the differences measured).
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
            if (!median && !single)
                continue;
            const std::string name = run.run_name.function_name;
            const auto items = run.counters.find("items_per_second");
            m_rate[name] = items != run.counters.end() ? double(items->second) : 0.0;
            m_time[name] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void PrintRatios()
    {
        Ratio("closest rays", m_rate["BM_BoxTreeRayClosest"], m_rate["BM_BulletBvhRayClosest"], "queries/s");
        Ratio("first-hit rays", m_rate["BM_BoxTreeRayFirstHit"], m_rate["BM_BulletBvhRayFirstHit"], "queries/s");
        const double ourBuild = m_time["BM_BoxTreeBuild20000"];
        const double theirBuild = m_time["BM_BulletBvhBuild20000"];
        if (ourBuild > 0.0 && theirBuild > 0.0) {
            std::printf("%-26s box tree %.3g ms, physics library %.3g ms, speed ratio %.2f\n", "tree build, 20,000",
                        ourBuild, theirBuild, theirBuild / ourBuild);
        }
    }

private:
    static void Ratio(const char* what, double ours, double theirs, const char* unit)
    {
        if (ours > 0.0 && theirs > 0.0) {
            std::printf("%-26s box tree %.4g %s, physics library %.4g %s, ratio %.2f\n", what, ours, unit, theirs,
                        unit, ours / theirs);
        }
    }
    std::map<std::string, double> m_rate;
    std::map<std::string, double> m_time;
};

} // namespace

int main(int argc, char** argv)
{
    // Five repetitions unless the command line says otherwise.
    std::vector<char*> args(argv, argv + argc);
    bool repetitionsGiven = false;
    for (int i = 1; i < argc; ++i)
        repetitionsGiven = repetitionsGiven || std::string(argv[i]).rfind("--benchmark_repetitions", 0) == 0;
    static char repetitions[] = "--benchmark_repetitions=5";
    static char aggregatesOnly[] = "--benchmark_report_aggregates_only=true";
    if (!repetitionsGiven) {
        args.push_back(repetitions);
        args.push_back(aggregatesOnly);
    }
    argc = int(args.size());
    args.push_back(nullptr);
    argv = args.data();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    CheckAgreement();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
