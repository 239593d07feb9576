// Matrix products and vector transforms, the maths every drawn object uses
// each frame.
#include "platform/D3DX9.h"

#include <benchmark/benchmark.h>

#include <vector>

static D3DXMATRIX SomeMatrix(float seed)
{
    D3DXMATRIX rotate, move;
    const D3DXVECTOR3 axis(1, seed, 2);
    D3DXMatrixRotationAxis(&rotate, &axis, seed);
    D3DXMatrixTranslation(&move, seed, 2 * seed, 3);
    return rotate * move;
}

static void BM_MatrixMultiply(benchmark::State& state)
{
    D3DXMATRIX a = SomeMatrix(0.3f), b = SomeMatrix(0.7f), out;
    for (auto _ : state) {
        D3DXMatrixMultiply(&out, &a, &b);
        benchmark::DoNotOptimize(out);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MatrixMultiply);

static void BM_MatrixInverse(benchmark::State& state)
{
    D3DXMATRIX a = SomeMatrix(0.3f), out;
    for (auto _ : state) {
        benchmark::DoNotOptimize(D3DXMatrixInverse(&out, nullptr, &a));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MatrixInverse);

static void BM_TransformCoord(benchmark::State& state)
{
    const D3DXMATRIX m = SomeMatrix(0.5f);
    std::vector<D3DXVECTOR3> points(size_t(state.range(0)), D3DXVECTOR3(1, 2, 3)), out(points.size());
    for (auto _ : state) {
        for (size_t i = 0; i < points.size(); ++i)
            D3DXVec3TransformCoord(&out[i], &points[i], &m);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_TransformCoord)->Arg(1024);

static void BM_TransformNormal(benchmark::State& state)
{
    const D3DXMATRIX m = SomeMatrix(0.5f);
    std::vector<D3DXVECTOR3> normals(size_t(state.range(0)), D3DXVECTOR3(0, 1, 0)), out(normals.size());
    for (auto _ : state) {
        for (size_t i = 0; i < normals.size(); ++i)
            D3DXVec3TransformNormal(&out[i], &normals[i], &m);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_TransformNormal)->Arg(1024);

static void BM_Project(benchmark::State& state)
{
    D3DXMATRIX view, proj;
    const D3DXVECTOR3 eye(0, 5, -10), at(0, 0, 0), up(0, 1, 0), point(3, 1, 4);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&proj, D3DX_PI / 4, 4.0f / 3.0f, 0.2f, 600.0f);
    const D3DVIEWPORT9 viewport{0, 0, 1024, 768, 0.0f, 1.0f};
    D3DXVECTOR3 out;
    for (auto _ : state) {
        D3DXVec3Project(&out, &point, &viewport, &proj, &view, nullptr);
        benchmark::DoNotOptimize(out);
    }
}
BENCHMARK(BM_Project);

BENCHMARK_MAIN();
