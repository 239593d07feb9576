// A profile save file loaded into the game: the car record lands on the
// sample car the vehicle manager makes from the saved model path, whose
// driving figures are then worked out as the workshop and the shops work
// them out; whatever loads must save again to a file that loads (the save
// replaces the held file in memory).
#include "CarFuzz.h"
#include "platform/Win32Shell.h"
#include "shell/Profile.h"
#include "shell/ProfileFile.h"

#include <cstdlib>
#include <vector>

namespace {

// A loaded record holds only levels the workshop can sell; the shop rating
// and the repair price come out of any record without overflowing.
void WorkOutFigures(CVehicle* car)
{
    for (int level : car->m_UpgradeLevels)
        if (level < 0 || level > VEHICLE_UPGRADE_LEVEL_MAX)
            __builtin_trap();
    for (int applyDamage : {0, 1}) {
        car->UpdatePerformance(applyDamage, 0);
        (void)car->GetPerformanceRating(applyDamage, 0);
    }
    (void)car->GetRepairPrice(0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::BeginInput(data, size);
    if (!fuzz::StartWithSampleCars())
        return 0;
    fuzz::SetFile("Save/Profile01.sav", data, size);
    g_nProfile = 0;
    if (g_Game.LoadGame() == 1) {
        if (!g_pPlayerVehicle)
            __builtin_trap();
        fuzz::KeepLoadedResources();
        WorkOutFigures(g_pPlayerVehicle);
        SaveGame();
        std::vector<std::uint8_t> saved;
        CProfileContents contents{};
        if (!plat::ReadWholeFile("Save/Profile01.sav", &saved, 1u << 26) ||
            !ParseProfile(saved.data(), saved.size(), &contents))
            std::abort();
    }
    return 0;
}
