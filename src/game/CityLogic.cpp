// The scene machine's core: entering, timing and leaving scenes, and the
// short scenes that only fade, wait and hand control back.
#include "game/CityLogic.h"

#include "game/GameMenu.h"
#include "game/TaxiJob.h"
#include "roadusers/Vehicle.h"
#include "shell/AudioManager.h"
#include "shell/Game.h"
#include "shell/GameSound.h"
#include "shell/GameTimer.h"
#include "shell/Profile.h"

#include <cmath>

CCityLogic g_CityLogic;
CHuman* g_pMechanic = nullptr;
CHuman* g_pPlayerFigure = nullptr;
CProp* g_pTaxiMarker = nullptr;

std::int32_t ClockStamp(double ms)
{
    return static_cast<std::int32_t>(std::trunc(ms));
}

int CCityLogic::Init()
{
    *this = CCityLogic{};
    return 1;
}

void CCityLogic::Release()
{
    Reset();
}

// The game reset has removed every prop and pedestrian already: the
// pointers are only forgotten here.
void CCityLogic::Reset()
{
    m_nScene = SCENE_IDLE;
    m_nPhase = 0;
    m_nStartTime = 0;
    m_fWait = 0.0f;
    m_pCar = nullptr;
    m_pObject = nullptr;
    g_AudioManager.SafeFreeSound(&m_pSound);
    g_pTaxiMarker = nullptr;
    g_pMechanic = nullptr;
    g_pPlayerFigure = nullptr;
    g_TaxiJob = CTaxiJob{};
}

void CCityLogic::SetScene(int scene, CVehicle* car, CProp* object)
{
    m_nScene = scene;
    m_nPhase = 0;
    Stamp();
    m_fWait = 0.0f;
    m_pCar = car;
    m_pObject = object;
}

void CCityLogic::Update()
{
    // Every scene but the exit moves the player's car; without one (a failed
    // load, the editor) it ends at once.
    if (m_nScene != SCENE_IDLE && m_nScene != SCENE_EXIT_TO_MENU && !m_pCar) {
        switch (m_nScene) {
        case SCENE_NEW_GAME:
        case SCENE_CONTINUE_GAME:
        case SCENE_RACE_START:
        case SCENE_RACE_END:
        case SCENE_SHOP_VISIT:
        case SCENE_TRICK_BONUS:
        case SCENE_ARREST:
        case SCENE_PASSENGER_IN:
        case SCENE_PASSENGER_OUT:
            End();
            return;
        default:
            break;
        }
    }
    switch (m_nScene) {
    case SCENE_NEW_GAME: UpdateNewGame(); break;
    case SCENE_CONTINUE_GAME: UpdateContinueGame(); break;
    case SCENE_RACE_START: UpdateRaceStart(); break;
    case SCENE_RACE_END: UpdateRaceEnd(); break;
    case SCENE_SHOP_VISIT: UpdateShopVisit(); break;
    case SCENE_TRICK_BONUS: UpdateTrickBonus(); break;
    case SCENE_ARREST: UpdateArrest(); break;
    case SCENE_PASSENGER_IN: UpdatePassengerIn(); break;
    case SCENE_PASSENGER_OUT: UpdatePassengerOut(); break;
    case SCENE_EXIT_TO_MENU: UpdateExitToMenu(); break;
    default: break;
    }
}

void CCityLogic::Stamp()
{
    m_nStartTime = ClockStamp(g_GameTimer.m_fGameTime);
}

void CCityLogic::StampReal()
{
    m_nStartTime = ClockStamp(g_GameTimer.m_fRealTime);
}

bool CCityLogic::After(float seconds) const
{
    return g_GameTimer.GetGameTimeSince(static_cast<std::uint32_t>(m_nStartTime)) >= seconds;
}

bool CCityLogic::AfterReal(float seconds) const
{
    return g_GameTimer.GetRealTimeSince(static_cast<std::uint32_t>(m_nStartTime)) >= seconds;
}

void CCityLogic::End()
{
    SetScene(SCENE_IDLE, nullptr, nullptr);
}

void CCityLogic::RestoreDrivingView()
{
    CWorldCamera* camera = g_Game.m_pCamera;
    if (camera)
        camera->SetMode(camera->m_nLastView, m_pCar);
}

// Loaded on demand and played once; a sound that fails to load is tried
// again next frame.
void CCityLogic::PlayDoorSound()
{
    if (m_pSound)
        return;
    m_pSound = g_AudioManager.LoadSound("Data/Audio/GetInCar.wav", 1, 1.0f, 10.0f);
    if (m_pSound)
        m_pSound->Play(0);
}

void CCityLogic::UpdateContinueGame()
{
    CWorldCamera* camera = g_Game.m_pCamera;
    if (m_nPhase == 0) {
        const D3DXVECTOR3 spawn(461.0f, 17.0f, -1054.0f), facing(400.0f, 17.0f, -1254.0f), up(0.0f, 1.0f, 0.0f);
        if (camera)
            camera->StartFadeIn(2.0f, 1);
        m_pCar->Spawn(&spawn, &facing, &up, 1, VEHICLE_PLAYER, 1);
        m_pCar->Park();
        if (camera) {
            camera->m_nMode = 5;
            const D3DXVECTOR3 eye = spawn + D3DXVECTOR3(40.0f, -8.0f, -120.0f);
            const D3DXVECTOR3 goal = spawn + D3DXVECTOR3(-10.0f, 2.0f, -7.5f);
            camera->SetView(&eye, &m_pCar->m_vPosition, &up);
            camera->StartTransition(&goal, &m_pCar->m_vPosition, 5.0f, nullptr, 0.0f, 0);
        }
        Stamp();
        Next();
    } else if (m_nPhase == 1 && After(5.0f)) {
        RestoreDrivingView();
        m_pCar->SetControlMode(2);
        m_pCar->m_bHandBrake = 0;
        End();
    }
}

// The exit runs while the world is paused: it resumes the clock itself.
void CCityLogic::UpdateExitToMenu()
{
    CWorldCamera* camera = g_Game.m_pCamera;
    if (m_nPhase == 0) {
        g_GameTimer.Resume();
        if (camera)
            camera->StartFadeOut(1.0f, 1);
        Stamp();
        Next();
    } else if (m_nPhase == 1 && After(1.0f)) {
        SaveGame();
        g_Game.Reset();
        g_AudioManager.PlayMusic(0, nullptr, 0, 0.0f);
        g_AudioManager.SetAmbientEnabled(0);
        g_GameTimer.Resume();
        if ((camera = g_Game.m_pCamera))
            camera->StartFadeIn(1.0f, 1);
        // The game just saved: the main menu offers to continue it.
        g_GameMenu.m_Continue.m_bEnabled = 1;
        g_GameMenu.Show(MENU_MAIN);
        End();
    }
}
