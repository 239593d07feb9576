// Props over the headless device with a real physics world: loose
// description files written with the sample writers, the pool emptied
// around every test, and a stand-in player car.
#pragma once

#include "objects/static_object_fixture.h"

#include "game/CityLogic.h"
#include "roadusers/Vehicle.h"
#include "shell/GameTimer.h"
#include "world/Prop.h"
#include "world/PropManager.h"
#include "world/Sky.h"
#include "writers/PropDescriptions.h"

#include <btBulletDynamicsCommon.h>

namespace test {

class PropTest : public StaticObjectTest {
protected:
    void SetUp() override
    {
        StaticObjectTest::SetUp();
        g_Game.InitPhysics();
        g_PropManager.Init();
        g_CityLogic.SetScene(0, nullptr, nullptr);
        g_pPlayerVehicle = nullptr;
        g_bEditorMode = 0;
        g_Sky.m_fLightsFactor = 0.0f;
        m_car.m_fSphereRadius = 2.0f;
        m_car.m_bInWorld = 1;
        m_car.m_nControlMode = 2;
    }
    void TearDown() override
    {
        g_PropManager.Clear();
        g_pPlayerVehicle = nullptr;
        g_GameTimer.m_fDelta = 0.0f;
        g_Game.ReleasePhysics();
        StaticObjectTest::TearDown();
    }

    // A prop description with the box-like lamp mesh (it has the physics
    // parts a movable body needs) unless the caller names another mesh.
    std::string WriteProp(const std::string& name, const tools::PropText& text)
    {
        return WriteDescription(name, tools::EncodePropDescription(text));
    }
    static tools::ObjectHead HeadOf(const char* cls, const char* type, const char* mesh = "Data/Test/Lamp.msh")
    {
        return {"Test", cls, type, "", mesh, "Data/Test/Tex.dds"};
    }
    void WriteMeshes()
    {
        Write("Data/Test/Lamp.msh", tools::LampPostMesh());
        tools::MeshData dark = tools::LampPostMesh();
        dark.parts[3].points.clear();
        Write("Data/Test/DarkLamp.msh", dark);
        Write("Data/Test/Building.msh", tools::BuildingMesh(10.0f, 10.0f, 10.0f));
        Write("Data/Test/Workshop.msh", tools::ShopMesh(20.0f, 16.0f, 9.0f, {{0.0f, 0.7f, 14.0f}}));
        Write("Data/Test/CarShop.msh",
              tools::ShopMesh(30.0f, 16.0f, 8.0f,
                              {{0.0f, 0.7f, 14.0f}, {-10.0f, 0.7f, 22.0f}, {0.0f, 0.7f, 22.0f}, {10.0f, 0.7f, 22.0f}}));
        Write("Data/Test/CarShop2.msh", tools::ShopMesh(30.0f, 16.0f, 8.0f, {{0.0f, 0.7f, 14.0f}, {0.0f, 0.7f, 22.0f}}));
        Write("Data/Test/Bridge.msh", tools::BridgeMesh(40.0f, 10.0f, 6.0f));
    }

    CProp* Add(const std::string& path, const D3DXVECTOR3& at, const D3DXVECTOR3& facing = D3DXVECTOR3(0, 0, 1))
    {
        const D3DXVECTOR3 target = at + facing * 50.0f, up(0, 1, 0);
        return g_PropManager.AddProp(path.c_str(), &at, &target, &up, 0);
    }

    // A landscape-class building of the test mesh, described at path and
    // placed at the origin.
    CProp* AddBuilding(const std::string& path, const char* mesh)
    {
        WriteMeshes();
        tools::PropText text;
        text.head = HeadOf("GCLASS_LANDSCAPE", "GTYPE_BUILDING", mesh);
        WriteProp(path, text);
        return Add(path, D3DXVECTOR3(0, 0, 0));
    }

    // Puts the current camera's eye on the +x side of the prop's centre so
    // that its camera distance (distance minus radius) is d.
    void EyeAt(const CProp* prop, float d)
    {
        m_camera.m_vEye = prop->m_vPosition + D3DXVECTOR3(prop->m_fSphereRadius + d, 0, 0);
    }

    CVehicle m_car;
};

} // namespace test
