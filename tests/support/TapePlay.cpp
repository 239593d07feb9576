#include "support/TapePlay.h"

#include "game/CityLogic.h"
#include "game/GameInterface.h"
#include "game/GameMenu.h"
#include "game/InterfaceLinks.h"
#include "game/PlayerStats.h"
#include "game/RaceState.h"
#include "game/ShopScreens.h"
#include "game/TaxiJob.h"
#include "platform/Backend.h"
#include "platform/D3D9Recording.h"
#include "platform/InputTape.h"
#include "platform/Win32Window.h"
#include "platform/sound/SoundBackend.h"
#include "roadusers/Vehicle.h"
#include "roadusers/VehicleManager.h"
#include "shell/Game.h"
#include "shell/WinMain.h"

#include <cstdlib>
#include <filesystem>

namespace test {

TapeFigures g_TapeEnd;

namespace {

FrameScript* s_pScript = nullptr;
unsigned s_lastFrame = 0; // the run's own tape counter is cleared at its close

void ReadFigures(unsigned frame)
{
    TapeFigures& f = g_TapeEnd;
    f.frame = frame;
    f.menuState = g_GameMenu.m_nState;
    f.inGame = g_bInGame;
    f.scene = g_CityLogic.m_nScene;
    f.money = g_PlayerStats.m_nMoney;
    f.ratingPoints = g_PlayerStats.m_nRatingPoints;
    f.earnings = g_PlayerStats.m_nEarningsTotal;
    f.racesPlaced = g_PlayerStats.m_nRacesPlaced;
    f.roadIncidents = g_PlayerStats.m_nRoadIncidents;
    f.pedestriansHit = g_PlayerStats.m_nPedestriansHit;
    f.pursuit = g_PlayerStats.m_bPursuit;
    f.criminalLevel = g_PlayerStats.m_fCriminalLevel;
    f.arrestTimer = g_PlayerStats.m_fArrestTimer;
    if (const CVehicle* car = g_pPlayerVehicle) {
        f.carPosition = car->m_vPosition;
        f.carUp = car->m_matWorld._22;
        f.carSpeed = car->m_fSpeed;
        f.racePlace = car->m_nRacePlace;
        f.carDamage = car->GetDamageRatio();
        f.controlMode = car->m_nControlMode;
        f.handBrake = car->m_bHandBrake;
    }
    f.raceRunning = g_VehicleManager.IsRaceRunning();
    f.raceResultOpen = int(g_GameInterface.m_RaceResultPanel.m_bRaceResultOpen);
    f.raceResultBooked = int(g_GameInterface.m_RaceResultPanel.m_bRaceResultBooked);
    f.passengerOnBoard = g_TaxiJob.m_bOnBoard;
    f.arrests = g_PlayerStats.m_nArrests;
    f.finesTotal = g_PlayerStats.m_nFinesTotal;
    f.workshopOpen = int(g_GameInterface.m_WorkshopPanel.m_bWorkshopOpen);
    f.carShopOpen = int(g_GameInterface.m_CarShopPanel.m_bCarShopOpen);
    f.repairPriceShown = std::atoi(g_GameInterface.m_WorkshopPanel.m_szRepairTexts[1]);
    if (const CVehicle* car = g_pPlayerVehicle)
        f.carModel = car->m_szPath;
    f.carBudget = g_GameInterface.m_CarShopPanel.m_nCarBudget;
    f.carPrice = g_GameInterface.m_CarShopPanel.m_nCarPrice;
    f.playTime = g_PlayerStats.m_fPlayTime;
    f.continueOffered = g_GameMenu.m_Continue.m_bEnabled;
    f.messageShown = int(g_GameInterface.m_bMessageVisible);
    f.figures = (g_pMechanic != nullptr) + (g_pPlayerFigure != nullptr);
}

void RunScript(unsigned frame, HWND window)
{
    s_lastFrame = frame;
    if (s_pScript && *s_pScript)
        (*s_pScript)(frame, window);
}

} // namespace

std::string TapeFile(const char* name)
{
    return std::string(MORVAINE_SOURCE_DIR) + "/tests/data/tapes/" + name;
}

void PlayTape::SetUp()
{
    std::filesystem::copy(std::string(MORVAINE_BUILD_DIR) + "/run", m_dir.Path(),
                          std::filesystem::copy_options::recursive);
    plat::SetHeadless(true);
    plat::ResetWindowing();
    plat::SetFrameBudget(0);
    // A tape reads the game's figures, never the device's calls: keeping a
    // log of every call of thousands of frames only costs time.
    m_callsKept = plat::DeviceCallsKept();
    plat::KeepDeviceCalls(false);
    plat::g_pTapeEndObserver = ReadFigures;
    plat::g_pTapeFrameObserver = RunScript;
    s_pScript = &m_script;
}

void PlayTape::TearDown()
{
    s_pScript = nullptr;
    plat::g_pTapeFrameObserver = nullptr;
    plat::g_pTapeEndObserver = nullptr;
    plat::StopTape();
    plat::SetSoundBackend(plat::SoundBackendKind::Default);
    plat::ResetWindowing();
    plat::KeepDeviceCalls(m_callsKept);
    g_bInGame = 0;
}

bool PlayTape::Play(const char* name)
{
    g_TapeEnd = TapeFigures{};
    s_lastFrame = 0;
    plat::Tape tape;
    std::string error;
    if (!plat::ParseTape(ReadWholeFile(TapeFile(name)), &tape, &error)) {
        ADD_FAILURE() << name << ": " << error;
        return false;
    }
    plat::StartReplay(tape);
    const int status = WinMain(nullptr, nullptr, nullptr, 1);
    const unsigned end = plat::TapeEndFrame();
    EXPECT_EQ(status, 0) << name;
    EXPECT_EQ(g_TapeEnd.frame, end) << name << " stopped before its end: last frame " << s_lastFrame
                                    << ", scene " << g_CityLogic.m_nScene << ", menu " << g_GameMenu.m_nState;
    return g_TapeEnd.frame == end;
}

} // namespace test
