// The menu's profile list over a save folder holding one profile file: the
// menu reads only its header (the name and the no-saved-game flag), and each
// listed name must come out as a terminated name of at most 15 characters.
#include "FuzzFiles.h"

#include "game/GameMenu.h"
#include "shell/Profile.h"
#include "shell/ProfileFile.h"

#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::BeginInput(data, size);
    fuzz::StartLooseFilesAndSilentAudio();
    // The folder listing sees the file on disk; its bytes are the input's.
    static const bool listed = (fuzz::WriteFile("Save/Profile03.sav", std::string()), true);
    static_cast<void>(listed);
    fuzz::SetFile("Save/Profile03.sav", data, size);
    static auto menu = std::make_unique<CGameMenu>();
    menu->ListProfiles();
    if (menu->m_nProfiles != 1 || menu->m_nProfileNumbers[0] != 3 || g_nProfile != 2 ||
        strnlen(menu->m_ProfileSlots[0].m_szText, PROFILE_NAME_SIZE) >= PROFILE_NAME_SIZE)
        __builtin_trap();
    return 0;
}
