// Program entry: start-up in a fixed order, the main loop and shut-down.
#include "shell/WinMain.h"

#include "game/GameMenu.h"
#include "graphics/D3DRender.h"
#include "platform/InputTape.h"
#include "platform/Win32.h"
#include "shell/AudioManager.h"
#include "shell/FileManager.h"
#include "shell/Game.h"
#include "shell/GameSteps.h"
#include "shell/Input.h"
#include "shell/Log.h"
#include "shell/Settings.h"

#include <cstdlib>

HWND g_hWnd = nullptr;
int g_bActive = 1;
int g_bQuit = 0;
int g_bInGame = 0;
const char* g_pszGameName = "Morvaine";
int g_nTextInput = 0;
int g_nTypedChar = 32;

const char* const g_pszWebPage = "https://morvaine.example/about";

void VideoModeSize(int mode, int* width, int* height)
{
    static const int kSizes[4][2] = {{800, 600}, {1024, 768}, {1280, 1024}, {1600, 1200}};
    const int m = (mode >= 0 && mode <= 3) ? mode : 0;
    *width = kSizes[m][0];
    *height = kSizes[m][1];
}

namespace {

// What the program entry's steps start from.
struct ProgramEntry {
    HINSTANCE instance;
};

void CreateMainWindow(HINSTANCE instance)
{
    WNDCLASSA wc{};
    wc.style = 0;
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(101));
    wc.hCursor = nullptr;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = g_pszGameName;
    RegisterClassA(&wc);

    int width = 0;
    int height = 0;
    VideoModeSize(g_nVideoMode, &width, &height);
    g_hWnd = CreateWindowExA(0, g_pszGameName, g_pszGameName, WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                             nullptr, nullptr, instance, nullptr);
    ShowWindow(g_hWnd, SW_SHOWNORMAL);
    UpdateWindow(g_hWnd);
    SetCursor(nullptr);
}

// Start-up; false when a step failed (it has shown its own error box).
bool StartUp(HINSTANCE instance)
{
    g_bActive = 1;
    g_bQuit = 0;
    // A run of the program that follows another in the same process starts
    // from the same state as the first.
    g_bInGame = 0;
    g_nTextInput = 0;
    g_nTypedChar = 32;
    g_nFocusPaused = 0;
    // A tape pins the settings file and starts the clock the seed comes from.
    // A tape that was asked for and cannot be used ends the run: playing on
    // without it, a headless run would never end or would end as a success.
    if (!plat::StartTapeFromEnvironment())
        return false;
    // Without the menu the program goes straight into a new game.
    static constexpr auto kNoMenu = [](const ProgramEntry&) { return g_bGameMenu == 0; };
    static constexpr GameStep<ProgramEntry> kSteps[] = {
        {"LoadSettings(\"Game.ini\")", [](ProgramEntry&) { LoadSettings("Game.ini"); }},
        {nullptr, [](ProgramEntry&) { std::srand(timeGetTime()); }},
        {"DebugLog(nullptr)", [](ProgramEntry&) { DebugLog(nullptr); }},
        {"CreateMainWindow(instance)", [](ProgramEntry& entry) { CreateMainWindow(entry.instance); }},
        {"g_FileManager.Init()", [](ProgramEntry&) { g_FileManager.Init(); }},
        {"LoadKeyScanCodes()", [](ProgramEntry&) { LoadKeyScanCodes(); }},
        {.name = "g_D3DRender.InitD3DRender(g_hWnd, g_bWindowed)",
         .check = [](ProgramEntry&) { return g_D3DRender.InitD3DRender(g_hWnd, g_bWindowed) >= 0; }},
        {.name = "g_AudioManager.Init(g_hWnd)",
         .check = [](ProgramEntry&) { return g_AudioManager.Init(g_hWnd) >= 0; }},
        {"ClampSettings()", [](ProgramEntry&) { ClampSettings(); }},
        {"g_GameMenu.PlayStartLogos()", [](ProgramEntry&) { g_GameMenu.PlayStartLogos(); }},
        {"g_GameMenu.ShowLoadingScreen(1)", [](ProgramEntry&) { g_GameMenu.ShowLoadingScreen(1); }, kNoMenu},
        {.name = "g_Game.Init()", .check = [](ProgramEntry&) { return g_Game.Init() == 1; }},
        {"g_Game.ResetSession()", [](ProgramEntry&) { g_Game.ResetSession(); }},
        {"g_AudioManager.Compact()", [](ProgramEntry&) { g_AudioManager.Compact(); }},
        {"g_Game.NewGame()", [](ProgramEntry&) { g_Game.NewGame(); }, kNoMenu},
        {nullptr, [](ProgramEntry&) { g_bInGame = 1; }, kNoMenu},
        {"g_GameMenu.Show(10)", [](ProgramEntry&) { g_GameMenu.Show(10); },
         [](const ProgramEntry&) { return g_bGameMenu != 0; }},
        {"g_D3DRender.SetCursorPosition(400, 300)", [](ProgramEntry&) { g_D3DRender.SetCursorPosition(400, 300); }},
    };
    ProgramEntry entry{instance};
    return RunGameSteps(kSteps, entry);
}

// Drains the window messages; a WM_QUIT ends the drain but not the loop.
void DrainMessages(MSG* msg)
{
    while (PeekMessageA(msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg->message == WM_QUIT)
            break;
        TranslateMessage(msg);
        DispatchMessageA(msg);
    }
}

// In the background the tick does nothing: wait for the next message (or
// a short while) instead of spinning a core.
const DWORD kInactiveWaitMs = 100;

void ShutDown()
{
    static constexpr GameStep<ProgramEntry> kSteps[] = {
        {"g_Game.Release()", [](ProgramEntry&) { g_Game.Release(); }},
        {"g_D3DRender.FreeD3DRender()", [](ProgramEntry&) { g_D3DRender.FreeD3DRender(); }},
        {"g_AudioManager.Release()", [](ProgramEntry&) { g_AudioManager.Release(); }},
        {"ShellExecuteA(nullptr, \"open\", g_pszWebPage, nullptr, nullptr, SW_SHOWMAXIMIZED)",
         [](ProgramEntry&) { ShellExecuteA(nullptr, "open", g_pszWebPage, nullptr, nullptr, SW_SHOWMAXIMIZED); }},
        {nullptr, [](ProgramEntry&) { plat::StopTape(); }},
    };
    ProgramEntry entry{nullptr};
    RunGameSteps(kSteps, entry);
}

} // namespace

void MainLoopPass(MSG* msg)
{
    plat::TapeFrame(g_hWnd);
    DrainMessages(msg);
    g_Game.Tick();
    if (!g_bActive && !g_bQuit)
        WaitMessageTimeout(kInactiveWaitMs);
}

int WinMain(HINSTANCE instance, HINSTANCE, char*, int)
{
    // A failed start is told apart from a good run by the exit status, so
    // scripts and tests see it; the failing step has shown its box already.
    if (!StartUp(instance))
        return START_UP_FAILED;
    MSG msg{};
    while (!g_bQuit)
        MainLoopPass(&msg);
    ShutDown();
    return static_cast<int>(msg.wParam);
}
