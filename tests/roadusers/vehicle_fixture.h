// Cars over the headless device and a fresh physics world: the sample cars'
// files written loose, and helpers that load, spawn and release cars.
#pragma once

#include "graphics/mesh_fixture.h"

#include "roadusers/Vehicle.h"
#include "roadusers/VehicleManager.h"
#include "shell/Game.h"
#include "writers/VehicleModels.h"

#include <btBulletDynamicsCommon.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace test {

class VehicleTest : public MeshTest {
protected:
    static void SetUpTestSuite()
    {
        if (!s_files)
            s_files = new std::vector<tools::SampleFile>(tools::SampleVehicleFiles());
    }
    void SetUp() override
    {
        MeshTest::SetUp();
        ASSERT_EQ(g_Game.InitPhysics(), 1);
        for (const tools::SampleFile& f : *s_files)
            WriteRaw(f.path, f.bytes);
        std::srand(7);
    }
    void TearDown() override
    {
        g_VehicleManager.Clear();
        for (auto& car : m_cars)
            car->Release();
        m_cars.clear();
        for (CVehicle*& t : g_VehicleManager.m_Templates)
            t = nullptr;
        g_Game.ReleasePhysics();
        g_D3DRender.m_TextureManager.ReleaseAllTextures();
        MeshTest::TearDown();
    }

    // A car loaded from the path, released by the fixture.
    CVehicle* Load(const char* path = "Data/Vehicles/01/Main.obj")
    {
        m_cars.push_back(std::make_unique<CVehicle>());
        m_cars.back()->LoadModel(path);
        return m_cars.back().get();
    }
    CVehicle* Spawned(int kind, const char* path = "Data/Vehicles/01/Main.obj", D3DXVECTOR3 at = {0, 1, 0})
    {
        CVehicle* car = Load(path);
        const D3DXVECTOR3 target = at + D3DXVECTOR3(0, 0, 10), up(0, 1, 0);
        car->Spawn(&at, &target, &up, 1, kind, 1);
        return car;
    }
    // The 36-byte vertex's position in the car's body buffer.
    static D3DXVECTOR3 BodyVertex(CVehicle* car, std::uint32_t index)
    {
        void* data = nullptr;
        EXPECT_EQ(car->m_pBodyVB->Lock(0, 0, &data, D3DLOCK_READONLY), D3D_OK);
        D3DXVECTOR3 p;
        std::memcpy(&p, static_cast<std::uint8_t*>(data) + index * VEHICLE_BODY_VERTEX_SIZE, sizeof(p));
        car->m_pBodyVB->Unlock();
        return p;
    }
    static std::uint32_t BodyColour(CVehicle* car, std::uint32_t index)
    {
        void* data = nullptr;
        EXPECT_EQ(car->m_pBodyVB->Lock(0, 0, &data, D3DLOCK_READONLY), D3D_OK);
        std::uint32_t c = 0;
        std::memcpy(&c, static_cast<std::uint8_t*>(data) + index * VEHICLE_BODY_VERTEX_SIZE + 24, sizeof(c));
        car->m_pBodyVB->Unlock();
        return c;
    }

    static std::vector<tools::SampleFile>* s_files;
    std::vector<std::unique_ptr<CVehicle>> m_cars;
};

inline std::vector<tools::SampleFile>* VehicleTest::s_files = nullptr;

} // namespace test
