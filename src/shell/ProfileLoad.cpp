// The profile load: the world is rebuilt first, then the whole save file is
// read and checked, and only a file that passed every check is applied.
#include "game/GameInterface.h"
#include "game/PlayerStats.h"
#include "game/TaxiJob.h"
#include "platform/Win32.h"
#include "roadusers/HumanManager.h"
#include "roadusers/Vehicle.h"
#include "roadusers/VehicleManager.h"
#include "shell/FileManager.h"
#include "shell/Game.h"
#include "shell/GameSteps.h"
#include "shell/GameTimer.h"
#include "shell/Log.h"
#include "shell/Profile.h"
#include "shell/ProfileFile.h"
#include "shell/SaveRecord.h"
#include "world/Landscape.h"

#include <cstring>
#include <vector>

namespace {

bool ReadProfileFile(int profile, std::vector<std::uint8_t>* bytes)
{
    char path[64];
    FormatProfilePath(path, sizeof path, profile);
    std::uint32_t size = 0;
    const FileHandle file = g_FileManager.Open(path, FILE_MODE_BINARY, &size);
    if (file == INVALID_FILE_HANDLE)
        return false;
    bool ok = size <= PROFILE_FILE_LIMIT;
    if (ok) {
        bytes->resize(size);
        ok = g_FileManager.Read(bytes->data(), 1, size, file) == size && g_FileManager.IsAtEnd(file);
    }
    g_FileManager.Close(file);
    return ok;
}

int LoadFailed()
{
    ErrorBox("Could't load profile!", "LoadProfile() error!", MB_OK);
    return 0;
}

// A loaded game never starts in a pursuit.
void ApplyStatistics(const CPlayerStats& stats)
{
    g_PlayerStats = stats;
    g_PlayerStats.m_bPursuit = 0;
    g_PlayerStats.m_fCriminalLevel = 0.0f;
    g_PlayerStats.m_fArrestTimer = 0.0f;
}

// What one profile load works on: the file's bytes and what was read from
// them, and the player's name and statistics to put back if the car fails.
struct ProfileLoad {
    CGame& game;
    std::vector<std::uint8_t> bytes{};
    CProfileContents save{};
    char previousName[PROFILE_NAME_SIZE] = {};
    CPlayerStats previousStats{};
};

void ApplyPlayer(ProfileLoad& load)
{
    std::memcpy(load.previousName, g_szPlayerName, sizeof load.previousName);
    load.previousStats = g_PlayerStats;
    std::memcpy(g_szPlayerName, load.save.szName, sizeof load.save.szName);
    ApplyStatistics(load.save.stats);
}

void RestorePlayer(ProfileLoad& load)
{
    std::memcpy(g_szPlayerName, load.previousName, sizeof load.previousName);
    g_PlayerStats = load.previousStats;
}

// The world is rebuilt, then the whole file is read and checked.
constexpr GameStep<ProfileLoad> kReadSteps[] = {
    {nullptr, [](ProfileLoad& load) { load.game.Reset(); }},
    {"g_Landscape.BuildSectors()", [](ProfileLoad&) { g_Landscape.BuildSectors(); }},
    {.check =
         [](ProfileLoad& load) {
             return ReadProfileFile(g_nProfile, &load.bytes) &&
                    ParseProfile(load.bytes.data(), load.bytes.size(), &load.save);
         }},
};

constexpr GameStep<ProfileLoad> kCarSteps[] = {
    {nullptr, ApplyPlayer},
    {"g_VehicleManager.CreatePlayerCar(nullptr, nullptr, save.szModelPath)",
     [](ProfileLoad& load) { g_VehicleManager.CreatePlayerCar(nullptr, nullptr, load.save.szModelPath); }},
    {.check = [](ProfileLoad&) { return g_pPlayerVehicle != nullptr; }},
    {.name = "g_pPlayerVehicle->Load(car)",
     .check =
         [](ProfileLoad& load) {
             CSaveReader car(load.save.pCarRecord, load.save.nCarRecordSize);
             return g_pPlayerVehicle->Load(car) == 1;
         }},
};

// The saved car no longer loads: no half-made game is left behind.
constexpr GameStep<ProfileLoad> kUndoCarSteps[] = {
    {"g_VehicleManager.Clear()", [](ProfileLoad&) { g_VehicleManager.Clear(); }},
    {nullptr, RestorePlayer},
};

constexpr GameStep<ProfileLoad> kApplySteps[] = {
    {nullptr,
     [](ProfileLoad& load) {
         if (load.game.m_pCamera)
             load.game.m_pCamera->m_nLastView = load.save.nLastView;
     }},
    {"g_GameTimer.Load(timer)",
     [](ProfileLoad& load) {
         CSaveReader timer(load.save.pTimer, PROFILE_TIMER_SIZE);
         g_GameTimer.Load(timer);
     }},
    {"g_GameInterface.LoadMessageHistory(history)",
     [](ProfileLoad& load) {
         CSaveReader history(load.save.pHistory, MESSAGE_HISTORY_RECORD_SIZE);
         g_GameInterface.LoadMessageHistory(history);
     }},
    {"g_VehicleManager.ResetRace()", [](ProfileLoad&) { g_VehicleManager.ResetRace(); }},
    {nullptr, [](ProfileLoad&) { g_TaxiJob = CTaxiJob{}; }},
    {"g_pPlayerVehicle->RepairBody(1.0f)", [](ProfileLoad&) { g_pPlayerVehicle->RepairBody(1.0f); }},
    {"g_HumanManager.LoadFigures()", [](ProfileLoad&) { g_HumanManager.LoadFigures(); }},
    {nullptr, [](ProfileLoad& load) { load.game.WarmUpPrograms(); }},
};

} // namespace

int CGame::LoadGame()
{
    if (g_nProfile < 0)
        return 0;
    ProfileLoad load{*this};
    if (!RunGameSteps(kReadSteps, load))
        return LoadFailed();
    if (!RunGameSteps(kCarSteps, load)) {
        RunGameSteps(kUndoCarSteps, load);
        return LoadFailed();
    }
    RunGameSteps(kApplySteps, load);
    return 1;
}
