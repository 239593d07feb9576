// Pedestrians over the headless device and a fresh physics world: the sample
// figure's files written with the data writers into the test's folder, the
// sample city's landscape loaded once per process from the build's data,
// and the world-wide state the pedestrians read put back afterwards.
#pragma once

#include "graphics/mesh_fixture.h"

#include "game/CityLogic.h"
#include "game/GameInterface.h"
#include "game/PlayerStats.h"
#include "game/TaxiJob.h"
#include "graphics/WorldCamera.h"
#include "objects/BloodEffect.h"
#include "objects/ContactHooks.h"
#include "roadusers/Human.h"
#include "roadusers/HumanManager.h"
#include "roadusers/HumanRagdoll.h"
#include "roadusers/SpawnRoute.h"
#include "roadusers/Vehicle.h"
#include "roadusers/VehicleManager.h"
#include "shell/Game.h"
#include "shell/GameTimer.h"
#include "shell/VectorHelpers.h"
#include "world/Landscape.h"
#include "writers/HumanModel.h"
#include "writers/ImageWriters.h"
#include "writers/ObjectMeshes.h"

#include <btBulletDynamicsCommon.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace test {

inline void LoadSampleCityOnce()
{
    if (g_Landscape.m_fWorldSize > 0.0f)
        return;
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(std::string(MORVAINE_BUILD_DIR) + "/run");
    const int result = g_Landscape.Init();
    std::filesystem::current_path(previous);
    ASSERT_EQ(result, 1);
}

// A walkway cell of the sample city with a road cell within five rings,
// found once.
inline D3DXVECTOR3 KerbPoint()
{
    static D3DXVECTOR3 found(0, 0, 0);
    static bool searched = false;
    if (!searched) {
        searched = true;
        std::vector<D3DXVECTOR3> kerbs;
        for (int row = 0; row < g_Landscape.m_nCells; ++row)
            for (int column = 0; column < g_Landscape.m_nCells; ++column) {
                const RouteCell& c = g_Landscape.Route(column, row);
                D3DXVECTOR3 p = c.m_vPosition;
                if (c.m_nType == ROUTE_WALKWAY && c.m_nLinkCount == 2 &&
                    g_Landscape.FindNearestRouteCell(ROUTE_ROAD, &p, 5))
                    kerbs.push_back(p);
            }
        if (!kerbs.empty())
            found = kerbs[kerbs.size() / 2];
    }
    return found;
}

class HumanTest : public MeshTest {
protected:
    void SetUp() override
    {
        MeshTest::SetUp();
        LoadSampleCityOnce();
        ASSERT_GT(g_Landscape.m_fWorldSize, 0.0f);
        for (const char* folder : {"Data/Humans/Male/", "Data/Humans/Female/"})
            WriteRaw(std::string(folder) + "Main.obj", tools::HumanDescription(tools::SampleHumanData(folder)));
        Write("Data/Humans/Male/Body.msh", tools::HumanMesh());
        Write("Data/Humans/Female/Body.msh", tools::HumanMesh());
        for (const tools::SampleFile& f : tools::SampleHumanTextures())
            WriteRaw(f.path, f.bytes);
        ASSERT_EQ(g_Game.InitPhysics(), 1);
        g_D3DRender.m_bPerStageConstant = 1;
        ASSERT_EQ(g_HumanManager.Init(), 1);
        g_GameTimer.m_fDelta = g_GameTimer.m_fRealDelta = 1.0f / 30.0f;
        m_savedCamera = g_Game.m_pCamera;
        g_Game.m_pCamera = nullptr;
        g_VehicleManager.m_vSpawnAnchor = KerbPoint();
        std::srand(29);
    }
    void TearDown() override
    {
        g_HumanManager.Release();
        g_Game.ReleasePhysics();
        g_Game.m_pCamera = m_savedCamera;
        g_VehicleManager.m_nCars = 0;
        for (CVehicle*& car : g_VehicleManager.m_Cars)
            car = nullptr;
        g_VehicleManager.m_bRaceRunning = 0;
        g_VehicleManager.m_nRaceRoutePoints = 0;
        g_pPlayerVehicle = nullptr;
        g_PlayerStats.m_bPursuit = 0;
        g_TaxiJob = CTaxiJob{};
        g_GameInterface.m_PopupMenuPanel.m_nPopupMode = POPUP_NONE;
        g_D3DRender.m_bPerStageConstant = 0;
        g_D3DRender.m_TextureManager.ReleaseAllTextures();
        MeshTest::TearDown();
    }

    // A pedestrian of the manager standing at a point, facing +z.
    CHuman* Make(const D3DXVECTOR3& at, int action = 0, int gender = 0)
    {
        CHuman* h = g_HumanManager.CreateHuman(g_HumanModelPaths[gender], nullptr, nullptr, gender);
        const D3DXVECTOR3 target = at + D3DXVECTOR3(0, 0, 10);
        h->SetPosition(&at, &target);
        h->SetAction(action);
        return h;
    }
    // Asks for a taxi until the random landing point works out (the sample
    // city leaves most random points without a walkway nearby); false when
    // it never does.
    static bool WaitForTaxi(CHuman* h)
    {
        for (int attempt = 0; attempt < 60 && h->m_nAction != ACTION_WAITCAR; ++attempt) {
            h->SetAction(ACTION_WAITCAR);
            if (h->m_nAction != ACTION_WAITCAR) {
                EXPECT_EQ(h->m_nAction, ACTION_WALK);
                EXPECT_EQ(g_TaxiJob.m_pPassenger, nullptr);
                EXPECT_EQ(g_TaxiJob.m_fOfferedFare, 0.0f);
            }
        }
        return h->m_nAction == ACTION_WAITCAR;
    }
    // A car in the vehicle list (not the player's) at a point.
    CVehicle* AddCar(CVehicle* car, const D3DXVECTOR3& at, float speed)
    {
        car->m_vPosition = at;
        car->m_fSphereRadius = 2.0f;
        car->m_fSpeed = speed;
        g_VehicleManager.m_Cars[g_VehicleManager.m_nCars++] = car;
        return car;
    }
    int BodiesInWorld() const { return g_Game.m_pDynamicsWorld->getNumCollisionObjects(); }

    CWorldCamera* m_savedCamera = nullptr;
};

} // namespace test
