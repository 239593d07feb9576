// Key flags and driving bindings as the window procedure sets them.
#include "game/GameMenu.h"
#include "platform/Win32Types.h"
#include "shell/GameTimer.h"
#include "shell/Input.h"
#include "shell/Settings.h"
#include "shell/WinMain.h"
#include "world/PropManager.h"

#include <gtest/gtest.h>

namespace {

class InputTest : public ::testing::Test {
protected:
    void SetUp() override { Clear(); }
    void TearDown() override
    {
        Clear();
        g_KeyBindings[0].nKey = VK_UP;
    }
    static void Clear()
    {
        for (int k = 0; k < 256; ++k)
            OnKeyUpMessage(k);
        g_bActive = 1;
        g_bQuit = 0;
        g_bDebugOut = 0;
        g_GameMenu.m_bOpen = 0;
        g_GameMenu.m_bKeyHandler = 0;
        g_bDrawProps = 1;
    }
};

TEST_F(InputTest, ArrowDrivesBothItsFlagAndItsBinding)
{
    OnKeyDownMessage(VK_UP);
    EXPECT_EQ(g_bKeyUp, 1);
    EXPECT_EQ(g_bActAccelerate, 1);
    OnKeyUpMessage(VK_UP);
    EXPECT_EQ(g_bKeyUp, 0);
    EXPECT_EQ(g_bActAccelerate, 0);
}

TEST_F(InputTest, OpenMenuTakesNoDrivingActionButReleaseStillClearsIt)
{
    OnKeyDownMessage(VK_DOWN);
    g_GameMenu.m_bOpen = 1;
    OnKeyDownMessage(VK_UP);
    EXPECT_EQ(g_bKeyUp, 1);
    EXPECT_EQ(g_bActAccelerate, 0);
    OnKeyUpMessage(VK_DOWN);
    EXPECT_EQ(g_bActBrake, 0) << "a brake held when the menu opened must not stay on";
}

TEST_F(InputTest, FirstBindingOfAKeyWins)
{
    g_KeyBindings[0].nKey = VK_SPACE;
    OnKeyDownMessage(VK_SPACE);
    EXPECT_EQ(g_bActAccelerate, 1);
    EXPECT_EQ(g_bActHandBrake, 0);
    EXPECT_EQ(g_bKeySpace, 1);
}

TEST_F(InputTest, MenuKeyHandlerTakesKeyDownsOnly)
{
    g_GameMenu.m_bKeyHandler = 1;
    OnKeyDownMessage(VK_LEFT);
    EXPECT_EQ(g_bKeyLeft, 0);
    EXPECT_EQ(g_bActTurnLeft, 0);
    g_GameMenu.m_bKeyHandler = 0;
    OnKeyDownMessage(VK_LEFT);
    g_GameMenu.m_bKeyHandler = 1;
    OnKeyUpMessage(VK_LEFT);
    EXPECT_EQ(g_bKeyLeft, 0) << "the raw flag follows every release";
}

TEST_F(InputTest, DeveloperKeysOnlyWithDebugOut)
{
    OnKeyDownMessage(VK_ESCAPE);
    EXPECT_EQ(g_bKeyEscape, 1);
    EXPECT_EQ(g_bQuit, 0);
    OnKeyDownMessage(VK_PAUSE);
    EXPECT_EQ(g_bActive, 1);

    g_bDebugOut = 1;
    OnKeyDownMessage(VK_CONTROL);
    OnKeyDownMessage('S');
    EXPECT_EQ(g_bDrawProps, 0);
    OnKeyDownMessage(VK_PAUSE);
    EXPECT_EQ(g_bActive, 0);
    EXPECT_TRUE(g_GameTimer.IsPaused());
    OnKeyDownMessage(VK_UP);
    EXPECT_EQ(g_bActAccelerate, 0) << "no binding while inactive";
    OnKeyDownMessage(VK_PAUSE);
    EXPECT_EQ(g_bActive, 1);
    OnKeyDownMessage(VK_ESCAPE);
    EXPECT_EQ(g_bQuit, 1);
}

} // namespace
