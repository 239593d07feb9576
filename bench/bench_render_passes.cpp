// The world's render passes and post effects on the OpenGL device (software
// rasteriser, offscreen) over the sample city, seen from the camera's start
// with the traffic of a few seconds of play: the cost per frame of the whole
// world frame, of the water, cube and shadow passes, and of the glow, the
// motion blur and the two shadow smoothings, at 800 x 600 and 1024 x 768.
// The main pass is the world frame less the others.
#include "graphics/D3DRender.h"
#include "platform/Backend.h"
#include "platform/D3D9Gl.h"
#include "platform/Win32.h"
#include "shell/FileManager.h"
#include "shell/Game.h"
#include "shell/Settings.h"
#include "shell/WinMain.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

constexpr int kSettleTicks = 100; // the traffic comes in, the camera settles

// The renderer and the game started once per frame size on a copy of the
// build's sample data ("run" next to this program).
class World {
public:
    bool Start(int width, int height)
    {
        if (m_width == width && m_height == height)
            return g_D3DRender.m_pDevice != nullptr;
        Stop();
        const std::filesystem::path run = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "run";
        m_dir = std::filesystem::temp_directory_path() / ("morvaine-bench-passes-" + std::to_string(getpid()));
        std::filesystem::remove_all(m_dir);
        std::filesystem::copy(run, m_dir, std::filesystem::copy_options::recursive);
        std::filesystem::current_path(m_dir);
        plat::SetHeadless(true);
        plat::UseGlDevice(true);
        g_bEditorMode = 1; // the frame at the size asked for
        g_bFileManager = 0;
        g_nShadows = 3;
        g_nDetails = 1;
        g_nTraffic = 2;
        g_bGlow = g_bBlur = g_bReflect = 1;
        g_nWater = 2;
        g_FileManager.Init();
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = "BenchPasses";
        RegisterClassA(&wc);
        g_hWnd = CreateWindowExA(0, "BenchPasses", "BenchPasses", WS_POPUP, 0, 0, width, height, nullptr, nullptr,
                                 nullptr, nullptr);
        if (g_D3DRender.InitD3DRender(g_hWnd, TRUE, width, height) != 0 || g_Game.Init() != 1)
            return false;
        g_Game.NewGame();
        g_bActive = 1;
        g_bInGame = 1;
        for (int i = 0; i < kSettleTicks; ++i)
            g_Game.Tick();
        m_width = width;
        m_height = height;
        return true;
    }
    void Stop()
    {
        if (!m_width)
            return;
        g_Game.Reset();
        g_Game.Release();
        g_D3DRender.FreeD3DRender();
        std::filesystem::current_path(std::filesystem::temp_directory_path());
        std::filesystem::remove_all(m_dir);
        m_width = m_height = 0;
    }
    ~World() { Stop(); }

private:
    std::filesystem::path m_dir;
    int m_width = 0;
    int m_height = 0;
};

World s_world;

template <typename Step>
void PerFrame(benchmark::State& state, Step step)
{
    if (!s_world.Start(int(state.range(0)), int(state.range(1)))) {
        state.SkipWithError("no OpenGL renderer");
        return;
    }
    IDirect3DDevice9* device = g_D3DRender.m_pDevice;
    const auto frame = [&] {
        for (DWORD& faces : g_D3DRender.m_nFacesPerFrame)
            faces = 0;
        device->BeginScene();
        step();
        device->EndScene();
        plat::FinishGl(device);
    };
    frame(); // programs compiled, buffers copied
    for (auto _ : state)
        frame();
    state.counters["faces drawn"] = double(g_D3DRender.m_nFacesPerFrame[0] + g_D3DRender.m_nFacesPerFrame[1] +
                                           g_D3DRender.m_nFacesPerFrame[2] + g_D3DRender.m_nFacesPerFrame[3]);
    state.counters["ms/frame"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_WaterPass(benchmark::State& state) { PerFrame(state, [] { g_Game.RenderWaterPass(); }); }
void BM_CubePass(benchmark::State& state) { PerFrame(state, [] { g_Game.RenderCubePass(); }); }
void BM_ShadowPass(benchmark::State& state) { PerFrame(state, [] { g_Game.RenderShadowPass(); }); }
void BM_WorldFrame(benchmark::State& state) { PerFrame(state, [] { g_Game.RenderWorld(); }); }
void BM_Glow(benchmark::State& state) { PerFrame(state, [] { g_D3DRender.RenderGlow(); }); }
void BM_MotionBlur(benchmark::State& state)
{
    PerFrame(state, [] {
        g_D3DRender.m_fMotionBlur = 1.0f;
        g_D3DRender.RenderMotionBlur();
    });
}
void BM_ShadowSmoothings(benchmark::State& state)
{
    PerFrame(state, [] {
        CD3DRender& r = g_D3DRender;
        r.SaveRenderTarget();
        r.SmoothSurface(r.m_pShadowTarget, r.m_pShadowTexture, 0.001f, 0.175f);
        r.SmoothSurface(r.m_pShadowTarget, r.m_pShadowTexture2, 0.001f, 0.175f);
        r.RestoreRenderTarget();
    });
}
void BM_GlowBlurAndSmoothings(benchmark::State& state)
{
    PerFrame(state, [] {
        CD3DRender& r = g_D3DRender;
        r.SaveRenderTarget();
        r.SmoothSurface(r.m_pShadowTarget, r.m_pShadowTexture, 0.001f, 0.175f);
        r.SmoothSurface(r.m_pShadowTarget, r.m_pShadowTexture2, 0.001f, 0.175f);
        r.RestoreRenderTarget();
        r.RenderGlow();
        r.m_fMotionBlur = 1.0f;
        r.RenderMotionBlur();
    });
}

#define FRAME_SIZES ->Args({800, 600})->Args({1024, 768})->Unit(benchmark::kMillisecond)->UseRealTime()
BENCHMARK(BM_WorldFrame) FRAME_SIZES;
BENCHMARK(BM_WaterPass) FRAME_SIZES;
BENCHMARK(BM_CubePass) FRAME_SIZES;
BENCHMARK(BM_ShadowPass) FRAME_SIZES;
BENCHMARK(BM_Glow) FRAME_SIZES;
BENCHMARK(BM_MotionBlur) FRAME_SIZES;
BENCHMARK(BM_ShadowSmoothings) FRAME_SIZES;
BENCHMARK(BM_GlowBlurAndSmoothings) FRAME_SIZES;

} // namespace

BENCHMARK_MAIN();
