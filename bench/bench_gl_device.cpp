// The OpenGL device on the software rasteriser, offscreen: frames per second
// of a lit, textured, fogged scene of 20,000 triangles at 800x600; a city-like
// frame of 2,000 small meshes with texture and state changes between them
// (draws per second, heap allocations per draw); and the cost of a
// fixed-function state change whose program is already compiled (cached)
// against one that must be compiled again (uncached, with Mesa's own shader
// cache off so that the real compile is measured).
#include "platform/D3D9Gl.h"
#include "platform/D3DX9.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

namespace {
// Allocations of the benchmark's own thread while it counts (the driver's
// worker threads allocate for their own reasons).
thread_local bool t_counting = false;
std::atomic<long long> g_allocations{0};
} // namespace

// Counting needs the allocator replaced; the pair stays malloc and free.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size)
{
    if (t_counting)
        g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop

namespace {

struct Vertex {
    float x, y, z, nx, ny, nz, u, v;
};
constexpr DWORD kFvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;

class Scene {
public:
    Scene(UINT width, UINT height)
    {
        plat::UseGlDevice(true);
        m_d3d = Direct3DCreate9(D3D_SDK_VERSION);
        D3DPRESENT_PARAMETERS params{};
        params.BackBufferWidth = width;
        params.BackBufferHeight = height;
        params.BackBufferFormat = D3DFMT_X8R8G8B8;
        params.Windowed = TRUE;
        params.EnableAutoDepthStencil = TRUE;
        params.AutoDepthStencilFormat = D3DFMT_D24S8;
        params.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
        if (!m_d3d || FAILED(m_d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, 0, &params, &m_device)))
            return;
        BuildGrid();
        BuildTexture();
        SetStates(width, height);
    }
    ~Scene()
    {
        if (m_texture)
            m_texture->Release();
        if (m_vb)
            m_vb->Release();
        if (m_ib)
            m_ib->Release();
        if (m_device)
            m_device->Release();
        if (m_d3d)
            m_d3d->Release();
        plat::UseGlDevice(false);
    }
    IDirect3DDevice9* Device() { return m_device; }

    void DrawFrame()
    {
        m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF203040, 1.0f, 0);
        m_device->BeginScene();
        m_device->SetFVF(kFvf);
        m_device->SetStreamSource(0, m_vb, 0, sizeof(Vertex));
        m_device->SetIndices(m_ib);
        m_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, kSide * kSide, 0, kTriangles);
        m_device->EndScene();
        m_device->Present(nullptr, nullptr, nullptr, nullptr);
        plat::FinishGl(m_device);
    }

    static constexpr UINT kCells = 100; // 100 x 100 quads = 20,000 triangles
    static constexpr UINT kSide = kCells + 1;
    static constexpr UINT kTriangles = kCells * kCells * 2;

private:
    // A rolling terrain in front of the camera.
    void BuildGrid()
    {
        m_device->CreateVertexBuffer(kSide * kSide * sizeof(Vertex), 0, kFvf, D3DPOOL_MANAGED, &m_vb, nullptr);
        m_device->CreateIndexBuffer(kTriangles * 3 * 2, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &m_ib, nullptr);
        Vertex* v = nullptr;
        m_vb->Lock(0, 0, reinterpret_cast<void**>(&v), 0);
        for (UINT z = 0; z < kSide; ++z)
            for (UINT x = 0; x < kSide; ++x) {
                const float fx = float(x) - kCells / 2.0f, fz = float(z);
                const float h = std::sin(fx * 0.3f) * std::cos(fz * 0.2f);
                *v++ = Vertex{fx, h - 2.0f, fz, 0.0f, 1.0f, 0.0f, fx * 0.25f, fz * 0.25f};
            }
        m_vb->Unlock();
        WORD* i = nullptr;
        m_ib->Lock(0, 0, reinterpret_cast<void**>(&i), 0);
        for (UINT z = 0; z < kCells; ++z)
            for (UINT x = 0; x < kCells; ++x) {
                const WORD a = WORD(z * kSide + x), b = WORD(a + 1), c = WORD(a + kSide), d = WORD(c + 1);
                const WORD quad[6] = {a, c, b, b, c, d};
                std::memcpy(i, quad, sizeof quad);
                i += 6;
            }
        m_ib->Unlock();
    }

    void BuildTexture()
    {
        D3DXCreateTexture(m_device, 64, 64, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &m_texture);
        for (DWORD level = 0; level < m_texture->GetLevelCount(); ++level) {
            D3DSURFACE_DESC desc{};
            m_texture->GetLevelDesc(level, &desc);
            D3DLOCKED_RECT locked{};
            m_texture->LockRect(level, &locked, nullptr, 0);
            for (UINT y = 0; y < desc.Height; ++y)
                for (UINT x = 0; x < desc.Width; ++x) {
                    const std::uint32_t c = ((x / 4 + y / 4) & 1) ? 0xFF80A060u : 0xFF406030u;
                    std::memcpy(static_cast<std::uint8_t*>(locked.pBits) + y * locked.Pitch + x * 4, &c, 4);
                }
            m_texture->UnlockRect(level);
        }
    }

    void SetStates(UINT width, UINT height)
    {
        D3DXMATRIX view, proj;
        const D3DXVECTOR3 eye(0, 6, -8), at(0, 0, 30), up(0, 1, 0);
        D3DXMatrixLookAtLH(&view, &eye, &at, &up);
        D3DXMatrixPerspectiveFovLH(&proj, D3DX_PI / 3, float(width) / height, 0.5f, 300.0f);
        m_device->SetTransform(D3DTS_VIEW, &view);
        m_device->SetTransform(D3DTS_PROJECTION, &proj);
        m_device->SetTexture(0, m_texture);
        m_device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
        m_device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
        m_device->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_LINEAR);
        D3DMATERIAL9 material{};
        material.Diffuse = material.Ambient = {1, 1, 1, 1};
        m_device->SetMaterial(&material);
        m_device->SetRenderState(D3DRS_AMBIENT, 0xFF303030);
        D3DLIGHT9 sun{};
        sun.Type = D3DLIGHT_DIRECTIONAL;
        sun.Diffuse = {0.8f, 0.8f, 0.7f, 1};
        sun.Direction = {0.4f, -1.0f, 0.5f};
        D3DLIGHT9 lamp{};
        lamp.Type = D3DLIGHT_POINT;
        lamp.Diffuse = {1.0f, 0.6f, 0.2f, 1};
        lamp.Position = {0, 2, 10};
        lamp.Range = 30.0f;
        lamp.Attenuation1 = 0.2f;
        m_device->SetLight(0, &sun);
        m_device->SetLight(1, &lamp);
        m_device->LightEnable(0, TRUE);
        m_device->LightEnable(1, TRUE);
        m_device->SetRenderState(D3DRS_FOGENABLE, TRUE);
        m_device->SetRenderState(D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR);
        const float start = 40.0f, end = 100.0f;
        DWORD bits;
        std::memcpy(&bits, &start, 4);
        m_device->SetRenderState(D3DRS_FOGSTART, bits);
        std::memcpy(&bits, &end, 4);
        m_device->SetRenderState(D3DRS_FOGEND, bits);
    }

    IDirect3D9* m_d3d = nullptr;
    IDirect3DDevice9* m_device = nullptr;
    IDirect3DVertexBuffer9* m_vb = nullptr;
    IDirect3DIndexBuffer9* m_ib = nullptr;
    IDirect3DTexture9* m_texture = nullptr;
};

void BM_LitTexturedScene800x600(benchmark::State& state)
{
    Scene scene(800, 600);
    if (!scene.Device()) {
        state.SkipWithError("no OpenGL device");
        return;
    }
    scene.DrawFrame(); // programs compiled, buffers and texture copied
    for (auto _ : state)
        scene.DrawFrame();
    state.counters["frames/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["triangles"] = Scene::kTriangles;
}
BENCHMARK(BM_LitTexturedScene800x600)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// A frame of the city: 2,000 meshes of 50 to 500 triangles from 16 buffers,
// each with its own world matrix, one of 8 textures, and a blend or cull
// change every few meshes, then Present.
class ManyMeshes {
public:
    static constexpr int kMeshes = 2000;
    static constexpr int kShapes = 16;
    static constexpr int kTextures = 8;

    // tiny: every mesh is two triangles, so the frame measures what a draw
    // costs the device and the driver rather than the rasteriser.
    ManyMeshes(Scene& scene, bool tiny) : m_device(scene.Device())
    {
        for (int s = 0; s < kShapes; ++s)
            BuildShape(s, tiny ? 2 : 50 + s * 30);
        for (int t = 0; t < kTextures; ++t) {
            D3DXCreateTexture(m_device, 32, 32, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &m_textures[t]);
            for (DWORD level = 0; level < m_textures[t]->GetLevelCount(); ++level) {
                D3DLOCKED_RECT locked{};
                D3DSURFACE_DESC desc{};
                m_textures[t]->GetLevelDesc(level, &desc);
                m_textures[t]->LockRect(level, &locked, nullptr, 0);
                for (UINT y = 0; y < desc.Height; ++y)
                    for (UINT x = 0; x < desc.Width; ++x) {
                        const std::uint32_t c = 0xFF000000u | ((t * 0x1F3D5Bu) ^ ((x ^ y) * 0x010101u));
                        std::memcpy(static_cast<std::uint8_t*>(locked.pBits) + y * locked.Pitch + x * 4, &c, 4);
                    }
                m_textures[t]->UnlockRect(level);
            }
        }
    }
    ~ManyMeshes()
    {
        for (auto* t : m_textures)
            t->Release();
        for (auto* b : m_vbs)
            b->Release();
        for (auto* b : m_ibs)
            b->Release();
    }

    void DrawFrame()
    {
        m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF203040, 1.0f, 0);
        m_device->BeginScene();
        m_device->SetFVF(kFvf);
        for (int i = 0; i < kMeshes; ++i) {
            const int shape = (i * 7) % kShapes;
            D3DXMATRIX world;
            D3DXMatrixTranslation(&world, float(i % 50) - 25.0f, float((i / 50) % 8) * 0.5f - 2.0f,
                                  float(i / 50) * 2.0f + 5.0f);
            m_device->SetTransform(D3DTS_WORLD, &world);
            m_device->SetTexture(0, m_textures[(i / 3) % kTextures]);
            if (i % 5 == 0)
                m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, (i / 5) & 1);
            if (i % 11 == 0)
                m_device->SetRenderState(D3DRS_CULLMODE, (i / 11) & 1 ? D3DCULL_CCW : D3DCULL_NONE);
            m_device->SetStreamSource(0, m_vbs[shape], 0, sizeof(Vertex));
            m_device->SetIndices(m_ibs[shape]);
            m_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, m_vertices[shape], 0, m_triangles[shape]);
        }
        m_device->EndScene();
        m_device->Present(nullptr, nullptr, nullptr, nullptr);
    }

private:
    // A small strip of quads folded into a box-like shape of about the given
    // number of triangles, a quarter of a unit across.
    void BuildShape(int s, int triangles)
    {
        const int quads = triangles / 2;
        const int vertices = (quads + 1) * 2;
        m_device->CreateVertexBuffer(UINT(vertices * sizeof(Vertex)), 0, kFvf, D3DPOOL_MANAGED, &m_vbs[s], nullptr);
        m_device->CreateIndexBuffer(UINT(quads * 6 * 2), 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &m_ibs[s], nullptr);
        Vertex* v = nullptr;
        m_vbs[s]->Lock(0, 0, reinterpret_cast<void**>(&v), 0);
        // At least four quads' worth of the circle between corners: one quad
        // going all the way round would end where it began, with no area.
        const float step = 6.283f / float(std::max(quads, 4));
        for (int q = 0; q <= quads; ++q) {
            const float a = float(q) * step;
            const float x = std::cos(a) * 0.25f, z = std::sin(a) * 0.25f;
            *v++ = Vertex{x, 0.0f, z, x * 4, 0, z * 4, float(q) / 8, 0};
            *v++ = Vertex{x, 0.5f, z, x * 4, 0, z * 4, float(q) / 8, 1};
        }
        m_vbs[s]->Unlock();
        WORD* i = nullptr;
        m_ibs[s]->Lock(0, 0, reinterpret_cast<void**>(&i), 0);
        for (int q = 0; q < quads; ++q) {
            const WORD a = WORD(q * 2), b = WORD(a + 1), c = WORD(a + 2), d = WORD(a + 3);
            const WORD quad[6] = {a, b, c, c, b, d};
            std::memcpy(i, quad, sizeof quad);
            i += 6;
        }
        m_ibs[s]->Unlock();
        m_vertices[s] = UINT(vertices);
        m_triangles[s] = UINT(quads * 2);
    }

    IDirect3DDevice9* m_device;
    IDirect3DVertexBuffer9* m_vbs[kShapes] = {};
    IDirect3DIndexBuffer9* m_ibs[kShapes] = {};
    UINT m_vertices[kShapes] = {};
    UINT m_triangles[kShapes] = {};
    IDirect3DTexture9* m_textures[kTextures] = {};
};

void ManyDraws(benchmark::State& state, bool tiny)
{
    Scene scene(800, 600);
    if (!scene.Device()) {
        state.SkipWithError("no OpenGL device");
        return;
    }
    ManyMeshes meshes(scene, tiny);
    meshes.DrawFrame(); // programs compiled, buffers and textures copied
    plat::FinishGl(scene.Device());
    const long long before = g_allocations.load();
    t_counting = true;
    for (auto _ : state)
        meshes.DrawFrame();
    t_counting = false;
    const double draws = double(state.iterations()) * ManyMeshes::kMeshes;
    state.counters["draws/s"] = benchmark::Counter(draws, benchmark::Counter::kIsRate);
    state.counters["us/draw"] = benchmark::Counter(draws, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["allocs/draw"] = double(g_allocations.load() - before) / draws;
}
void BM_ManySmallDrawsFrame(benchmark::State& state) { ManyDraws(state, false); }
void BM_ManyTinyDrawsFrame(benchmark::State& state) { ManyDraws(state, true); }
BENCHMARK(BM_ManySmallDrawsFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
BENCHMARK(BM_ManyTinyDrawsFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

// Small draws, each after a state change that selects another
// fixed-function program: from the program cache, or compiled anew each
// time. Reported per change (items/s), the GL queue finished once per batch.
void StateChange(benchmark::State& state, bool cached)
{
    Scene scene(64, 64);
    IDirect3DDevice9* device = scene.Device();
    if (!device) {
        state.SkipWithError("no OpenGL device");
        return;
    }
    struct ScreenVertex {
        float x, y, z, rhw;
        D3DCOLOR color;
    } tri[3] = {{0, 0, 0.5f, 1, 0xFFFFFFFF}, {32, 0, 0.5f, 1, 0xFFFFFFFF}, {0, 32, 0.5f, 1, 0xFFFFFFFF}};
    device->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE);
    DWORD op = D3DTOP_MODULATE;
    const int batch = cached ? 64 : 4;
    for (auto _ : state) {
        for (int i = 0; i < batch; ++i) {
            if (!cached)
                plat::ClearProgramCache(device);
            op = op == D3DTOP_MODULATE ? D3DTOP_ADD : D3DTOP_MODULATE;
            device->SetTextureStageState(0, D3DTSS_COLOROP, op);
            device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, tri, sizeof tri[0]);
        }
        plat::FinishGl(device);
    }
    state.SetItemsProcessed(state.iterations() * batch);
    state.counters["us/change"] =
        benchmark::Counter(double(state.iterations() * batch), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
void BM_StateChangeCached(benchmark::State& state) { StateChange(state, true); }
void BM_StateChangeUncached(benchmark::State& state) { StateChange(state, false); }
BENCHMARK(BM_StateChangeCached)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_StateChangeUncached)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    // Mesa keeps compiled shaders on disk between runs, which would hide
    // what a compile really costs in the uncached case.
    setenv("MESA_SHADER_CACHE_DISABLE", "true", 1);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
