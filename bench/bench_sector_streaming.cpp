// A camera driven across the sample city at 100 km/h and 60 frames a second:
// per frame, the landscape update (streaming, activations, fillers, sector
// ticks) and the submission of the ground, road, sidewalk and water draws
// to the headless device. Reports the median and the worst frame of each and
// the draw calls of a frame.
#include "BenchScene.h"

#include "graphics/D3DRender.h"
#include "shell/FileManager.h"
#include "shell/Game.h"
#include "shell/GameTimer.h"
#include "shell/Settings.h"
#include "world/Landscape.h"
#include "writers/SampleCity.h"
#include "writers/SectorFiles.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

void LoadCity()
{
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "morvaine_bench_sectors";
    std::filesystem::create_directories(dir);
    tools::WriteSampleCity(dir.string());
    tools::WriteSectorFiles(dir.string(), tools::SampleCityMaps(), {});
    std::filesystem::current_path(dir);
    g_bFileManager = 0;
    g_FileManager.Init();
    g_Landscape.Init();
    g_Landscape.BuildSectors();
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

double Micros(Clock::duration d)
{
    return std::chrono::duration<double, std::micro>(d).count();
}

// West to east along the street at z = -502 and back north along x = 226.
void DriveAcrossTheCity(benchmark::State& state)
{
    static IDirect3D9* d3d = nullptr;
    // A device forgets its calls unless told before it is made to keep them,
    // and the draw count is read from them.
    plat::KeepDeviceCalls(true);
    static IDirect3DDevice9* device = bench::MakeHeadlessDevice(&d3d);
    g_D3DRender.m_pDevice = device;
    static const bool loaded = (LoadCity(), true);
    static_cast<void>(loaded);
    g_Game.m_pCamera = &g_Game.m_Cameras[0];
    const float step = 100.0f / 3.6f / 60.0f;
    std::vector<double> update, draw, frameTotal;
    double calls = 0.0;
    for (auto _ : state) {
        update.clear();
        draw.clear();
        frameTotal.clear();
        D3DXVECTOR3 eye(-600.0f, 18.0f, -502.0f);
        g_GameTimer.m_fRealDelta = 1.0f / 60.0f;
        g_GameTimer.m_fDelta = 1.0f / 60.0f;
        // The start streams in everything in view at once, as a new game
        // does behind its loading screen: not part of the drive.
        g_Game.m_pCamera->m_vEye = eye;
        g_Landscape.ForceRestream();
        g_Landscape.m_fRefreshTimer = 0.125f;
        for (int frame = 0; frame < 60 * 60; ++frame) {
            if (frame < 60 * 36)
                eye.x += step;
            else
                eye.z += step;
            g_Game.m_pCamera->m_vEye = eye;
            g_Game.m_pCamera->m_vTarget = eye + D3DXVECTOR3(frame < 60 * 36 ? 10.0f : 0.0f, -1.0f,
                                                              frame < 60 * 36 ? 0.0f : 10.0f);
            g_Game.m_pCamera->UpdateView();
            const Clock::time_point t0 = Clock::now();
            g_Landscape.Update();
            const Clock::time_point t1 = Clock::now();
            g_Landscape.UpdateSectorVisibility();
            plat::RecordedCalls(device).Clear();
            const Clock::time_point t2 = Clock::now();
            g_Landscape.Render();
            g_Landscape.RenderWater();
            const Clock::time_point t3 = Clock::now();
            update.push_back(Micros(t1 - t0));
            draw.push_back(Micros(t3 - t2));
            frameTotal.push_back(Micros(t1 - t0) + Micros(t3 - t2));
            calls += static_cast<double>(plat::RecordedCalls(device).Count(plat::D3DOp::DrawIndexedPrimitive));
        }
    }
    state.counters["update_median_us"] = Median(update);
    state.counters["update_max_us"] = update.empty() ? 0.0 : *std::max_element(update.begin(), update.end());
    state.counters["draw_median_us"] = Median(draw);
    state.counters["draw_max_us"] = draw.empty() ? 0.0 : *std::max_element(draw.begin(), draw.end());
    state.counters["frame_median_us"] = Median(frameTotal);
    state.counters["frame_max_us"] =
        frameTotal.empty() ? 0.0 : *std::max_element(frameTotal.begin(), frameTotal.end());
    const double limit = 2.0 * Median(frameTotal);
    state.counters["frames_over_2x_median"] = static_cast<double>(
        std::count_if(frameTotal.begin(), frameTotal.end(), [limit](double t) { return t > limit; }));
    state.counters["draw_calls_per_frame"] =
        calls / static_cast<double>(std::max<std::size_t>(draw.size(), 1) * state.iterations());
}

BENCHMARK(DriveAcrossTheCity)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
