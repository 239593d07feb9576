// The profile list of the menu: one file per player in "Save", named
// "Profile%02d.sav". The menu reads and writes only the header: the name
// (16 bytes) and a u32 that is 1 while the profile holds no saved game.
#include "game/GameMenu.h"
#include "platform/Win32.h"
#include "shell/FileManager.h"
#include "shell/Game.h"
#include "shell/Log.h"
#include "shell/Profile.h"
#include "shell/ProfileFile.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace {

enum { PROFILE_HEADER_SIZE = 20, PROFILE_NUMBER_MAX = 99 };

// The number of a "ProfileNN.sav" name, or 0 for any other name.
int ProfileNumberOf(const std::string& name)
{
    if (name.size() != 13 || name.compare(0, 7, "Profile") != 0 || name.compare(9, 4, ".sav") != 0)
        return 0;
    if (!std::isdigit(static_cast<unsigned char>(name[7])) || !std::isdigit(static_cast<unsigned char>(name[8])))
        return 0;
    return (name[7] - '0') * 10 + (name[8] - '0');
}

// Reads up to the header's 20 bytes; the name comes out zero-filled and
// terminated at byte 15. False when the file does not open.
bool ReadHeader(const char* path, char* name, std::uint32_t* flag)
{
    std::uint32_t size = 0;
    const FileHandle file = g_FileManager.Open(path, FILE_MODE_BINARY, &size);
    if (file == INVALID_FILE_HANDLE)
        return false;
    std::uint8_t header[PROFILE_HEADER_SIZE] = {};
    const std::size_t got = g_FileManager.Read(header, 1, sizeof header, file);
    g_FileManager.Close(file);
    std::memset(name, 0, PROFILE_NAME_SIZE);
    std::memcpy(name, header, got < PROFILE_NAME_SIZE ? got : PROFILE_NAME_SIZE);
    name[PROFILE_NAME_SIZE - 1] = '\0';
    // A header cut short has no saved game to continue.
    *flag = got < PROFILE_HEADER_SIZE
                ? 1u
                : static_cast<std::uint32_t>(header[16] | header[17] << 8 | header[18] << 16 | header[19] << 24);
    return true;
}

void ProfileFolder(char* folder, std::size_t size)
{
    char directory[256] = {};
    const DWORD length = GetCurrentDirectoryA(sizeof directory - 1, directory);
    if (length == 0 || length >= sizeof directory - 1)
        std::strcpy(directory, ".");
    std::snprintf(folder, size, "%s/Save", directory);
}

// Written whole like a save: a full disk must not leave an empty profile
// behind that the menu then calls created.
bool WriteHeader(const char* path)
{
    std::uint8_t header[PROFILE_HEADER_SIZE] = {};
    std::memcpy(header, g_szPlayerName, strnlen(g_szPlayerName, PROFILE_NAME_SIZE - 1));
    header[16] = 1; // no game saved yet
    return WriteProfileFile(path, header, sizeof header);
}

int CreateFailed()
{
    ErrorBox("Could't create new profile!", "CreateNewProfile() error!", MB_ICONEXCLAMATION);
    return 0;
}

} // namespace

void CGameMenu::ListProfiles()
{
    for (int i = 0; i < MENU_PROFILE_SLOTS; ++i) {
        std::strcpy(m_ProfileSlots[i].m_szText, "-");
        m_ProfileSlots[i].m_bEnabled = 0;
        m_szProfileFiles[i][0] = '\0';
        m_nProfileNumbers[i] = 0;
    }
    m_nProfiles = 0;
    for (const std::string& file : plat::ListFolderFiles("Save")) {
        const int number = ProfileNumberOf(file);
        if (number < 1 || m_nProfiles >= MENU_PROFILE_SLOTS)
            continue;
        char path[64];
        std::snprintf(path, sizeof path, "Save/%s", file.c_str());
        char name[PROFILE_NAME_SIZE];
        std::uint32_t flag = 0;
        if (!ReadHeader(path, name, &flag))
            continue;
        std::snprintf(m_szProfileFiles[m_nProfiles], sizeof m_szProfileFiles[0], "%s", file.c_str());
        m_nProfileNumbers[m_nProfiles] = number;
        std::memcpy(m_ProfileSlots[m_nProfiles].m_szText, name, PROFILE_NAME_SIZE);
        m_ProfileSlots[m_nProfiles].m_bEnabled = 1;
        ++m_nProfiles;
    }
    m_ProfilesDone.m_bEnabled = m_nProfiles > 0;
    m_NewProfile.m_bEnabled = m_nProfiles < MENU_MAX_NEW_PROFILES;
    g_nProfile = m_nProfiles > 0 ? m_nProfileNumbers[0] - 1 : -1;
}

int CGameMenu::SelectedSlot() const
{
    for (int i = 0; i < m_nProfiles; ++i)
        if (m_nProfileNumbers[i] == g_nProfile + 1)
            return i;
    return -1;
}

// The lowest number no file uses: a new profile never takes over another
// player's file, even one the list could not read.
int CGameMenu::NextFreeProfileNumber() const
{
    for (int number = 1; number <= PROFILE_NUMBER_MAX; ++number) {
        char path[64];
        FormatProfilePath(path, sizeof path, number - 1);
        std::error_code ec;
        if (!std::filesystem::exists(plat::NativePath(path), ec) && !ec)
            return number;
    }
    return 0;
}

int CGameMenu::CreateNewProfile()
{
    if (m_nProfiles >= MENU_MAX_NEW_PROFILES)
        return CreateFailed();
    const int number = NextFreeProfileNumber();
    if (number == 0)
        return CreateFailed();
    char folder[320];
    char path[352];
    ProfileFolder(folder, sizeof folder);
    std::snprintf(path, sizeof path, "%s/Profile%02d.sav", folder, number);
    g_FileManager.MakeDirectory(folder);
    if (!WriteHeader(path))
        return CreateFailed();
    g_nProfile = number - 1;
    ++m_nProfiles;
    m_Continue.m_bEnabled = 0;
    return 1;
}

int CGameMenu::LoadProfile()
{
    if (g_nProfile < 0)
        return 0;
    char path[64];
    FormatProfilePath(path, sizeof path, g_nProfile);
    char name[PROFILE_NAME_SIZE];
    std::uint32_t flag = 1;
    if (!ReadHeader(path, name, &flag)) {
        ErrorBox("Could't load profile!", "LoadProfile() error!", MB_ICONEXCLAMATION);
        return 0;
    }
    std::memcpy(g_szPlayerName, name, PROFILE_NAME_SIZE);
    m_Continue.m_bEnabled = flag == 0;
    return 1;
}

void CGameMenu::DeleteProfile()
{
    const int slot = SelectedSlot();
    if (slot < 0)
        return;
    char path[96];
    std::snprintf(path, sizeof path, "Save/%s", m_szProfileFiles[slot]);
    g_FileManager.RemoveFile(path);
    ListProfiles();
    // The list would select its first profile again, and with the focus
    // still on DELETE PROFILE every further Enter would delete another
    // player's saves. Nothing is selected until a slot is picked again.
    g_nProfile = -1;
}
