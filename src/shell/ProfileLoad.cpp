// The profile load: the world is rebuilt first, then the whole save file is
// read and checked, and only a file that passed every check is applied.
#include "game/GameInterface.h"
#include "game/PlayerStats.h"
#include "game/TaxiJob.h"
#include "platform/Win32.h"
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

} // namespace

int CGame::LoadGame()
{
    if (g_nProfile < 0)
        return 0;
    Reset();
    GAME_STEP(g_Landscape.BuildSectors());
    std::vector<std::uint8_t> bytes;
    CProfileContents save{};
    if (!ReadProfileFile(g_nProfile, &bytes) || !ParseProfile(bytes.data(), bytes.size(), &save))
        return LoadFailed();

    char previousName[PROFILE_NAME_SIZE];
    std::memcpy(previousName, g_szPlayerName, sizeof previousName);
    const CPlayerStats previousStats = g_PlayerStats;
    std::memcpy(g_szPlayerName, save.szName, sizeof save.szName);
    ApplyStatistics(save.stats);
    GAME_STEP(g_VehicleManager.CreatePlayerCar(nullptr, nullptr, save.szModelPath));
    CSaveReader car(save.pCarRecord, save.nCarRecordSize);
    if (!g_pPlayerVehicle || GAME_STEP(g_pPlayerVehicle->Load(car)) != 1) {
        // The saved car no longer loads: no half-made game is left behind.
        GAME_STEP(g_VehicleManager.Clear());
        std::memcpy(g_szPlayerName, previousName, sizeof previousName);
        g_PlayerStats = previousStats;
        return LoadFailed();
    }
    if (m_pCamera)
        m_pCamera->m_nLastView = save.nLastView;
    CSaveReader timer(save.pTimer, PROFILE_TIMER_SIZE);
    GAME_STEP(g_GameTimer.Load(timer));
    CSaveReader history(save.pHistory, MESSAGE_HISTORY_RECORD_SIZE);
    GAME_STEP(g_GameInterface.LoadMessageHistory(history));
    GAME_STEP(g_VehicleManager.ResetRace());
    g_TaxiJob = CTaxiJob{};
    GAME_STEP(g_pPlayerVehicle->RepairBody(1.0f));
    WarmUpPrograms();
    return 1;
}
