// The real back end turns SDL's events into the window messages the game
// reads. Runs on SDL's offscreen video driver, so it needs no display.
#include "platform/SdlWindow.h"
#include "platform/Win32.h"
#include "shell/Input.h"
#include "shell/WinMain.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

class SdlEventsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        plat::SetHeadless(false);
        plat::ResetWindowing();
        plat::sdl::SetOpenGLWindows(false); // these cases never draw
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = "Morvaine";
        RegisterClassA(&wc);
        hwnd = CreateWindowExA(0, "Morvaine", "Morvaine", WS_POPUP | WS_VISIBLE, 0, 0, 320, 240, nullptr,
                               nullptr, nullptr, nullptr);
        ASSERT_NE(hwnd, nullptr);
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    void TearDown() override
    {
        plat::ResetWindowing();
        plat::SetHeadless(true);
    }

    std::vector<MSG> Collect()
    {
        std::vector<MSG> out;
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
            out.push_back(m);
        return out;
    }
    static void PushKey(SDL_Keycode key, bool down)
    {
        SDL_Event e{};
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        e.key.keysym.sym = key;
        SDL_PushEvent(&e);
    }

    HWND hwnd = nullptr;
};

TEST_F(SdlEventsTest, KeysArriveAsVirtualKeyCodes)
{
    struct Case {
        SDL_Keycode sdl;
        WPARAM vk;
    };
    const Case cases[] = {
        {SDLK_UP, VK_UP},        {SDLK_DOWN, VK_DOWN},     {SDLK_LEFT, VK_LEFT},     {SDLK_RIGHT, VK_RIGHT},
        {SDLK_SPACE, VK_SPACE},  {SDLK_TAB, VK_TAB},       {SDLK_RETURN, VK_RETURN}, {SDLK_ESCAPE, VK_ESCAPE},
        {SDLK_a, 'A'},           {SDLK_z, 'Z'},            {SDLK_c, 'C'},            {SDLK_PAGEUP, VK_PRIOR},
        {SDLK_PAGEDOWN, VK_NEXT}, {SDLK_HOME, VK_HOME},    {SDLK_END, VK_END},       {SDLK_INSERT, VK_INSERT},
        {SDLK_DELETE, VK_DELETE}, {SDLK_KP_PLUS, VK_ADD},  {SDLK_KP_MINUS, VK_SUBTRACT}, {SDLK_F1, VK_F1},
        {SDLK_PAUSE, VK_PAUSE},  {SDLK_LSHIFT, VK_SHIFT},  {SDLK_RCTRL, VK_CONTROL},  {SDLK_7, '7'},
    };
    for (const Case& c : cases) {
        PushKey(c.sdl, true);
        PushKey(c.sdl, false);
        const std::vector<MSG> msgs = Collect();
        ASSERT_EQ(msgs.size(), 2u) << "SDL key " << c.sdl;
        EXPECT_EQ(msgs[0].message, static_cast<UINT>(WM_KEYDOWN));
        EXPECT_EQ(msgs[0].wParam, c.vk);
        EXPECT_EQ(msgs[1].message, static_cast<UINT>(WM_KEYUP));
        EXPECT_EQ(msgs[1].wParam, c.vk);
    }
}

TEST_F(SdlEventsTest, MouseTextFocusAndClose)
{
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.x = 160;
    e.motion.y = 120;
    SDL_PushEvent(&e);
    e = {};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.button = SDL_BUTTON_RIGHT;
    e.button.x = 5;
    e.button.y = 6;
    SDL_PushEvent(&e);
    e = {};
    e.type = SDL_TEXTINPUT;
    SDL_strlcpy(e.text.text, "h\xC3\xA9", sizeof(e.text.text));
    SDL_PushEvent(&e);
    e = {};
    e.type = SDL_WINDOWEVENT;
    e.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    SDL_PushEvent(&e);
    e = {};
    e.type = SDL_QUIT;
    SDL_PushEvent(&e);

    std::vector<UINT> kinds;
    for (const MSG& m : Collect()) {
        kinds.push_back(m.message);
        if (m.message == WM_MOUSEMOVE) {
            EXPECT_EQ(LOWORD(m.lParam), 160);
            EXPECT_EQ(HIWORD(m.lParam), 120);
        }
        if (m.message == WM_ACTIVATE) {
            EXPECT_EQ(LOWORD(m.wParam), WA_INACTIVE);
        }
    }
    const std::vector<UINT> expected = {WM_MOUSEMOVE, WM_RBUTTONDOWN, WM_CHAR,   WM_CHAR,
                                        WM_ACTIVATE,  WM_KILLFOCUS,   WM_CLOSE};
    EXPECT_EQ(kinds, expected);
}

} // namespace

namespace {

// A key typed into the real window reaches the game's key flags and bindings
// through the window procedure.
TEST(SdlKeyboardTest, TypedKeysDriveTheFlagsAndBindings)
{
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    plat::SetHeadless(false);
    plat::ResetWindowing();
    plat::sdl::SetOpenGLWindows(false);
    WNDCLASSA wc{};
    wc.lpfnWndProc = WndProc;
    wc.lpszClassName = "Morvaine";
    RegisterClassA(&wc);
    g_hWnd = CreateWindowExA(0, "Morvaine", "Morvaine", WS_POPUP | WS_VISIBLE, 0, 0, 320, 240, nullptr, nullptr,
                             nullptr, nullptr);
    ASSERT_NE(g_hWnd, nullptr);
    g_bActive = 1;
    auto drain = [] {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
    };
    drain();
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.keysym.sym = SDLK_UP;
    SDL_PushEvent(&e);
    e.key.keysym.sym = SDLK_SPACE;
    SDL_PushEvent(&e);
    drain();
    EXPECT_EQ(g_bKeyUp, 1);
    EXPECT_EQ(g_bActAccelerate, 1);
    EXPECT_EQ(g_bActHandBrake, 1);
    e.type = SDL_KEYUP;
    e.key.keysym.sym = SDLK_UP;
    SDL_PushEvent(&e);
    e.key.keysym.sym = SDLK_SPACE;
    SDL_PushEvent(&e);
    drain();
    EXPECT_EQ(g_bKeyUp, 0);
    EXPECT_EQ(g_bActAccelerate, 0);
    EXPECT_EQ(g_bKeySpace, 0);
    plat::ResetWindowing();
    plat::SetHeadless(true);
    g_hWnd = nullptr;
}

} // namespace
