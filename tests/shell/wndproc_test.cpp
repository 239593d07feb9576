// The window procedure records input and activation; these cases drive it
// through the same message queue the main loop drains.
#include "game/GameMenu.h"
#include "graphics/D3DRender.h"
#include "platform/Win32.h"
#include "shell/AudioManager.h"
#include "shell/GameTimer.h"
#include "shell/Input.h"
#include "shell/WinMain.h"

#include <gtest/gtest.h>

namespace {

class WndProcTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        plat::SetHeadless(true);
        plat::ResetWindowing();
        WNDCLASSA wc{};
        wc.lpfnWndProc = WndProc;
        wc.lpszClassName = "Morvaine";
        RegisterClassA(&wc);
        hwnd = CreateWindowExA(0, "Morvaine", "Morvaine", WS_POPUP | WS_VISIBLE, 0, 0, 1024, 768,
                               nullptr, nullptr, nullptr, nullptr);
        g_hWnd = hwnd;
        g_bActive = 1;
        g_bQuit = 0;
        g_nTextInput = 0;
        g_nTypedChar = 32;
        g_GameTimer.Reset();
        g_AudioManager.m_bPaused = 0;
        g_nFocusPaused = 0;
        g_GameMenu.m_bOpen = 0;
        g_GameMenu.m_bKeyHandler = 0;
        g_D3DRender.m_fScaleX = 1024.0f / 800.0f;
        g_D3DRender.m_fScaleY = 768.0f / 600.0f;
    }
    void TearDown() override { plat::ResetWindowing(); }

    // Runs one pass of the main loop's drain.
    void Drain()
    {
        MSG msg{};
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                break;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    void Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        PostMessageA(hwnd, message, wParam, lParam);
        Drain();
    }

    HWND hwnd = nullptr;
};

TEST_F(WndProcTest, QuitMessageEndsOnlyTheDrainWhileCloseEndsTheLoop)
{
    PostQuitMessage(0);
    PostMessageA(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(128, 0));
    Drain();
    EXPECT_EQ(g_bQuit, 0);
    EXPECT_EQ(plat::PendingMessages(), 1u) << "the drain stops at WM_QUIT, later messages wait";
    Drain();
    EXPECT_EQ(g_nMouseX, 100);

    Send(WM_CLOSE);
    EXPECT_EQ(g_bQuit, 1);
    EXPECT_NE(plat::GetWindowInfo(hwnd), nullptr) << "the window is not destroyed";
}

TEST_F(WndProcTest, ActivationAndFocus)
{
    const int both = FOCUS_PAUSED_AUDIO | FOCUS_PAUSED_CLOCK;
    struct Case {
        const char* what;
        int activeBefore;
        int pausedBefore;
        int focusPaused; // what an earlier focus loss paused
        UINT message;
        WPARAM wParam;
        int activeAfter;
        int paused;
    };
    const Case cases[] = {
        {"click-activate changes nothing", 1, 0, 0, WM_ACTIVATE, WA_CLICKACTIVE, 1, 0},
        {"click-activate while inactive changes nothing", 0, 1, both, WM_ACTIVATE, WA_CLICKACTIVE, 0, 1},
        {"deactivate pauses", 1, 0, 0, WM_ACTIVATE, WA_INACTIVE, 0, 1},
        {"activate resumes", 0, 1, both, WM_ACTIVATE, WA_ACTIVE, 1, 0},
        {"activate while active does nothing", 1, 0, 0, WM_ACTIVATE, WA_ACTIVE, 1, 0},
        {"losing focus pauses", 1, 0, 0, WM_KILLFOCUS, 0, 0, 1},
        {"gaining focus resumes", 0, 1, both, WM_SETFOCUS, 0, 1, 0},
        {"gaining focus keeps another pause", 0, 1, 0, WM_SETFOCUS, 0, 1, 1},
        {"activate keeps another pause", 0, 1, 0, WM_ACTIVATE, WA_ACTIVE, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        g_bActive = c.activeBefore;
        g_nFocusPaused = c.focusPaused;
        g_GameTimer.m_fTimeScale = c.pausedBefore ? 0.0f : 1.0f;
        g_AudioManager.m_bPaused = c.pausedBefore;
        Send(c.message, c.wParam);
        EXPECT_EQ(g_bActive, c.activeAfter);
        EXPECT_EQ(g_GameTimer.IsPaused() ? 1 : 0, c.paused);
        EXPECT_EQ(g_AudioManager.m_bPaused ? 1 : 0, c.paused);
    }
}

// The pop-up menu pauses the game; switching to another program and back
// must not set the game running behind the open menu.
TEST_F(WndProcTest, FocusRoundTripKeepsAGamePausedBeforeIt)
{
    g_nFocusPaused = 0;
    g_GameTimer.Pause();
    Send(WM_KILLFOCUS);
    Send(WM_SETFOCUS);
    EXPECT_EQ(g_bActive, 1);
    EXPECT_TRUE(g_GameTimer.IsPaused());
    EXPECT_EQ(g_AudioManager.m_bPaused, 1u);

    g_GameTimer.Resume();
    Send(WM_KILLFOCUS);
    Send(WM_SETFOCUS);
    EXPECT_FALSE(g_GameTimer.IsPaused()) << "a running game runs again";
    EXPECT_EQ(g_AudioManager.m_bPaused, 0u);
}

// In the background the loop waits for the next message instead of
// spinning; a closing window does not wait.
TEST_F(WndProcTest, BackgroundLoopPassWaitsForTheNextMessage)
{
    struct Case {
        int active;
        int quit;
        unsigned waits;
    };
    const Case cases[] = {{0, 0, 1}, {0, 1, 0}};
    for (const Case& c : cases) {
        g_bActive = c.active;
        g_bQuit = c.quit;
        const unsigned before = plat::MessageWaitCount();
        MSG msg{};
        MainLoopPass(&msg);
        EXPECT_EQ(plat::MessageWaitCount() - before, c.waits) << c.active << c.quit;
    }
    g_bActive = 1;
    g_bQuit = 0;
}

// A key let go while Alt is held arrives as a system key-up.
TEST_F(WndProcTest, SystemKeyUpReleasesTheKeyAndItsBinding)
{
    for (const UINT up : {WM_KEYUP, WM_SYSKEYUP}) {
        Send(WM_KEYDOWN, VK_UP);
        ASSERT_EQ(g_bKeyUp, 1);
        ASSERT_EQ(g_bActAccelerate, 1);
        Send(up, VK_UP);
        EXPECT_EQ(g_bKeyUp, 0) << up;
        EXPECT_EQ(g_bActAccelerate, 0) << up;
    }
}

TEST_F(WndProcTest, TextEntryTakesCharactersEnterEscapeAndBackspace)
{
    g_nTextInput = 1;
    Send(WM_CHAR, 'k');
    EXPECT_EQ(g_nTypedChar & 0xFF, 'k');

    Send(WM_KEYDOWN, 'W');
    EXPECT_EQ(g_nTextInput, 1);
    EXPECT_EQ(g_bActAccelerate, 0);
    Send(WM_KEYDOWN, VK_UP);
    EXPECT_EQ(g_bKeyUp, 1) << "other keys still reach the key handling";
    Send(WM_KEYUP, VK_UP);

    PostMessageA(hwnd, WM_KEYDOWN, VK_BACK, 0);
    Drain();
    EXPECT_EQ(g_nTextInput, 3);

    g_nTextInput = 1;
    Send(WM_KEYDOWN, VK_ESCAPE);
    EXPECT_EQ(g_nTextInput, 4);
    EXPECT_EQ(g_bKeyEscape, 0) << "escape in text entry is not a key press";

    g_nTextInput = 1;
    Send(WM_KEYDOWN, VK_RETURN);
    EXPECT_EQ(g_nTextInput, TEXT_INPUT_ACCEPT);
    EXPECT_EQ(g_bKeyEnter, 0) << "enter in text entry accepts the text and presses no button";
}

TEST_F(WndProcTest, MouseIsScaledToTheInterfaceSpace)
{
    Send(WM_MOUSEMOVE, 0, MAKELPARAM(1024, 768));
    EXPECT_EQ(g_nMouseX, 800);
    EXPECT_EQ(g_nMouseY, 600);

    Send(WM_MOUSEMOVE, 0, MAKELPARAM(512, 384));
    EXPECT_EQ(g_PrevMousePos[0], 800);
    EXPECT_EQ(g_PrevMousePos[1], 600);
    EXPECT_EQ(g_nMouseX, 400);
    EXPECT_EQ(g_nMouseY, 300);

    Send(WM_LBUTTONDOWN, 0, MAKELPARAM(0, 0));
    EXPECT_EQ(g_bMouseLeft, 1);
    EXPECT_EQ(g_nMouseX, 0);
    Send(WM_LBUTTONUP, 0, MAKELPARAM(1000, 700));
    EXPECT_EQ(g_bMouseLeft, 0);
    EXPECT_EQ(g_nMouseX, 0) << "a button release does not move the mouse";
    Send(WM_RBUTTONDOWN, 0, MAKELPARAM(10, 10));
    EXPECT_EQ(g_bMouseRight, 1);
    Send(WM_RBUTTONUP);
    EXPECT_EQ(g_bMouseRight, 0);
}

TEST_F(WndProcTest, TranslatedKeysCarryTheirCharacter)
{
    g_nTextInput = 1;
    PostMessageA(hwnd, WM_KEYDOWN, VK_TAB, 0);
    Drain();
    EXPECT_EQ(g_nTypedChar & 0xFF, 9);
}

} // namespace
