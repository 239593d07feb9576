// The road users' and field objects' share of the main world pass: 20 cars
// within 60 of the camera, 30 pedestrians, and the sample city's grass,
// trees and stones in the 3 x 3 sectors around it; their update and draw
// submission on the recording device (the 2 ms tick's budget) and on the
// OpenGL device at 800 x 600 (software rasteriser, offscreen).
#include "graphics/D3DRender.h"
#include "graphics/WorldCamera.h"
#include "platform/Backend.h"
#include "platform/D3D9Gl.h"
#include "roadusers/Human.h"
#include "roadusers/HumanManager.h"
#include "roadusers/Vehicle.h"
#include "roadusers/VehicleManager.h"
#include "shell/FileManager.h"
#include "shell/Game.h"
#include "shell/GameTimer.h"
#include "shell/RenderPasses.h"
#include "shell/Settings.h"
#include "world/FieldObjectManager.h"
#include "world/Landscape.h"
#include "world/LandscapeSector.h"
#include "writers/FieldObjectData.h"
#include "writers/FileBytes.h"
#include "writers/ObjectDescriptions.h"
#include "writers/RenderDataWriter.h"
#include "writers/SampleCity.h"
#include "writers/VehicleModels.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

constexpr int kCars = 20;
constexpr int kPedestrians = 30;

class Scene {
public:
    bool Start(bool gl)
    {
        if (m_started)
            return m_gl == gl;
        m_gl = gl;
        m_dir = std::filesystem::temp_directory_path() / ("morvaine-bench-objects-" + std::to_string(getpid()));
        std::filesystem::create_directories(m_dir);
        std::filesystem::current_path(m_dir);
        const std::string root = m_dir.string();
        const tools::LandscapeMaps maps = tools::SampleCityMaps();
        if (!tools::WriteLandscapeFiles(root, maps, 1) || !tools::WriteFieldObjectData(root) ||
            !tools::WriteTechniqueFiles(root) || !tools::WriteRenderTextures(root) ||
            !tools::WriteObjectDescriptions(root))
            return false;
        for (const auto& list : {tools::SampleObjectMeshes(), tools::SampleObjectTextures(), tools::SampleVehicleFiles()})
            for (const tools::SampleFile& f : list) {
                std::filesystem::create_directories(std::filesystem::path(root + "/" + f.path).parent_path());
                tools::WriteFileBytes(root + "/" + f.path, f.bytes);
            }
        g_bFileManager = 0;
        g_FileManager.Init();
        g_nViewDistance = 600;
        plat::SetHeadless(true);
        plat::UseGlDevice(gl);
        m_d3d = Direct3DCreate9(D3D_SDK_VERSION);
        D3DPRESENT_PARAMETERS pp{};
        pp.BackBufferWidth = 800;
        pp.BackBufferHeight = 600;
        pp.BackBufferFormat = D3DFMT_X8R8G8B8;
        pp.BackBufferCount = 1;
        pp.SwapEffect = gl ? D3DSWAPEFFECT_DISCARD : D3DSWAPEFFECT_FLIP;
        pp.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
        pp.Windowed = TRUE;
        pp.EnableAutoDepthStencil = TRUE;
        pp.AutoDepthStencilFormat = gl ? D3DFMT_D24S8 : D3DFMT_D16;
        if (!m_d3d || m_d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp,
                                          &m_device) != D3D_OK)
            return false;
        CD3DRender& r = g_D3DRender;
        r.SetDefaults();
        r.m_pDevice = m_device;
        const std::string text = tools::TechniqueFileText(tools::ShaderLevel::Vs11);
        if (D3DXCreateEffect(m_device, text.data(), UINT(text.size()), nullptr, nullptr, 0, nullptr, &r.m_pEffect,
                             nullptr) != D3D_OK)
            return false;
        r.m_bShader11 = 1;
        r.SetDefaultStates();
        if (g_Landscape.Init() != 1 || g_Game.InitPhysics() != 1)
            return false;
        g_FieldObjects.Init();
        // In the park north-west of the streets, looking south-east into
        // the first blocks.
        const D3DXVECTOR3 eye(-10.0f, 19.0f, -560.0f), target(40.0f, 16.0f, -620.0f), up(0, 1, 0);
        m_camera.SetProjection(1.0472f, 4.0f / 3.0f, 0.2f, 600.0f);
        m_camera.SetView(&eye, &target, &up);
        g_Game.m_pCamera = &m_camera;
        BuildSectors(eye);
        SpawnCars(eye);
        SpawnPedestrians(eye);
        m_started = true;
        return true;
    }

    void BuildSectors(const D3DXVECTOR3& eye)
    {
        const CLandscape& land = g_Landscape;
        int column = 0, row = 0;
        land.ClampedCellOf(eye.x, eye.z, &column, &row);
        const int per = land.m_nCellsPerSector, sc = column / per, sr = row / per;
        for (int dr = -1; dr <= 1; ++dr)
            for (int dc = -1; dc <= 1; ++dc) {
                auto sector = std::make_unique<CLandscapeSector>();
                const int c0 = (sc + dc) * per, r0 = (sr + dr) * per;
                const float half = land.m_fWorldSize / 2;
                sector->m_vCentre = D3DXVECTOR3((c0 + per / 2.0f) * land.m_fCellSize - half, 16.0f,
                                                half - (r0 + per / 2.0f) * land.m_fCellSize);
                D3DXVECTOR3 d = sector->m_vCentre - eye;
                sector->m_fDistance = std::max(0.0f, std::sqrt(d.x * d.x + d.z * d.z) - per * land.m_fCellSize * 0.7f);
                sector->m_bVisible = 1;
                for (int kind = FIELD_GRASS; kind <= FIELD_STONES; ++kind) {
                    std::srand(unsigned((sr + dr) * land.m_nSectorsPerSide + sc + dc) * 123u);
                    g_FieldObjects.BeginCell(kind, sector.get());
                    for (int r = r0; r < r0 + per; ++r)
                        for (int c = c0; c < c0 + per; ++c)
                            PlaceCell(kind, c, r);
                    g_FieldObjects.EndCell(kind, sector.get());
                }
                g_FieldObjects.SetSectorActive(true, sector.get());
                m_sectors.push_back(std::move(sector));
            }
    }

    static void PlaceCell(int kind, int column, int row)
    {
        const std::uint8_t v = g_Landscape.m_PlaceMap[row][column];
        const bool grass = v >= 1 && v <= 169, tree = v >= 85 && v <= 169, stone = v >= 170;
        const float half = g_Landscape.m_fWorldSize / 2, c = g_Landscape.m_fCellSize;
        D3DXVECTOR3 p((column + 0.5f) * c - half, 0.0f, half - (row + 0.5f) * c);
        p.y = GetExactAltitude(&p);
        const D3DXVECTOR3 up(0, 1, 0);
        if (kind == FIELD_GRASS && grass)
            for (int n = 5 + std::rand() % 6; n > 0; --n)
                CreateFieldObject(FIELD_GRASS, &p, nullptr);
        else if (kind == FIELD_TREES && tree)
            CreateFieldObject(FIELD_TREES, &p, &up);
        else if (kind == FIELD_STONES && stone)
            CreateFieldObject(FIELD_STONES, &p, nullptr);
    }

    void SpawnCars(const D3DXVECTOR3& eye)
    {
        for (int i = 0; i < kCars; ++i) {
            auto car = std::make_unique<CVehicle>();
            car->LoadModel(i % 2 ? "Data/Vehicles/01/Main.obj" : "Data/Vehicles/02/Main.obj");
            D3DXVECTOR3 at = eye + D3DXVECTOR3(float(i % 5) * 6.0f + 5.0f, 0.0f, -float(i / 5) * 8.0f - 10.0f);
            at.y = GetExactAltitude(&at) + 0.5f;
            const D3DXVECTOR3 look = at + D3DXVECTOR3(0, 0, 10), up(0, 1, 0);
            car->Spawn(&at, &look, &up, 1, VEHICLE_TRAFFIC, 1);
            car->m_bAlive = car->m_bVisible = 1;
            car->m_Material.Diffuse.a = 1.0f;
            car->UpdateCameraDistance();
            g_VehicleManager.m_Cars[g_VehicleManager.m_nCars++] = car.get();
            m_cars.push_back(std::move(car));
        }
    }

    void SpawnPedestrians(const D3DXVECTOR3& eye)
    {
        g_HumanManager.Init();
        for (int i = 0; i < kPedestrians; ++i) {
            CHuman* h = g_HumanManager.CreateHuman(g_HumanModelPaths[i % 2], nullptr, nullptr, i % 2);
            if (!h)
                break;
            D3DXVECTOR3 at = eye + D3DXVECTOR3(float(i % 6) * 3.0f - 2.0f, 0.0f, -float(i / 6) * 4.0f - 8.0f);
            at.y = GetExactAltitude(&at);
            const D3DXVECTOR3 target = at + D3DXVECTOR3(0, 0, 10);
            h->SetPosition(&at, &target);
            h->m_bAlive = h->m_bVisible = 1;
            h->UpdateCameraDistance();
            h->m_Material.Diffuse.a = 1.0f;
        }
    }

    // One frame's share: the update and the passes that draw these objects.
    void Frame()
    {
        g_GameTimer.m_fDelta = 0.02f;
        g_FieldObjects.m_fUpdateTimer = 0.0f; // the eighth-second update every frame: the worst case
        g_FieldObjects.Update();
        g_FieldObjects.RefreshVisibility();
        if (m_gl)
            m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF6080A0, 1.0f, 0);
        g_FieldObjects.RenderStones();
        g_FieldObjects.RenderTrees();
        g_VehicleManager.RenderVehicles();
        g_HumanManager.Render();
        g_VehicleManager.RenderVehiclesSecondPass();
        g_FieldObjects.RenderGrass();
        g_FieldObjects.RenderTreeBranches();
        g_VehicleManager.RenderLights();
        if (m_gl)
            m_device->Present(nullptr, nullptr, nullptr, nullptr);
    }

    void Stop()
    {
        if (!m_started)
            return;
        for (std::uint32_t i = 0; i < VEHICLE_MANAGER_CARS; ++i)
            g_VehicleManager.m_Cars[i] = nullptr;
        g_VehicleManager.m_nCars = 0;
        for (auto& car : m_cars)
            car->Release();
        m_cars.clear();
        g_HumanManager.Release();
        g_FieldObjects.Release();
        m_sectors.clear();
        g_Landscape.Release();
        g_Game.ReleasePhysics();
        g_Game.m_pCamera = nullptr;
        CD3DRender& r = g_D3DRender;
        if (r.m_pEffect)
            r.m_pEffect->Release();
        r.m_pEffect = nullptr;
        r.m_TextureManager.ReleaseAllTextures();
        r.m_pDevice = nullptr;
        m_device->Release();
        m_d3d->Release();
        std::error_code ec;
        std::filesystem::current_path(std::filesystem::temp_directory_path());
        std::filesystem::remove_all(m_dir, ec);
        m_started = false;
    }

private:
    bool m_started = false;
    bool m_gl = false;
    std::filesystem::path m_dir;
    IDirect3D9* m_d3d = nullptr;
    IDirect3DDevice9* m_device = nullptr;
    CWorldCamera m_camera;
    std::vector<std::unique_ptr<CLandscapeSector>> m_sectors;
    std::vector<std::unique_ptr<CVehicle>> m_cars;
};

Scene s_scene;

void RunFrames(benchmark::State& state, bool gl)
{
    if (!s_scene.Start(gl)) {
        state.SkipWithError("the scene did not start");
        return;
    }
    for (auto _ : state)
        s_scene.Frame();
    state.counters["grass_fields"] = g_FieldObjects.m_nGrassFields[2];
    state.counters["tree_fields"] = g_FieldObjects.m_nTreeFields[2];
    state.counters["cars"] = double(g_VehicleManager.m_nCars);
    state.counters["pedestrians"] = double(g_HumanManager.m_nHumans);
}

void BM_WorldObjectsRecordingDevice(benchmark::State& state)
{
    RunFrames(state, false);
}
BENCHMARK(BM_WorldObjectsRecordingDevice)->Unit(benchmark::kMicrosecond);

void BM_WorldObjectsGl800x600(benchmark::State& state)
{
    RunFrames(state, true);
}
BENCHMARK(BM_WorldObjectsGl800x600)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    s_scene.Stop();
    benchmark::Shutdown();
    return 0;
}
