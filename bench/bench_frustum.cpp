// Frustum tests of the main camera over 10,000 scattered spheres, the cost
// every visibility refresh pays per object.
#include "graphics/WorldCamera.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

namespace {

struct Sphere {
    D3DXVECTOR3 centre;
    float radius;
};

std::vector<Sphere> ScatteredSpheres(int count)
{
    std::srand(12345);
    std::vector<Sphere> spheres(count);
    for (Sphere& s : spheres) {
        const float x = static_cast<float>(std::rand() % 2000) - 1000.0f;
        const float z = static_cast<float>(std::rand() % 2000) - 1000.0f;
        s.centre = D3DXVECTOR3(x, static_cast<float>(std::rand() % 40), z);
        s.radius = 1.0f + static_cast<float>(std::rand() % 20);
    }
    return spheres;
}

void BM_SphereVisibility(benchmark::State& state)
{
    CWorldCamera camera{};
    const D3DXVECTOR3 eye(225.0f, 20.0f, -740.0f);
    const D3DXVECTOR3 target(225.0f, 20.0f, -700.0f);
    camera.Init(&eye, &target, D3DX_PI / 2.0f, 1.1f, 0.2f, 600.0f, 0);
    const std::vector<Sphere> spheres = ScatteredSpheres(10000);
    for (auto _ : state) {
        unsigned visible = 0;
        for (const Sphere& s : spheres)
            visible += camera.IsSphereVisible(&s.centre, s.radius);
        benchmark::DoNotOptimize(visible);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(spheres.size()));
    camera.Release();
}
BENCHMARK(BM_SphereVisibility);

} // namespace

BENCHMARK_MAIN();
