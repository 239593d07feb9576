// The game menu in a fresh working directory holding the sample menu
// pictures and fonts as loose files, drawn on a headless device, with the
// real clock of the menu set by hand.
#pragma once

#include "game/GameMenu.h"
#include "game/MenuBackground.h"
#include "graphics/D3DRender.h"
#include "platform/Win32.h"
#include "shell/FileManager.h"
#include "shell/Game.h"
#include "shell/GameTimer.h"
#include "shell/Input.h"
#include "shell/Profile.h"
#include "shell/Settings.h"
#include "shell/WinMain.h"
#include "support/HeadlessDevice.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

namespace test {

inline void ClearMenuInput()
{
    g_bKeyUp = g_bKeyDown = g_bKeyEnter = g_bKeySpace = g_bKeyEscape = 0;
    g_bMouseLeft = 0;
    g_nMouseX = g_nMouseY = 0;
    g_nTextInput = 0;
    g_nTypedChar = 0;
}

class MenuTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::filesystem::path run = std::filesystem::path(MORVAINE_BUILD_DIR) / "run";
        std::filesystem::create_directories(m_dir.Path() / "Data");
        std::filesystem::copy(run / "Data/Interface", m_dir.Path() / "Data/Interface",
                              std::filesystem::copy_options::recursive);
        plat::SetHeadless(true);
        m_savedFileManager = g_bFileManager;
        m_savedAudio = g_bAudio;
        g_bFileManager = 0;
        g_bAudio = 0;
        g_FileManager.Init();
        m_device = std::make_unique<HeadlessDevice>();
        g_D3DRender.m_pDevice = m_device->Get();
        g_D3DRender.m_fScaleX = g_D3DRender.m_fScaleY = 1.0f;
        g_GameTimer.m_fRealTime = 10000.0;
        g_GameTimer.m_fDelta = 0.0f;
        g_GameTimer.m_fRealDelta = 0.0f;
        g_bQuit = 0;
        g_bInGame = 0;
        g_nProfile = -1;
        std::strcpy(g_szPlayerName, "Player");
        ClearMenuInput();
        m_boxes = plat::MessageBoxCount();
        ASSERT_EQ(g_GameMenu.Init(), 1);
    }
    void TearDown() override
    {
        g_GameMenu.Show(MENU_CLOSED);
        g_GameMenu.Release();
        g_MenuBackground.Release();
        g_D3DRender.m_pDevice = nullptr;
        g_bFileManager = m_savedFileManager;
        g_bAudio = m_savedAudio;
        g_bMenuContinue = g_bMenuNewGame = 0;
        g_bQuit = 0;
        g_bInGame = 0;
        g_nProfile = -1;
        ClearMenuInput();
    }

    // Moves the menu's real clock on and runs one frame: draw, then update.
    void Frame(double seconds = 0.0)
    {
        g_GameTimer.m_fRealTime += seconds * 1000.0;
        g_GameTimer.m_fRealDelta = static_cast<float>(seconds);
        g_GameTimer.m_fDelta = static_cast<float>(seconds);
        g_GameMenu.Render();
        g_GameMenu.Update();
    }

    // Presses the focused button with Enter and lets it be released.
    void Enter()
    {
        g_bKeyEnter = 1;
        Frame();
        Frame(0.11);
    }

    void Focus(CMenuButton& button)
    {
        g_GameMenu.SetFocus(&button);
        ASSERT_EQ(g_GameMenu.m_pFocus, &button) << button.m_szText << " is not in the focus list";
    }

    void Choose(CMenuButton& button)
    {
        Focus(button);
        Enter();
    }

    unsigned NewBoxes() const { return plat::MessageBoxCount() - m_boxes; }

    // "Save/ProfileNN.sav" holding the given bytes.
    void WriteProfile(int number, const std::string& bytes)
    {
        std::filesystem::create_directories(m_dir.Path() / "Save");
        char name[32];
        std::snprintf(name, sizeof name, "Save/Profile%02d.sav", number);
        WriteWholeFile(m_dir.File(name), bytes);
    }

    ScopedTempDir m_dir;
    std::unique_ptr<HeadlessDevice> m_device;
    int m_savedFileManager = 1;
    int m_savedAudio = 1;
    unsigned m_boxes = 0;
};

// A 20-byte profile header.
inline std::string ProfileHeader(const std::string& name, std::uint32_t flag)
{
    std::string bytes(20, '\0');
    std::memcpy(bytes.data(), name.data(), std::min<std::size_t>(name.size(), 16));
    for (int i = 0; i < 4; ++i)
        bytes[16 + i] = static_cast<char>(flag >> (8 * i));
    return bytes;
}

} // namespace test
