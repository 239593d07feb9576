// The whole program on the sample city with keys posted to its window: the
// player's car stops at the sample workshop and buys an upgrade, then stops
// at the sample car shop and trades itself for a showroom car. The run cuts
// each shop-visit scene short as it starts and opens the screen itself, so
// the screens' keys are tested without the scene's fades and waits.
#include "game_run_fixture.h"

#include "game/CityLogic.h"
#include "game/GameInterface.h"
#include "game/PlayerStats.h"
#include "roadusers/VehicleManager.h"
#include "shell/Input.h"
#include "world/Prop.h"
#include "world/PropManager.h"

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using test::Post;

bool KeysAtRest()
{
    return !g_bKeyEnter && !g_bKeyUp && !g_bKeyDown && !g_bKeyEscape && !g_bKeyLeft && !g_bKeyRight;
}

// The run goes straight to the shops: the new game's introduction is
// skipped before its first step.
void SkipTheIntroduction(const char* step)
{
    if (std::strcmp(step, "g_CityLogic.Update()") == 0 && g_CityLogic.m_nScene == SCENE_NEW_GAME)
        g_CityLogic.SetScene(0, nullptr, nullptr);
}

// Parks the player's car on a shop's entrance point, under player control.
void ParkAt(const D3DXVECTOR3& entrance)
{
    CVehicle* car = g_pPlayerVehicle;
    const D3DXVECTOR3 at = entrance + D3DXVECTOR3(0.0f, 1.0f, 0.0f), look = at + D3DXVECTOR3(0.0f, 0.0f, 10.0f);
    const D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
    car->Spawn(&at, &look, &up, 2, VEHICLE_PLAYER, 1);
    car->m_fSpeed = 0.0f;
    // The menu keys posted before were never released; as driving keys they
    // would move the parked car.
    for (int& action : g_ActionFlags)
        action = 0;
}

class ShopRunTest : public test::GameRunTest {
protected:
    ShopRunTest() : GameRunTest(KeysAtRest, SkipTheIntroduction) {}
};

TEST_F(ShopRunTest, WorkshopUpgradeThenCarShopTrade)
{
    std::string typed = "Tess";
    int phase = 0;
    std::vector<WPARAM> keys;
    CVehicle* oldCar = nullptr;
    CVehicle* bought = nullptr;
    CProp* carShop = nullptr;
    int moneyBefore = 0, saves = 0, budget = 0, price = 0;
    bool oldInShowroom = false, playerIsBought = false;
    bool workshopOpened = false, carShopOpened = false, upgraded = false, controlBack = false;
    const auto saveExists = [&] { return std::filesystem::exists(m_dir.Path() / "Save/Profile01.sav"); };
    s_script = [&]() {
        CGameMenu& m = g_GameMenu;
        if (!g_bInGame) {
            if (m.m_nState == MENU_NAME && !typed.empty()) {
                Post(WM_CHAR, static_cast<unsigned char>(typed[0]));
                typed.erase(0, 1);
            } else if (m.m_nState == MENU_NAME || m.m_nState == MENU_MAIN) {
                Post(WM_KEYDOWN, VK_RETURN);
            } else if (m.m_nState == MENU_NEW_GAME) {
                Post(WM_KEYDOWN, m.m_pFocus == &m.m_No ? VK_UP : VK_RETURN);
            }
            return;
        }
        CVehicle* car = g_pPlayerVehicle;
        if (!car)
            return;
        if (!keys.empty()) {
            Post(WM_KEYDOWN, keys.front());
            keys.erase(keys.begin());
            return;
        }
        switch (phase) {
        case 0: // to the workshop
            if (g_PropManager.m_nWorkShops == 0)
                return;
            ParkAt(g_PropManager.m_WorkShops[0]);
            phase = 1;
            break;
        case 1:
            if (g_CityLogic.m_nScene != SCENE_SHOP_VISIT)
                return;
            g_CityLogic.SetScene(0, nullptr, nullptr);
            car->SetControlMode(1);
            g_GameInterface.SetWorkshop(1);
            workshopOpened = true;
            g_PlayerStats.m_nMoney = moneyBefore = 100000;
            // UPGRADE, ENGINE, the first level, buy it, back to the main page, leave.
            keys = {VK_DOWN, VK_RETURN, VK_RETURN, VK_UP, VK_RETURN, VK_ESCAPE, VK_ESCAPE};
            phase = 2;
            break;
        case 2:
            if (g_GameInterface.m_WorkshopPanel.m_bWorkshopOpen)
                return;
            upgraded = car->m_UpgradeLevels[ENGINE] == 1 && g_PlayerStats.m_nMoney < moneyBefore;
            controlBack = car->m_nControlMode == 2;
            saves = saveExists();
            if (g_PropManager.m_nCarShops == 0)
                return;
            ParkAt(g_PropManager.m_CarShops[0]);
            phase = 3;
            break;
        case 3:
            // The run opens the shop itself: the visit scene stops as soon
            // as it starts, before it would open the screen on its own.
            if (g_CityLogic.m_nScene == SCENE_SHOP_VISIT) {
                carShop = static_cast<CProp*>(g_CityLogic.m_pObject);
                g_CityLogic.SetScene(0, nullptr, nullptr);
                car->SetControlMode(1);
            }
            if (!carShop)
                return;
            // The showroom fills when the camera comes near; the workshop's
            // farewell message takes Enter until it has faded out.
            if (!carShop->m_bCarShop || carShop->m_nCars == 0 || g_GameInterface.m_bMessageVisible ||
                g_GameInterface.m_fMessageFade > 0.0f)
                return;
            g_GameInterface.SetCarShop(carShop);
            carShopOpened = true;
            oldCar = car;
            bought = carShop->m_pCars[0];
            // CHANGE AUTO, CHANGE.
            keys = {VK_RETURN, VK_RETURN};
            phase = 4;
            break;
        case 4:
            if (g_pPlayerVehicle == oldCar)
                return;
            budget = g_GameInterface.m_CarShopPanel.m_nCarBudget;
            price = g_GameInterface.m_CarShopPanel.m_nCarPrice;
            keys = {VK_ESCAPE};
            phase = 5;
            break;
        case 5:
            if (g_GameInterface.m_CarShopPanel.m_bCarShopOpen)
                return;
            for (std::uint32_t i = 0; i < carShop->m_nCars; ++i)
                oldInShowroom |= carShop->m_pCars[i] == oldCar;
            playerIsBought = g_pPlayerVehicle == bought && g_VehicleManager.m_Cars[0] == bought;
            Post(WM_CLOSE, 0);
            phase = 6;
            break;
        }
    };
    Run();

    ASSERT_TRUE(workshopOpened) << "the car never stopped at the sample workshop";
    EXPECT_TRUE(upgraded);
    EXPECT_TRUE(controlBack) << "Escape gives the car back to the player";
    EXPECT_TRUE(saves) << "leaving the workshop saves";
    ASSERT_TRUE(carShopOpened) << "the car never stopped at the sample car shop";
    EXPECT_EQ(phase, 6) << "the trade did not happen";
    EXPECT_EQ(g_PlayerStats.m_nMoney, budget - price);
    EXPECT_TRUE(playerIsBought);
    EXPECT_TRUE(oldInShowroom);
    EXPECT_LT(s_ticks, 3000) << "the script went astray";
}

} // namespace
