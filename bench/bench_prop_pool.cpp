// The prop pool's per-frame work with the sample city's props placed, and
// with the pool filled to its 5120 props: the update of every prop, the
// 10 Hz visibility refresh and the occlusion by the nearest buildings. The
// camera stands on a downtown street looking along it.
#include "BenchScene.h"

#include "graphics/D3DRender.h"
#include "graphics/MeshContainer.h"
#include "graphics/WorldCamera.h"
#include "shell/FileManager.h"
#include "shell/Game.h"
#include "shell/GameTimer.h"
#include "shell/Settings.h"
#include "world/Prop.h"
#include "world/PropManager.h"
#include "writers/CityPlacement.h"
#include "writers/FileBytes.h"
#include "writers/ObjectDescriptions.h"
#include "writers/PropDescriptions.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

struct Scene {
    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    CWorldCamera camera;
    bool ready = false;

    Scene()
    {
        device = bench::MakeHeadlessDevice(&d3d);
        if (!device || !bench::EnterScratchFolder("morvaine_bench_props"))
            return;
        for (const auto& list : {tools::SampleObjectDescriptions(), tools::SampleObjectMeshes(),
                                 tools::SampleObjectTextures(), tools::SamplePropFiles()})
            for (const tools::SampleFile& f : list)
                tools::WriteFileBytes(f.path, f.bytes);
        g_D3DRender.m_pDevice = device;
        g_bFileManager = 0;
        g_FileManager.Init();
        g_nViewDistance = 600;
        g_Game.InitPhysics();
        camera.SetProjection(1.0472f, 4.0f / 3.0f, 0.2f, 600.0f);
        const D3DXVECTOR3 eye(226.0f - 3.0f, 18.0f, -560.0f), target(226.0f - 3.0f, 18.0f, -700.0f), up(0, 1, 0);
        camera.SetView(&eye, &target, &up);
        g_Game.m_pCamera = &camera;
        ready = true;
    }

    // The sample city's props, repeated with a shift until `count` are placed.
    void Fill(std::size_t count)
    {
        g_PropManager.Init();
        const auto props = tools::SampleCityProps();
        const D3DXVECTOR3 up(0, 1, 0);
        for (std::size_t i = 0; g_PropManager.m_nProps < count && i < count * 2; ++i) {
            const tools::PlacedProp& p = props[i % props.size()];
            const float shift = static_cast<float>(i / props.size()) * 600.0f;
            const D3DXVECTOR3 at(p.x, p.y, p.z - shift), target(p.targetX, p.targetY, p.targetZ - shift);
            g_PropManager.AddProp(p.path.c_str(), &at, &target, &up, 0);
        }
        g_PropManager.RefreshVisibility();
    }
};

Scene& TheScene()
{
    static Scene scene;
    return scene;
}

void Prepare(benchmark::State& state)
{
    Scene& scene = TheScene();
    if (!scene.ready) {
        state.SkipWithError("no headless device");
        return;
    }
    scene.Fill(static_cast<std::size_t>(state.range(0)));
    g_GameTimer.m_fDelta = 0.02f;
    state.counters["props"] = static_cast<double>(g_PropManager.m_nProps);
}

void BM_PropUpdate(benchmark::State& state)
{
    Prepare(state);
    for (auto _ : state)
        g_PropManager.Update();
    g_PropManager.Clear();
}

void BM_PropRefreshVisibility(benchmark::State& state)
{
    Prepare(state);
    for (auto _ : state)
        g_PropManager.RefreshVisibility();
    g_PropManager.Clear();
}

void BM_PropBuildingOcclusion(benchmark::State& state)
{
    Prepare(state);
    g_PropManager.m_fSortTimer = 1.0f;
    g_PropManager.SortBuildings();
    for (auto _ : state) {
        state.PauseTiming();
        g_PropManager.RefreshVisibility();
        state.ResumeTiming();
        g_PropManager.ApplyBuildingOcclusion();
    }
    g_PropManager.Clear();
}

// 205 props of the sample city, and the full pool.
BENCHMARK(BM_PropUpdate)->Arg(205)->Arg(PROP_POOL_SIZE)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PropRefreshVisibility)->Arg(205)->Arg(PROP_POOL_SIZE)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PropBuildingOcclusion)->Arg(205)->Arg(PROP_POOL_SIZE)->Unit(benchmark::kMicrosecond);

} // namespace
BENCHMARK_MAIN();
