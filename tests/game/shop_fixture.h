// A fresh interface with the player's car (the sample first car) on the
// headless device, keys at rest, saves counted instead of written.
#pragma once

#include "game/GameInterface.h"
#include "game/PlayerStats.h"
#include "game/ScreenKeys.h"
#include "game/ShopScreens.h"
#include "roadusers/vehicle_fixture.h"
#include "shell/GameTimer.h"
#include "shell/Profile.h"
#include "world/PropManager.h"

#include <cstring>
#include <memory>

namespace test {

inline int g_nSaves = 0;
inline bool CountSave(const char*, const void*, std::size_t)
{
    ++g_nSaves;
    return true;
}

class ShopTest : public VehicleTest {
protected:
    void SetUp() override
    {
        VehicleTest::SetUp();
        m_ui = std::make_unique<CGameInterface>();
        std::memset(&g_PlayerStats, 0, sizeof(g_PlayerStats));
        g_GameTimer.m_fGameTime = 60000.0;
        g_GameTimer.m_fTimeScale = 1.0f;
        m_car = Spawned(VEHICLE_PLAYER, "Data/Vehicles/02/Main.obj");
        g_pPlayerVehicle = m_car;
        g_VehicleManager.m_Cars[0] = m_car;
        g_VehicleManager.m_nCars = 1;
        g_nSaves = 0;
        m_writer = g_pWriteSaveFile;
        g_pWriteSaveFile = CountSave;
        g_nProfile = 0;
        g_PropManager.m_fShopTimer = 0.0f;
    }
    void TearDown() override
    {
        g_pWriteSaveFile = m_writer;
        g_nProfile = -1;
        // The fixture owns its cars; the manager only lists them.
        g_VehicleManager.m_Cars[0] = nullptr;
        g_VehicleManager.m_nCars = 0;
        g_pPlayerVehicle = nullptr;
        m_ui.reset();
        VehicleTest::TearDown();
    }

    static ScreenKeys Key(int ScreenKeys::*key)
    {
        ScreenKeys k;
        k.*key = 1;
        return k;
    }
    void Workshop(int ScreenKeys::*key)
    {
        ScreenKeys k = Key(key);
        m_ui->m_WorkshopPanel.Step(*m_ui, k, 0.05f);
    }
    void CarShop(int ScreenKeys::*key)
    {
        ScreenKeys k = Key(key);
        m_ui->m_CarShopPanel.Step(*m_ui, k, 0.05f);
    }
    void OpenWorkshopAt(int page, int row)
    {
        m_ui->SetWorkshop(1);
        m_ui->m_WorkshopPanel.m_nWorkshopPage = page;
        m_ui->m_WorkshopPanel.m_nShopItem = row;
    }

    std::unique_ptr<CGameInterface> m_ui;
    CVehicle* m_car = nullptr;
    SaveFileWriter m_writer = nullptr;
};

} // namespace test
