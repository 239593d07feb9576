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

bool s_dentedBeforeRepair = false;
std::uint32_t s_dentedVertex = 0;

// The body is looked at just before the load's repair.
void WatchLoad(const char* step)
{
    if (std::strncmp(step, "g_pPlayerVehicle->RepairBody", 28) == 0)
        s_dentedBeforeRepair = g_pPlayerVehicle->m_pDeform[s_dentedVertex].fAmount == 1.0f;
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

    s_dentedBeforeRepair = false;
    g_pGameStepObserver = WatchLoad;
    const int loaded = g_Game.LoadGame();
    g_pGameStepObserver = nullptr;
    ASSERT_EQ(loaded, 1);
    CVehicle* car = g_pPlayerVehicle;
    ASSERT_NE(car, nullptr);
    ASSERT_NE(car, saved);
    EXPECT_STREQ(car->m_szPath, "Data/Vehicles/01/Main.obj");
    EXPECT_TRUE(s_dentedBeforeRepair) << "the record dents the body first";
    EXPECT_EQ(car->m_pDeform[s_dentedVertex].fAmount, 0.0f);
    EXPECT_EQ(BodyVertex(car, s_dentedVertex), car->m_pDeform[s_dentedVertex].vBase);
    EXPECT_EQ(car->m_fBodyDamage, 0.0f);
    // At the player's start, facing north, in the physics world.
    EXPECT_EQ(car->m_matPlacement.m[3][0], 226.0f);
    EXPECT_EQ(car->m_matPlacement.m[3][2], -730.0f);
    EXPECT_NEAR(car->m_matPlacement.m[2][2], 1.0f, 1e-5f);
    EXPECT_EQ(car->m_bPhysicsActive, 1);
    EXPECT_EQ(car->m_nKind, VEHICLE_PLAYER);
    EXPECT_EQ(car->m_nControlMode, 2);

    g_nProfile = -1;
    g_Game.m_pCamera = nullptr;
}

} // namespace
