// Route searches and height queries on the sample city: the path finder at
// the open limit most callers use, the short traffic search, the exact height
// query every wheel and particle asks, and the wide nearest-cell scan of a
// road reset.
#include "shell/FileManager.h"
#include "shell/Settings.h"
#include "world/Landscape.h"
#include "writers/SampleCity.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

namespace {

void LoadSampleCity()
{
    static bool loaded = false;
    if (loaded)
        return;
    loaded = true;
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "morvaine_bench_landscape";
    std::filesystem::create_directories(dir);
    tools::WriteLandscapeFiles(dir.string(), tools::SampleCityMaps());
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    g_bFileManager = 0;
    g_FileManager.Init();
    g_Landscape.Init();
    std::filesystem::current_path(previous);
}

std::vector<D3DXVECTOR3> RoadPoints(int n)
{
    std::vector<D3DXVECTOR3> out;
    std::srand(4321);
    while (static_cast<int>(out.size()) < n) {
        const int column = 290 + std::rand() % 130, row = 390 + std::rand() % 190;
        if (g_Landscape.Route(column, row).m_nType == ROUTE_ROAD)
            out.push_back(g_Landscape.Route(column, row).m_vPosition);
    }
    return out;
}

// Pairs of road points 200 to 1000 units apart.
std::vector<std::pair<D3DXVECTOR3, D3DXVECTOR3>> FarPairs(int n)
{
    const std::vector<D3DXVECTOR3> points = RoadPoints(4 * n);
    std::vector<std::pair<D3DXVECTOR3, D3DXVECTOR3>> out;
    for (std::size_t i = 0; i + 1 < points.size() && static_cast<int>(out.size()) < n; ++i)
        for (std::size_t j = i + 1; j < points.size(); ++j) {
            const D3DXVECTOR3 d = points[j] - points[i];
            const float dist = std::sqrt(d.x * d.x + d.z * d.z);
            if (dist >= 200.0f && dist <= 1000.0f) {
                out.emplace_back(points[i], points[j]);
                break;
            }
        }
    return out;
}

void BM_FindRoutePath(benchmark::State& state)
{
    LoadSampleCity();
    const auto pairs = FarPairs(64);
    std::unique_ptr<D3DXVECTOR3[]> points(new D3DXVECTOR3[ROUTE_MAX_POINTS]);
    std::uint32_t count = 0;
    std::size_t i = 0, found = 0;
    for (auto _ : state) {
        const auto& p = pairs[i++ % pairs.size()];
        found += g_Landscape.FindRoutePath(points.get(), &count, &p.first, &p.second, 3, 3, 0, 0, 2, -1.0f, 2048);
        benchmark::DoNotOptimize(points[0]);
    }
    state.counters["found"] = static_cast<double>(found) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_FindRoutePath);

// A goal the roads never reach (the introduction's corridor is not road):
// the search floods the whole road network before it gives up.
void BM_SearchFloodsTheRoads(benchmark::State& state)
{
    LoadSampleCity();
    static RouteCellPair cells[ROUTE_MAX_POINTS];
    std::uint32_t count = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(g_Landscape.SearchGrid(356, 482, 278, 395, cells, &count, 3, 3, 2048));
}
BENCHMARK(BM_SearchFloodsTheRoads);

void BM_TrafficSearch(benchmark::State& state)
{
    LoadSampleCity();
    const std::vector<D3DXVECTOR3> starts = RoadPoints(64);
    std::unique_ptr<D3DXVECTOR3[]> points(new D3DXVECTOR3[ROUTE_MAX_POINTS]);
    std::uint32_t count = 0;
    std::size_t i = 0, found = 0;
    for (auto _ : state) {
        D3DXVECTOR3 p = starts[i++ % starts.size()];
        found += g_Landscape.FindRandomRoadPath(points.get(), &count, &p, 100.0f, 3, 3, 100);
    }
    state.counters["found"] = static_cast<double>(found) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_TrafficSearch);

void BM_GetExactAltitude(benchmark::State& state)
{
    LoadSampleCity();
    std::vector<D3DXVECTOR3> points(4096);
    std::srand(99);
    for (D3DXVECTOR3& p : points)
        p = D3DXVECTOR3(static_cast<float>(std::rand() % 240000) / 100.0f - 1200.0f, 0.0f,
                        static_cast<float>(std::rand() % 240000) / 100.0f - 1200.0f);
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(GetExactAltitude(&points[i++ & 4095]));
}
BENCHMARK(BM_GetExactAltitude);

void BM_FindNearestRouteCell200Rings(benchmark::State& state)
{
    LoadSampleCity();
    const D3DXVECTOR3 lost(-600.0f, 16.0f, 300.0f); // far from every road
    for (auto _ : state)
        benchmark::DoNotOptimize(g_Landscape.FindNearestRouteCell(ROUTE_ROAD, &lost, 200));
}
BENCHMARK(BM_FindNearestRouteCell200Rings);

} // namespace

BENCHMARK_MAIN();
