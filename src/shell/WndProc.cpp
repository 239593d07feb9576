// The window procedure: it only records input and activation into global
// flags, and never draws.
#include "shell/WinMain.h"

#include "graphics/D3DRender.h"
#include "platform/Win32.h"
#include "shell/AudioManager.h"
#include "shell/GameTimer.h"
#include "shell/Input.h"

int g_nFocusPaused = 0;

namespace {

// Returns true when text entry took the message.
bool OnTextEntry(UINT message, WPARAM wParam)
{
    if (g_nTextInput != TEXT_INPUT_ON)
        return false;
    if (message == WM_CHAR) {
        g_nTypedChar = (g_nTypedChar & ~0xFF) | static_cast<int>(wParam & 0xFF);
        return true;
    }
    if (message == WM_KEYDOWN) {
        if (wParam == VK_ESCAPE) {
            g_nTextInput = TEXT_INPUT_ESCAPE;
            return true;
        }
        if (wParam == VK_BACK) {
            g_nTextInput = TEXT_INPUT_BACKSPACE;
            return true;
        }
        // Enter ends the typing: it accepts the name. Passed on as a menu key
        // it pressed whatever button the pointer rested on, BACK among them,
        // and the typed name was lost.
        if (wParam == VK_RETURN) {
            g_nTextInput = TEXT_INPUT_ACCEPT;
            return true;
        }
    }
    return false;
}

// Losing the focus pauses only what was running; regaining it resumes only
// that, so a game the pop-up menu, a scene or the developer's Pause key
// stopped stays stopped.
void Deactivate()
{
    if (!g_AudioManager.m_bPaused)
        g_nFocusPaused |= FOCUS_PAUSED_AUDIO;
    if (!g_GameTimer.IsPaused())
        g_nFocusPaused |= FOCUS_PAUSED_CLOCK;
    g_AudioManager.PauseAll();
    g_bActive = 0;
    if (g_nFocusPaused & FOCUS_PAUSED_CLOCK)
        g_GameTimer.Pause();
}

void Activate()
{
    if (g_nFocusPaused & FOCUS_PAUSED_AUDIO)
        g_AudioManager.ResumeAll();
    g_bActive = 1;
    if (g_nFocusPaused & FOCUS_PAUSED_CLOCK)
        g_GameTimer.Resume();
    g_nFocusPaused = 0;
}

void OnActivate(WPARAM wParam)
{
    const WORD state = LOWORD(wParam);
    if (state == WA_INACTIVE && g_bActive == 1)
        Deactivate();
    else if (state == WA_ACTIVE && g_bActive == 0)
        Activate();
}

// Client pixels to the 800x600 interface space.
void SetMousePosition(LPARAM lParam)
{
    const unsigned x = LOWORD(static_cast<std::uintptr_t>(lParam));
    const unsigned y = HIWORD(static_cast<std::uintptr_t>(lParam));
    g_nMouseX = static_cast<int>(static_cast<float>(x) / g_D3DRender.m_fScaleX);
    g_nMouseY = static_cast<int>(static_cast<float>(y) / g_D3DRender.m_fScaleY);
}

} // namespace

LRESULT WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (OnTextEntry(message, wParam))
        return 0;
    switch (message) {
    case WM_ACTIVATE:
        OnActivate(wParam);
        return 0;
    case WM_SETFOCUS:
        SetCursor(nullptr);
        Activate();
        return 0;
    case WM_KILLFOCUS:
        Deactivate();
        return 0;
    case WM_CLOSE:
        g_bQuit = 1;
        return 0;
    case WM_KEYDOWN:
        OnKeyDownMessage(static_cast<int>(wParam));
        return 0;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        // A key let go while Alt is held arrives as a system key-up: without
        // it the key would stay pressed (a car would keep accelerating).
        OnKeyUpMessage(static_cast<int>(wParam));
        return 0;
    case WM_MOUSEMOVE:
        g_PrevMousePos[0] = g_nMouseX;
        g_PrevMousePos[1] = g_nMouseY;
        SetMousePosition(lParam);
        return 0;
    case WM_LBUTTONDOWN:
        g_bMouseLeft = 1;
        SetMousePosition(lParam);
        return 0;
    case WM_RBUTTONDOWN:
        g_bMouseRight = 1;
        SetMousePosition(lParam);
        return 0;
    case WM_LBUTTONUP:
        g_bMouseLeft = 0;
        return 0;
    case WM_RBUTTONUP:
        g_bMouseRight = 0;
        return 0;
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}
