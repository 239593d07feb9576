// Several sessions in one run of the program: a continued game is played,
// saved and left for the menu, continued again, left again, and a new game
// is started. Each session must begin as it would after a fresh start,
// whatever the one before it left behind, and must not hold on to what the
// one before it loaded.
#include "game/CityLogic.h"
#include "game/GameInterface.h"
#include "game/GameMenu.h"
#include "game/PlayerStats.h"
#include "game/ShopScreens.h"
#include "graphics/D3DRender.h"
#include "graphics/MeshContainer.h"
#include "platform/InputTape.h"
#include "platform/Win32.h"
#include "roadusers/HumanManager.h"
#include "roadusers/Vehicle.h"
#include "roadusers/VehicleManager.h"
#include "shell/Game.h"
#include "shell/Input.h"
#include "support/ScriptedDriver.h"
#include "support/TapePlay.h"
#include "writers/ProfileWriter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <deque>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using test::PlayTape;

// What a session's start shows, read on the first frame of its scene.
struct SessionStart {
    int scene = 0;
    float carSpawnTimer = -1.0f, humanSpawnTimer = -1.0f;
    unsigned carSpawnLimit = 0, humanSpawnLimit = 0;
    float raceCheckTimer = -1.0f, raceCountdown = -1.0f;
    int keysDown = -1;
    std::string stalePanels = "not read";
    float criminalLevel = -1.0f;
    int cameraMode = -1, cameraLastView = -1;
    bool cameraFollowsPlayer = false;
    int textures = 0, meshes = 0;
    long residentKb = 0;
};

int KeysDown()
{
    const int raw[] = {g_bKeyTab,  g_bKeyEnter, g_bKeyShift,  g_bKeyControl, g_bKeyEscape, g_bKeySpace,
                       g_bKeyUp,   g_bKeyDown,  g_bKeyLeft,   g_bKeyRight,   g_bMouseLeft, g_bMouseRight};
    int down = 0;
    for (int flag : raw)
        down += flag != 0;
    for (int action : g_ActionFlags)
        down += action != 0;
    return down;
}

int TexturesLoaded()
{
    int n = 0;
    for (IDirect3DTexture9* texture : g_D3DRender.m_TextureManager.m_pTextures)
        n += texture != nullptr;
    return n;
}

int MeshesLoaded()
{
    int n = 0;
    for (const CMeshRecord* r = g_MeshContainer.m_pHead; r; r = r->m_pNext)
        ++n;
    return n;
}

long ResidentKb()
{
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Half-set screen panels: each case leaves state that a closed panel keeps
// while the session plays on, and tells whether a panel is as after a fresh
// start. The pause menu needs no trace: the session is left through it.
struct PanelTrace {
    const char* panel;
    void (*leave)();
    bool (*fresh)();
};

const D3DXCOLOR4 kRed{1.0f, 0.0f, 0.0f, 1.0f};

const PanelTrace kPanelTraces[] = {
    {"race offer", [] { g_GameInterface.m_RaceOfferPanel.m_nRaceOfferChoice = 1; },
     [] {
         const RaceOfferPanel& p = g_GameInterface.m_RaceOfferPanel;
         return !p.m_bRaceOfferOpen && p.m_nRaceOfferChoice == 0 && p.m_fRaceOfferFade == 0.0f;
     }},
    {"race result",
     [] {
         RaceResultPanel& p = g_GameInterface.m_RaceResultPanel;
         p.m_nResultPlace = 0;
         p.m_nResultReward = 5000;
         p.m_nResultPoints = 12;
     },
     [] {
         const RaceResultPanel& p = g_GameInterface.m_RaceResultPanel;
         return !p.m_bRaceResultOpen && p.m_fRaceResultFade == 0.0f && p.m_nResultPlace == -1 &&
                p.m_nResultReward == 0 && p.m_nResultPoints == 0;
     }},
    {"rating list", [] { g_GameInterface.m_RatingListPanel.m_fRatingTimer = 7.0f; },
     [] {
         const RatingListPanel& p = g_GameInterface.m_RatingListPanel;
         return !p.m_bRatingOpen && p.m_fRatingFade == 0.0f && p.m_fRatingTimer == 0.0f;
     }},
    {"driver information",
     [] {
         g_GameInterface.m_DriverInfoPanel.m_fDriverInfoBars[0] = 0.8f;
         g_GameInterface.m_DriverInfoPanel.m_DriverInfoColours[0] = kRed;
     },
     [] {
         const DriverInfoPanel& p = g_GameInterface.m_DriverInfoPanel;
         return !p.m_bDriverInfoOpen && p.m_fDriverInfoFade == 0.0f && p.m_fDriverInfoBars[0] == 0.0f &&
                p.m_DriverInfoColours[0].g == 1.0f;
     }},
    {"pause menu", [] {},
     [] {
         const PopupMenuPanel& p = g_GameInterface.m_PopupMenuPanel;
         return !p.m_bPopupOpen && p.m_fPopupFade == 0.0f && p.m_nPopupMode == POPUP_NONE &&
                p.m_nPopupPrevMode == POPUP_NONE && !p.m_bPopupPaused;
     }},
    {"workshop",
     [] {
         WorkshopPanel& p = g_GameInterface.m_WorkshopPanel;
         p.m_nWorkshopPage = WORKSHOP_COLOUR;
         p.m_nShopItem = 2;
         p.m_fRepairFraction = 0.5f;
         p.m_vSavedPaint = kRed;
     },
     [] {
         const WorkshopPanel& p = g_GameInterface.m_WorkshopPanel;
         return !p.m_bWorkshopOpen && p.m_nWorkshopPage == WORKSHOP_MAIN && p.m_nShopItem == 0 &&
                p.m_fRepairFraction == 0.0f && p.m_vSavedPaint.r == 0.0f;
     }},
    {"car shop",
     [] {
         CarShopPanel& p = g_GameInterface.m_CarShopPanel;
         p.m_nCarShopPage = 1;
         p.m_nShowroomIndex = 2;
         p.m_nCarBudget = 12000;
         p.m_nCarPrice = 9000;
         p.m_pCarAtShopEntry = g_pPlayerVehicle;
         p.m_CarShopItemColours[1][CARSHOP_CHANGE_ROW] = kRed;
     },
     [] {
         const CarShopPanel& p = g_GameInterface.m_CarShopPanel;
         return !p.m_bCarShopOpen && !p.m_pCarShopProp && p.m_nCarShopPage == 0 && p.m_nShowroomIndex == 0 &&
                p.m_nCarBudget == 0 && p.m_nCarPrice == 0 && !p.m_pCarAtShopEntry &&
                p.m_CarShopItemColours[1][CARSHOP_CHANGE_ROW].g == 0.6f;
     }},
};

// The panels not as after a fresh start, by name.
std::string StalePanels()
{
    std::string stale;
    for (const PanelTrace& trace : kPanelTraces)
        if (!trace.fresh())
            stale += std::string(stale.empty() ? "" : ", ") + trace.panel;
    return stale;
}

SessionStart ReadSessionStart()
{
    SessionStart s;
    s.scene = g_CityLogic.m_nScene;
    s.carSpawnTimer = g_VehicleManager.m_fSpawnTimer;
    s.humanSpawnTimer = g_HumanManager.m_fSpawnTimer;
    s.carSpawnLimit = g_VehicleManager.m_nSpawnLimit;
    s.humanSpawnLimit = g_HumanManager.m_nSpawnLimit;
    s.raceCheckTimer = g_VehicleManager.m_fRaceCheckTimer;
    s.raceCountdown = g_VehicleManager.m_fRaceCountdown;
    s.keysDown = KeysDown();
    s.stalePanels = StalePanels();
    s.criminalLevel = g_PlayerStats.m_fCriminalLevel;
    const CWorldCamera& camera = g_Game.m_Cameras[0];
    s.cameraMode = camera.m_nMode;
    s.cameraLastView = camera.m_nLastView;
    s.cameraFollowsPlayer = camera.m_pTarget && camera.m_pTarget == g_pPlayerVehicle;
    s.textures = TexturesLoaded();
    s.meshes = MeshesLoaded();
    s.residentKb = ResidentKb();
    return s;
}

// What a session leaves behind as it ends: the hand brake held down, a
// crime, a changed view, half-set screen panels (among them a car shop's
// figures and a repair share from a visit), the wait after a declined race
// and the race offer's check half way.
void LeaveTraces(HWND window)
{
    PostMessageA(window, WM_KEYDOWN, VK_SPACE, 0);
    PostMessageA(window, WM_KEYDOWN, 'C', 0);
    PostMessageA(window, WM_KEYUP, 'C', 0);
    for (const PanelTrace& trace : kPanelTraces)
        trace.leave();
    g_PlayerStats.m_fCriminalLevel = 0.6f;
    g_VehicleManager.m_fRaceCountdown = 5.0f;
    g_VehicleManager.m_fRaceCheckTimer = 0.125f;
}

// Key taps with a rest before each, so the menus see them one at a time.
class KeyQueue {
public:
    void Tap(int key, unsigned restFrames) { m_Taps.push_back({key, restFrames}); }
    bool Idle() const { return m_Taps.empty() && !m_bDown; }
    void Step(HWND window)
    {
        if (m_bDown) {
            PostMessageA(window, WM_KEYUP, WPARAM(m_Taps.front().key), 0);
            m_Taps.pop_front();
            m_bDown = false;
        } else if (!m_Taps.empty() && ++m_nWaited >= m_Taps.front().rest) {
            PostMessageA(window, WM_KEYDOWN, WPARAM(m_Taps.front().key), 0);
            m_bDown = true;
            m_nWaited = 0;
        }
    }

private:
    struct TapItem {
        int key;
        unsigned rest;
    };
    std::deque<TapItem> m_Taps;
    bool m_bDown = false;
    unsigned m_nWaited = 0;
};

constexpr int kContinues = 3;
constexpr unsigned kPlayFrames = 60; // traffic and pedestrians come meanwhile

// Continue kContinues times, each session played, saved and left; then a
// new game from the main menu. The sessions' starts are kept in order.
class SessionCycles {
public:
    std::vector<SessionStart> starts;

    void Frame(unsigned frame, HWND window)
    {
        m_Keys.Step(window);
        const int scene = g_CityLogic.m_nScene;
        if ((scene == SCENE_CONTINUE_GAME || scene == SCENE_NEW_GAME) && scene != m_nLastScene) {
            starts.push_back(ReadSessionStart());
            if (scene == SCENE_NEW_GAME) {
                plat::EndTapeAt(frame + 5);
                m_eStage = DONE;
            } else {
                m_eStage = WAIT_CONTROL;
            }
        }
        m_nLastScene = scene;
        switch (m_eStage) {
        case WAIT_CONTROL:
            if (test::PlayerInControl()) {
                LeaveTraces(window);
                m_nPlayedFrom = frame;
                m_eStage = PLAY;
            }
            break;
        case PLAY:
            // A message on screen would take the Escape for itself.
            if (frame >= m_nPlayedFrom + kPlayFrames && !g_GameInterface.m_bMessageVisible && m_Keys.Idle()) {
                m_Keys.Tap(VK_ESCAPE, 1);
                m_eStage = PAUSE;
            }
            break;
        case PAUSE:
            if (g_GameInterface.m_PopupMenuPanel.m_bPopupOpen && m_Keys.Idle()) {
                // The pause menu's "SAVE AND EXIT", above the first item.
                m_Keys.Tap(VK_UP, 20);
                m_Keys.Tap(VK_RETURN, 10);
                m_eStage = LEAVE;
            } else if (!g_GameInterface.m_PopupMenuPanel.m_bPopupOpen && m_Keys.Idle()) {
                m_eStage = PLAY;
            }
            break;
        case LEAVE:
            if (g_GameMenu.m_bOpen && g_GameMenu.m_nState == MENU_MAIN && m_Keys.Idle()) {
                if (static_cast<int>(starts.size()) < kContinues) {
                    m_Keys.Tap(VK_RETURN, 20); // CONTINUE GAME has the focus
                } else {
                    m_Keys.Tap(VK_DOWN, 20); // START NEW GAME
                    m_Keys.Tap(VK_RETURN, 15);
                    m_Keys.Tap(VK_UP, 20); // YES
                    m_Keys.Tap(VK_RETURN, 15);
                }
                m_eStage = WAIT_START;
            }
            break;
        default:
            break;
        }
    }

private:
    enum Stage { WAIT_START, WAIT_CONTROL, PLAY, PAUSE, LEAVE, DONE };
    Stage m_eStage = WAIT_START;
    int m_nLastScene = -1;
    unsigned m_nPlayedFrom = 0;
    KeyQueue m_Keys;
};

// The figures every session starts with, whatever came before it.
void ExpectFreshStart(const SessionStart& s, size_t index)
{
    SCOPED_TRACE(testing::Message() << "session " << index + 1 << ", scene " << s.scene);
    EXPECT_EQ(s.carSpawnTimer, 0.0f) << "the traffic spawner's phase";
    EXPECT_EQ(s.humanSpawnTimer, 0.0f) << "the pedestrian spawner's phase";
    EXPECT_EQ(s.carSpawnLimit, 0u);
    EXPECT_EQ(s.humanSpawnLimit, 0u);
    EXPECT_EQ(s.raceCheckTimer, 0.0f) << "the race offer's check phase";
    EXPECT_EQ(s.raceCountdown, 0.0f) << "no wait after a race declined before";
    EXPECT_EQ(s.keysDown, 0) << "no key or action held over";
    EXPECT_EQ(s.stalePanels, "") << "screen panels left open or half-set";
    EXPECT_EQ(s.criminalLevel, 0.0f);
    EXPECT_EQ(s.cameraMode, 4) << "the scene's opening camera move";
}

TEST_F(PlayTape, EverySessionOfARunStartsAsAfterAFreshStartAndFreesTheLastOnesWorld)
{
    const tools::ProfileSave sample = tools::SampleProfile();
    test::WriteWholeFile(m_dir.File("Save/Profile01.sav"), tools::EncodeProfile(sample));
    SessionCycles cycles;
    m_script = [&cycles](unsigned frame, HWND window) { cycles.Frame(frame, window); };

    ASSERT_TRUE(Play("session_cycles.tape"));
    // A key held over from the last session presses the menu's buttons by
    // itself, so more sessions start than the script asked for.
    EXPECT_EQ(cycles.starts.size(), size_t(kContinues + 1)) << "continued " << kContinues << " times, then a new game";
    ASSERT_GE(cycles.starts.size(), size_t(kContinues));
    for (size_t i = 0; i < cycles.starts.size(); ++i)
        ExpectFreshStart(cycles.starts[i], i);

    const SessionStart& first = cycles.starts.front();
    const SessionStart& newGame = cycles.starts.back();
    ASSERT_EQ(newGame.scene, SCENE_NEW_GAME);
    EXPECT_EQ(newGame.cameraLastView, 0) << "a new game remembers no driving view";
    EXPECT_TRUE(newGame.cameraFollowsPlayer);
    for (int i = 1; i < kContinues; ++i) {
        const SessionStart& again = cycles.starts[size_t(i)];
        SCOPED_TRACE(testing::Message() << "continue " << i + 1);
        EXPECT_EQ(again.scene, SCENE_CONTINUE_GAME);
        // The same saved world is loaded again: what the last session loaded
        // was given back, so the tables hold as many as after the first.
        EXPECT_EQ(again.textures, first.textures) << "textures loaded";
        EXPECT_EQ(again.meshes, first.meshes) << "meshes loaded";
        std::printf("continue %d: %d textures, %d meshes, %ld kB resident (first %ld kB)\n", i + 1,
                    again.textures, again.meshes, again.residentKb, first.residentKb);
    }
}

} // namespace
