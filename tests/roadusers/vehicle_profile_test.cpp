// The profile load path with a real car: the saved dents come back on the
// body, then the load repairs the car completely.
#include "vehicle_fixture.h"

#include "game/PlayerStats.h"
#include "platform/Win32.h"
#include "shell/GameSteps.h"
#include "shell/Profile.h"

#include <cstring>

namespace {

using test::VehicleTest;

CVehicle* s_loadedCar = nullptr;
bool s_dentedBeforeRepair = false;
std::uint32_t s_dentedVertex = 0;

// The vehicle manager makes no car yet: the loaded car stands in for the one
// it would create, and the body is looked at just before the repair.
void WatchLoad(const char* step)
{
    if (std::strncmp(step, "g_VehicleManager.CreatePlayerCar", 32) == 0)
        g_pPlayerVehicle = s_loadedCar;
    if (std::strncmp(step, "g_pPlayerVehicle->RepairBody", 28) == 0)
        s_dentedBeforeRepair = s_loadedCar->m_pDeform[s_dentedVertex].fAmount == 1.0f;
}

TEST_F(VehicleTest, ProfileLoadRedentsThenRepairsThePlayersCar)
{
    plat::SetHeadless(true);
    g_Game.m_pCamera = &g_Game.m_Cameras[0];
    g_nProfile = 0;
    g_pWriteSaveFile = plat::ReplaceFileWhole;

    CVehicle* saved = Spawned(VEHICLE_PLAYER);
    s_dentedVertex = 7;
    saved->m_pDeform[s_dentedVertex].fAmount = 1.0f;
    saved->m_fBodyDamage = 0.5f;
    g_pPlayerVehicle = saved;
    SaveGame();

    s_loadedCar = Spawned(VEHICLE_PLAYER);
    s_dentedBeforeRepair = false;
    g_pGameStepObserver = WatchLoad;
    const int loaded = g_Game.LoadGame();
    g_pGameStepObserver = nullptr;
    ASSERT_EQ(loaded, 1);
    EXPECT_EQ(g_pPlayerVehicle, s_loadedCar);
    EXPECT_TRUE(s_dentedBeforeRepair) << "the record dents the body first";
    EXPECT_EQ(s_loadedCar->m_pDeform[s_dentedVertex].fAmount, 0.0f);
    EXPECT_EQ(BodyVertex(s_loadedCar, s_dentedVertex), s_loadedCar->m_pDeform[s_dentedVertex].vBase);
    EXPECT_EQ(s_loadedCar->m_fBodyDamage, 0.0f);

    g_nProfile = -1;
    g_Game.m_pCamera = nullptr;
}

} // namespace
