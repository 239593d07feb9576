// The message fixture with a player car in a driving view, no race, no
// scene, and a race route the tests can offer.
#pragma once

#include "game/CityLogic.h"
#include "game/ScreenKeys.h"
#include "graphics/WorldCamera.h"
#include "message_fixture.h"
#include "roadusers/RaceInfo.h"
#include "roadusers/Vehicle.h"
#include "roadusers/VehicleManager.h"
#include "shell/Game.h"
#include "shell/Settings.h"

namespace test {

class PanelTest : public MessageTest {
protected:
    void SetUp() override
    {
        MessageTest::SetUp();
        m_camera = std::make_unique<CWorldCamera>();
        m_camera->m_nMode = 2;
        m_camera->m_nLastView = 2;
        g_Game.m_pCamera = m_camera.get();
        m_car = std::make_unique<CVehicle>();
        m_car->m_nKind = VEHICLE_PLAYER;
        m_car->m_nControlMode = 2;
        g_pPlayerVehicle = m_car.get();
        m_race = std::make_unique<RaceInfo>();
        g_RaceInfo = *m_race;
        g_VehicleManager.m_bRaceRunning = 0;
        g_VehicleManager.m_nRaceRoutePoints = 0;
        g_CityLogic.SetScene(0, nullptr, nullptr);
        std::memset(&g_RaceStartStats, 0, sizeof(g_RaceStartStats));
        g_bQuit = 0;
    }
    void TearDown() override
    {
        g_RaceInfo = *m_race;
        g_VehicleManager.m_bRaceRunning = 0;
        g_VehicleManager.m_nRaceRoutePoints = 0;
        g_CityLogic.SetScene(0, nullptr, nullptr);
        g_pPlayerVehicle = nullptr;
        g_Game.m_pCamera = m_savedCamera;
        g_bGameMenu = m_savedGameMenu;
        g_bQuit = 0;
        MessageTest::TearDown();
    }

    // A straight race route of n points northwards from the origin.
    void OfferRoute(int n)
    {
        for (int i = 0; i < n && i < 64; ++i)
            m_route[i] = D3DXVECTOR3(0.0f, 0.0f, 10.0f * static_cast<float>(i));
        g_RaceInfo.m_pRoute = m_route;
        g_RaceInfo.m_nDamageLimit = 50;
        g_RaceInfo.m_nPrize[0] = 1000;
        g_RaceInfo.m_nPrize[1] = 500;
        g_RaceInfo.m_nPrize[2] = 250;
        g_RaceInfo.m_fLength = 10.0f * static_cast<float>(n - 1);
        g_RaceInfo.m_fRadius = 5.0f * static_cast<float>(n - 1);
        g_RaceInfo.m_nCars = 4;
        g_VehicleManager.m_nRaceRoutePoints = static_cast<std::uint32_t>(n);
    }

    std::unique_ptr<CWorldCamera> m_camera;
    // Taken when the fixture is made: the table tests run SetUp again.
    CWorldCamera* m_savedCamera = g_Game.m_pCamera;
    std::unique_ptr<CVehicle> m_car;
    std::unique_ptr<RaceInfo> m_race; // a zero record to restore
    D3DXVECTOR3 m_route[64];
    int m_savedGameMenu = g_bGameMenu;
};

} // namespace test
