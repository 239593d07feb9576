#include "shell/Profile.h"

#include "game/GameInterface.h"
#include "game/PlayerStatsRecord.h"
#include "platform/Win32.h"
#include "roadusers/Vehicle.h"
#include "shell/FileManager.h"
#include "shell/Game.h"
#include "shell/GameTimer.h"
#include "shell/Log.h"
#include "shell/ProfileFile.h"
#include "shell/SaveRecord.h"

#include <cstdio>
#include <cstring>
#include <string>

int g_nProfile = -1;
SaveFileWriter g_pWriteSaveFile = plat::ReplaceFileWhole;

namespace {

constexpr DWORD kDirectorySize = 254;

// The bytes after the name's terminator are zero, so a shorter name saved
// over a longer one leaves no trace of it.
void WriteName(CSaveWriter& out)
{
    char name[PROFILE_NAME_SIZE] = {};
    std::memcpy(name, g_szPlayerName, strnlen(g_szPlayerName, PROFILE_NAME_SIZE - 1));
    out.Bytes(name, sizeof name);
}

void WriteProfile(CSaveWriter& out, CVehicle& car)
{
    WriteName(out);
    out.U32(0); // a game is saved: the menu may offer to continue it
    WritePlayerStats(out, g_PlayerStats);
    const std::size_t length = strnlen(car.m_szPath, PROFILE_PATH_SIZE - 1);
    out.U32(static_cast<std::uint32_t>(length));
    out.Bytes(car.m_szPath, length);
    out.Zeros(1);
    car.Save(out);
    out.U32(static_cast<std::uint32_t>(ClampLastView(g_Game.m_pCamera ? g_Game.m_pCamera->m_nLastView : 0)));
    g_GameTimer.Save(out);
    g_GameInterface.SaveMessageHistory(out);
}

} // namespace

void SaveGame()
{
    if (g_nProfile < 0 || !g_pPlayerVehicle)
        return;
    CSaveWriter out;
    WriteProfile(out, *g_pPlayerVehicle);

    char directory[kDirectorySize + 1] = {};
    const DWORD length = GetCurrentDirectoryA(kDirectorySize, directory);
    if (length == 0 || length >= kDirectorySize)
        std::strcpy(directory, ".");
    char folder[kDirectorySize + 16];
    char path[kDirectorySize + 64];
    std::snprintf(folder, sizeof folder, "%s\\Save", directory);
    std::snprintf(path, sizeof path, "%s\\Save\\Profile%02d.sav", directory, g_nProfile + 1);
    g_FileManager.MakeDirectory(folder); // an existing folder is fine
    if (!WriteProfileFile(path, out.Data(), out.Size()))
        ErrorBox("Could't save game!", "SaveGame() error!", MB_ICONEXCLAMATION);
}

bool WriteProfileFile(const char* path, const void* data, std::size_t size)
{
    if (g_pWriteSaveFile(path, data, size))
        return true;
    const std::string temporary = std::string(path) + ".tmp";
    g_FileManager.RemoveFile(temporary.c_str());
    return false;
}
