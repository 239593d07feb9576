// The world's render passes and post effects on the OpenGL device (software
// rasteriser, offscreen) with a fixed scene of 500 lit boxes, each its own
// draw: the cost per frame of the water, cube and shadow passes, of the main
// pass drawing the same scene, and of the glow, the motion blur and the two
// shadow smoothings, at 800 x 600 and 1024 x 768.
#include "graphics/D3DRender.h"
#include "platform/Backend.h"
#include "platform/D3D9Gl.h"
#include "platform/Win32.h"
#include "shell/FileManager.h"
#include "shell/Game.h"
#include "shell/GameSteps.h"
#include "shell/Settings.h"
#include "shell/WinMain.h"
#include "world/Landscape.h"
#include "writers/RenderDataWriter.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

constexpr int kBoxes = 500;

struct Vertex {
    float x, y, z, nx, ny, nz;
};

// 500 boxes on a 25 x 20 grid around the camera's start, 12 units apart,
// drawn one by one with their own world transform by every pass that draws
// the landscape; like the city's managers, each pass draws only the boxes in
// its camera's view volume.
class BoxScene {
public:
    void Create(IDirect3DDevice9* device)
    {
        m_device = device;
        device->CreateVertexBuffer(24 * sizeof(Vertex), 0, D3DFVF_XYZ | D3DFVF_NORMAL, D3DPOOL_MANAGED, &m_vb,
                                   nullptr);
        device->CreateIndexBuffer(36 * sizeof(WORD), 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &m_ib, nullptr);
        Vertex* v = nullptr;
        WORD* i = nullptr;
        m_vb->Lock(0, 0, reinterpret_cast<void**>(&v), 0);
        m_ib->Lock(0, 0, reinterpret_cast<void**>(&i), 0);
        static const float kNormals[6][3] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
        for (int f = 0; f < 6; ++f) {
            const D3DXVECTOR3 n(kNormals[f][0], kNormals[f][1], kNormals[f][2]);
            const D3DXVECTOR3 a = std::fabs(n.y) > 0.5f ? D3DXVECTOR3(1, 0, 0) : D3DXVECTOR3(0, 1, 0);
            D3DXVECTOR3 b;
            D3DXVec3Cross(&b, &n, &a);
            for (int c = 0; c < 4; ++c) {
                const float s = (c & 1) ? 1.0f : -1.0f, t = (c & 2) ? 1.0f : -1.0f;
                const D3DXVECTOR3 p = n + a * s + b * t;
                v[f * 4 + c] = Vertex{p.x, p.y, p.z, n.x, n.y, n.z};
            }
            const WORD base = WORD(f * 4);
            const WORD quad[6] = {base, WORD(base + 1), WORD(base + 2), WORD(base + 2), WORD(base + 1),
                                  WORD(base + 3)};
            std::memcpy(i + f * 6, quad, sizeof quad);
        }
        m_vb->Unlock();
        m_ib->Unlock();
    }
    void Release()
    {
        if (m_vb)
            m_vb->Release();
        if (m_ib)
            m_ib->Release();
        m_vb = nullptr;
        m_ib = nullptr;
    }
    void Draw()
    {
        g_D3DRender.SetCullMode(D3DCULL_NONE);
        g_D3DRender.SetLighting(1);
        g_D3DRender.SetZEnable(1);
        g_D3DRender.SetZWriteEnable(1);
        g_D3DRender.SetAlphaBlendEnable(0);
        g_D3DRender.SetTexture(INVALID_TEXTURE_ID, 0);
        D3DMATERIAL9 material{};
        material.Diffuse = material.Ambient = {0.8f, 0.7f, 0.6f, 1};
        g_D3DRender.SetMaterial(&material);
        m_device->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL);
        m_device->SetStreamSource(0, m_vb, 0, sizeof(Vertex));
        m_device->SetIndices(m_ib);
        int drawn = 0;
        for (int n = 0; n < kBoxes; ++n) {
            const D3DXVECTOR3 centre(225.0f + float(n % 25 - 12) * 12.0f, 2.0f + float(n % 3) * 2.0f,
                                     -740.0f + float(n / 25 - 10) * 12.0f);
            if (g_Game.m_pCamera && !g_Game.m_pCamera->IsSphereVisible(&centre, 1.8f))
                continue;
            D3DXMATRIX world;
            D3DXMatrixTranslation(&world, centre.x, centre.y, centre.z);
            m_device->SetTransform(D3DTS_WORLD, &world);
            m_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 24, 0, 12);
            ++drawn;
        }
        g_D3DRender.AddDrawnFaces(DWORD(drawn) * 12);
        m_lastDrawn = drawn;
    }
    int m_lastDrawn = 0;

private:
    IDirect3DDevice9* m_device = nullptr;
    IDirect3DVertexBuffer9* m_vb = nullptr;
    IDirect3DIndexBuffer9* m_ib = nullptr;
};

BoxScene s_scene;

void DrawSceneOnLandscapeSteps(const char* step)
{
    if (std::strcmp(step, "g_Landscape.Render()") == 0 || std::strcmp(step, "g_Landscape.RenderShadowCasters()") == 0)
        s_scene.Draw();
}

// The renderer and the game started once per frame size over a data tree
// holding the technique files and default textures.
class World {
public:
    bool Start(int width, int height)
    {
        if (m_width == width && m_height == height)
            return g_D3DRender.m_pDevice != nullptr;
        Stop();
        m_dir = std::filesystem::temp_directory_path() / ("morvaine-bench-passes-" + std::to_string(getpid()));
        std::filesystem::create_directories(m_dir);
        std::filesystem::current_path(m_dir);
        if (!tools::WriteTechniqueFiles(m_dir.string()) || !tools::WriteRenderTextures(m_dir.string()))
            return false;
        plat::SetHeadless(true);
        plat::UseGlDevice(true);
        g_bEditorMode = 1; // the frame at the size asked for
        g_bFileManager = 0;
        g_nShadows = 3;
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
        g_Landscape.m_fHeight = 50.0f;
        g_Landscape.m_nClosedWaterParts = 2; // the reflection draws the city too
        s_scene.Create(g_D3DRender.m_pDevice);
        g_pGameStepObserver = DrawSceneOnLandscapeSteps;
        m_width = width;
        m_height = height;
        return true;
    }
    void Stop()
    {
        if (!m_width)
            return;
        g_pGameStepObserver = nullptr;
        s_scene.Release();
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
    s_scene.m_lastDrawn = 0;
    const auto frame = [&] {
        device->BeginScene();
        step();
        device->EndScene();
        plat::FinishGl(device);
    };
    frame(); // programs compiled, buffers copied
    for (auto _ : state)
        frame();
    state.counters["boxes drawn"] = s_scene.m_lastDrawn;
    state.counters["ms/frame"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_WaterPass(benchmark::State& state) { PerFrame(state, [] { g_Game.RenderWaterPass(); }); }
void BM_CubePass(benchmark::State& state) { PerFrame(state, [] { g_Game.RenderCubePass(); }); }
void BM_ShadowPass(benchmark::State& state) { PerFrame(state, [] { g_Game.RenderShadowPass(); }); }
void BM_MainPassOfTheSameScene(benchmark::State& state)
{
    PerFrame(state, [] {
        g_D3DRender.m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF405060, 1.0f, 0);
        g_Game.m_pCamera->UpdateView();
        s_scene.Draw();
    });
}
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
BENCHMARK(BM_MainPassOfTheSameScene) FRAME_SIZES;
BENCHMARK(BM_WaterPass) FRAME_SIZES;
BENCHMARK(BM_CubePass) FRAME_SIZES;
BENCHMARK(BM_ShadowPass) FRAME_SIZES;
BENCHMARK(BM_Glow) FRAME_SIZES;
BENCHMARK(BM_MotionBlur) FRAME_SIZES;
BENCHMARK(BM_ShadowSmoothings) FRAME_SIZES;
BENCHMARK(BM_GlowBlurAndSmoothings) FRAME_SIZES;

} // namespace

BENCHMARK_MAIN();
