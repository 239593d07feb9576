// A profile save file loaded into the game, its car record onto a real sample
// car whose driving figures are then worked out as the workshop and the
// shops work them out; whatever loads must save again to a file that loads
// (the save replaces the held file in memory).
#include "CarFuzz.h"
#include "platform/Win32Shell.h"
#include "shell/GameSteps.h"
#include "shell/Profile.h"
#include "shell/ProfileFile.h"
#include "shell/SaveRecord.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// The vehicle manager makes no car here; this sample car stands in for the
// player's car the load creates. Its record as first loaded is put back
// before every input, so no input sees what an earlier one left on it.
CVehicle* s_pStandInCar = nullptr;
std::vector<std::uint8_t> s_PristineRecord;

void GiveStandInCar(const char* step)
{
    if (std::strncmp(step, "g_VehicleManager.CreatePlayerCar", 32) == 0)
        g_pPlayerVehicle = s_pStandInCar;
}

bool StartOnce()
{
    static bool started = false;
    if (!started) {
        started = true;
        if (!fuzz::StartWithSampleCars())
            return false;
        s_pStandInCar = new CVehicle();
        s_pStandInCar->LoadModel("Data/Vehicles/01/Main.obj");
        CSaveWriter record;
        s_pStandInCar->Save(record);
        s_PristineRecord.assign(record.Data(), record.Data() + record.Size());
    }
    return s_pStandInCar != nullptr;
}

void WorkOutFigures(CVehicle* car)
{
    for (int applyDamage : {0, 1})
        car->UpdatePerformance(applyDamage, 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::BeginInput(data, size);
    if (!StartOnce())
        return 0;
    CSaveReader pristine(s_PristineRecord.data(), s_PristineRecord.size());
    s_pStandInCar->Load(pristine);
    g_pGameStepObserver = GiveStandInCar;
    fuzz::SetFile("Save/Profile01.sav", data, size);
    g_nProfile = 0;
    if (g_Game.LoadGame() == 1) {
        WorkOutFigures(s_pStandInCar);
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
