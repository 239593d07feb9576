// A profile save file loaded into the game; whatever loads must save again
// to a file that loads (the save replaces the held file in memory).
#include "FuzzFiles.h"
#include "platform/Win32Shell.h"
#include "roadusers/Vehicle.h"
#include "shell/Game.h"
#include "shell/GameSteps.h"
#include "shell/Profile.h"
#include "shell/ProfileFile.h"


#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// The vehicle manager makes no car yet; this one stands in for the
// player's car the load creates.
CVehicle s_StandInCar;

void GiveStandInCar(const char* step)
{
    if (std::strncmp(step, "g_VehicleManager.CreatePlayerCar", 32) == 0)
        g_pPlayerVehicle = &s_StandInCar;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::EnterScratchDirectory();
    fuzz::StartLooseFilesAndSilentAudio();
    g_pGameStepObserver = GiveStandInCar;
    fuzz::SetFile("Save/Profile01.sav", data, size);
    g_nProfile = 0;
    if (g_Game.LoadGame() == 1) {
        std::strcpy(s_StandInCar.m_szPath, "Data/Vehicles/01/Main.obj");
        SaveGame();
        std::vector<std::uint8_t> saved;
        CProfileContents contents{};
        if (!plat::ReadWholeFile("Save/Profile01.sav", &saved, 1u << 26) ||
            !ParseProfile(saved.data(), saved.size(), &contents))
            std::abort();
    }
    g_pGameStepObserver = nullptr;
    return 0;
}
